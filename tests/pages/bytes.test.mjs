// The stored bytes of the pages, and the generator's refusal of bad sources.
import { test, describe } from 'node:test';
import assert from 'node:assert/strict';
import { readFileSync, mkdtempSync, cpSync, writeFileSync, rmSync } from 'node:fs';
import { spawnSync } from 'node:child_process';
import { tmpdir } from 'node:os';
import { join, dirname } from 'node:path';
import { fileURLToPath } from 'node:url';
import { PAGES, pagePath } from './pages.mjs';

const root = join(dirname(fileURLToPath(import.meta.url)), '..', '..');
// Identifiers of the XHTML doctype and namespace; no browser fetches them.
const W3C_IDS = ['http://www.w3.org/TR/xhtml1/DTD/xhtml1-transitional.dtd', 'http://www.w3.org/1999/xhtml'];

// How many double-byte characters have a GBK code outside GB2312's A1-F7 x A1-FE square.
function beyondGb2312(bytes) {
  let found = 0;
  for (let i = 0; i < bytes.length; i++) {
    if (bytes[i] < 0x80) continue;
    if (!(bytes[i] >= 0xa1 && bytes[i] <= 0xf7 && bytes[i + 1] >= 0xa1 && bytes[i + 1] <= 0xfe)) found++;
    i++;
  }
  return found;
}

describe('stored bytes', () => {
  for (const page of PAGES) {
    test(page.file, () => {
      const bytes = readFileSync(pagePath(page.file));
      const text = new TextDecoder('gbk', { fatal: true }).decode(bytes);
      assert.equal(bytes[0], 0x3c, 'starts with "<", without a byte-order mark');
      assert.doesNotMatch(text, /\r(?!\n)|(?<!\r)\n/, 'every line ends in CR LF');
      assert.ok(!text.endsWith('\n'), 'no line end after the last line');
      assert.match(text, /^<!DOCTYPE html PUBLIC "-\/\/W3C\/\/DTD XHTML 1\.0 Transitional\/\/EN"/);
      assert.match(text, /<meta http-equiv="Content-Type" content="text\/html; charset=gb2312" \/>/);
      assert.match(text, /<\/html>\r\n<script[^>]*>[^]*<\/script>$/, 'the pager script follows </html>');
      assert.equal(beyondGb2312(bytes), page.file === 'za32xship5.html' ? 2 : 0);
      const anchors = text.slice(0, text.indexOf('</html>')).match(/<a\b[^>]*>/g);
      assert.ok(anchors.length > 0);
      for (const a of anchors) assert.match(a, /\starget="_blank"/, a);
      for (const url of text.match(/https?:\/\/[^\s"'<>]+/g).filter((u) => !W3C_IDS.includes(u))) {
        assert.match(new URL(url).hostname, /\.example$/, url);
      }
    });
  }
});

// Each case spoils one source file; the generator must stop and name the problem and the page.
const BAD_SOURCES = [
  ['a title without a GBK code', 'dashayh263.txt', (s) => s.replace('街头搭讪', '街头搭讪ก'), /U\+0E01.*no GBK code/],
  ['a missing entry', 'huashugli598.txt', (s) => s.replace(/^开场惯例：观察式开场.*\n/m, ''), /31 entries, the page needs 32/],
  ['a five-character access code', 'velmora365.txt', (s) => s.replace(/ (\w{4})\n/, ' $1x\n'), /4-character code/],
  ['a host outside .example', 'za32xship5.txt', (s) => s.replace('v.shipin.example', 'v.shipin.com'), /\.example host/],
  ['a third character beyond GB2312', 'za32xship5.txt', (s) => s.replace('恋爱', '戀爱'), /3 characters outside GB2312/],
];

describe('the generator refuses bad sources', () => {
  for (const [name, file, spoil, message] of BAD_SOURCES) {
    test(name, () => {
      const data = join(mkdtempSync(join(tmpdir(), 'velmora-pages-')), 'data');
      try {
        cpSync(join(root, 'assets', 'pages'), data, { recursive: true });
        const text = readFileSync(join(data, file), 'utf8');
        assert.notEqual(spoil(text), text, 'the case changes its source');
        writeFileSync(join(data, file), spoil(text));
        const run = spawnSync('python3', [join(root, 'tools', 'pages', 'build_pages.py'),
          '--data', data, '--out', join(data, '..', 'out')], { encoding: 'utf8' });
        assert.notEqual(run.status, 0);
        assert.match(run.stderr, message);
        assert.match(run.stderr, new RegExp(file.replace('.txt', '.html')));
      } finally {
        rmSync(dirname(data), { recursive: true, force: true });
      }
    });
  }
});
