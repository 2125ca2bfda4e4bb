// The pages as a reader sees them in headless Chromium: rows, links and the pager.
import { test, describe, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { pathToFileURL } from 'node:url';
import { chromium } from 'playwright-core';
import { PAGES, PUBLISHER, pagePath } from './pages.mjs';

const ARGS = ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
  '--disable-background-networking', '--disable-component-update', '--disable-sync'];
const LABELS = { first: '首页', pre: '上一页', next: '下一页', last: '尾页' };
const SPAN = { first: 'spanFirst', pre: 'spanPre', next: 'spanNext', last: 'spanLast' };
const ALL = ['first', 'pre', 'next', 'last'];

let profile, context;
const outbound = [];

before(async () => {
  profile = mkdtempSync(join(tmpdir(), 'velmora-chromium-'));
  context = await chromium.launchPersistentContext(profile, {
    executablePath: '/usr/bin/chromium', headless: true, args: ARGS,
    viewport: { width: 1024, height: 1400 }, // a 15-row screen and its pager fit without scrolling
  });
  // The pages are local files; anything else would be a request leaving the machine.
  await context.route('**/*', (route) => {
    const url = route.request().url();
    if (url.startsWith('file:')) return route.continue();
    outbound.push(url);
    return route.abort();
  });
});

after(async () => {
  await context?.close();
  rmSync(profile, { recursive: true, force: true });
});

async function open(file) {
  const page = await context.newPage();
  page.setDefaultTimeout(5000);
  await page.goto(pathToFileURL(pagePath(file)).href);
  return page;
}

// Visible row numbers, pager text and which labels are links to their own action.
function observe(page) {
  return page.evaluate(([labels, spans]) => {
    const rows = [...document.getElementById('tableqvd').rows];
    const shown = rows.filter((r) => getComputedStyle(r).display !== 'none')
      .map((r) => parseInt(r.cells[0].textContent, 10));
    const links = Object.keys(labels).filter((action) => {
      const a = document.querySelector(`#${spans[action]} > a`);
      return a && a.textContent === labels[action] && a.getAttribute('href') === `javascript:${action}();`;
    });
    const pager = document.querySelector('blockquote').textContent.replace(/\s+/g, ' ').trim();
    return { shown, links, pager };
  }, [LABELS, SPAN]);
}

function expected({ rows, size }, screen, links) {
  const screens = Math.ceil(rows / size);
  const from = (screen - 1) * size + 1;
  const shown = Array.from({ length: Math.min(screen * size, rows) - from + 1 }, (_, i) => from + i);
  return { shown, links, pager: `首页 上一页 下一页 尾页 第 ${screen} 页/共 ${screens} 页` };
}

// A plain mouse click in the middle of the link; page.click's checks cost three times as long.
async function click(page, selector) {
  const box = await page.locator(selector).boundingBox();
  assert.ok(box, `${selector} is shown`);
  await page.mouse.click(box.x + box.width / 2, box.y + box.height / 2);
}

// A javascript: link runs after the click returns, so wait for the page to settle on the expectation.
async function settle(page, want) {
  let seen;
  for (let tries = 0; tries < 100; tries++) {
    seen = await observe(page);
    if (JSON.stringify(seen) === JSON.stringify(want)) break;
    await page.waitForTimeout(10);
  }
  return seen;
}

// Each walk starts on a fresh load: [how, action, screen afterwards, labels that are links afterwards].
function walks(screens) {
  const forward = [];
  const back = [];
  for (let n = 2; n <= screens; n++) forward.push(['click', 'next', n, n < screens ? ALL : ['first', 'pre']]);
  for (let n = screens - 1; n >= 1; n--) back.push(['click', 'pre', n, n > 1 ? ALL : ['next', 'last']]);
  return {
    'next to the end, where last() keeps 尾页 plain, then previous back to the start': [
      ...forward, ['call', 'last', screens, ['first', 'pre']], ...back],
    'first() on screen 1 keeps 首页 plain; last keeps 尾页 a link; first then keeps 首页 a link': [
      ['call', 'first', 1, ['next', 'last']],
      ['click', 'last', screens, ['first', 'pre', 'last']],
      ['click', 'first', 1, ['first', 'next', 'last']],
    ],
  };
}

describe('pager', () => {
  for (const info of PAGES) {
    const screens = Math.ceil(info.rows / info.size);
    describe(info.file, () => {
      test('on load: title, first screen, 下一页 and 尾页 are links', async () => {
        const page = await open(info.file);
        assert.equal(await page.title(), info.title);
        assert.equal(await page.locator('#tableqvd > tr').count(), info.rows);
        assert.deepEqual(await observe(page), expected(info, 1, ['next', 'last']));
        await page.close();
      });
      for (const [name, steps] of Object.entries(walks(screens))) {
        test(name, async () => {
          const page = await open(info.file);
          for (const [how, action, screen, links] of steps) {
            if (how === 'click') await click(page, `#${SPAN[action]} > a`);
            else await page.evaluate(`${action}()`);
            const want = expected(info, screen, links);
            assert.deepEqual(await settle(page, want), want, `after ${how} ${action}`);
          }
          await page.close();
        });
      }
    });
  }
});

test('velmora365.html ends with rows 131 and 132 on screen 27, yishipq668.html with 10 rows on screen 3', async () => {
  for (const [file, pager, shown] of [['velmora365.html', '第 27 页/共 27 页', [131, 132]],
    ['yishipq668.html', '第 3 页/共 3 页', [31, 32, 33, 34, 35, 36, 37, 38, 39, 40]]]) {
    const page = await open(file);
    await page.evaluate('last()');
    const seen = await observe(page);
    await page.close();
    assert.deepEqual([seen.pager.split('尾页 ')[1], seen.shown], [pager, shown], file);
  }
});

// The banner, the first row's column widths, and every data row's cells with their links.
function contents(page) {
  return page.evaluate(() => {
    const header = document.querySelector('table').rows[0].cells[0];
    const style = getComputedStyle(header);
    const linksOf = (node) => [...node.querySelectorAll('a')].map((a) => [a.textContent, a.href, a.target]);
    const body = document.getElementById('tableqvd');
    return {
      banner: { colspan: header.colSpan, cls: header.className, color: style.color, size: style.fontSize,
        links: linksOf(header), endsInLink: /\S点击进入$/.test(header.textContent) },
      widths: [...body.rows[0].cells].map((c) => c.getAttribute('width')),
      rows: [...body.rows].map((r) => [...r.cells].map((c) =>
        ({ text: c.textContent, align: c.getAttribute('align'), links: linksOf(c) }))),
    };
  });
}

const EMPTY = { empty: true };
const get = (href) => ({ link: ['下载', href] });
const watch = (href) => ({ link: ['观 看', href] });
const CODED = /^下载 [A-Za-z0-9]{4}$/;
// What each cell of row n (1-based) of count rows must hold; p is the placeholder address.
const ROW_KINDS = {
  download: (n, count, p) => n <= count - 2 ? [/^\d+、\S/, CODED, CODED]
    : n === count - 1 ? [/^\d+、更新中……$/, get(p), get(p)] : [/^\d+、?$/, get(p), EMPTY],
  upcoming: (n, count, p) => n === 1 ? [/^1、更新中……$/, get(p), EMPTY]
    : n === 2 ? [/^2、下个版本即可下载！$/, EMPTY, EMPTY] : [/^\d+、$/, EMPTY, EMPTY],
  video: (n, count, p) => n <= count - 2 ? [/^\d+、\S/, /^观 看$/]
    : n === count - 1 ? [/^\d+、更新中……$/, watch(p)] : [/^\d+、$/, watch(p)],
};

describe('page contents', () => {
  const placeholders = new Set();
  for (const info of PAGES) {
    test(`${info.file}: banner, column widths and rows of its kind`, async () => {
      const page = await open(info.file);
      const { banner, widths, rows } = await contents(page);
      await page.close();
      const video = info.kind === 'video';
      assert.deepEqual(banner, { colspan: video ? 5 : 6, cls: 'STYLE1', color: 'rgb(255, 0, 0)', size: '14px',
        links: [['点击进入', PUBLISHER, '_blank']], endsInLink: true });
      assert.deepEqual(widths, video ? ['436', '117'] : ['355', '83', '82']);
      assert.equal(rows.length, info.rows);

      // Take the placeholder from the "更新中……" row; every page must use the same one.
      const placeholder = rows[info.kind === 'upcoming' ? 0 : info.rows - 2][1].links[0][1];
      placeholders.add(placeholder);
      assert.equal(new URL(placeholder).pathname, '/');

      rows.forEach((cells, i) => {
        const n = i + 1;
        const where = `row ${n}`;
        assert.equal(parseInt(cells[0].text, 10), n, `${where} is numbered`);
        assert.equal(cells[0].align, 'left', where);
        const kinds = ROW_KINDS[info.kind](n, info.rows, placeholder);
        assert.equal(cells.length, kinds.length, `${where} cells`);
        kinds.forEach((want, c) => {
          const cell = cells[c];
          if (want instanceof RegExp) assert.match(cell.text, want, `${where} cell ${c}`);
          else if (want.empty) assert.deepEqual([cell.text, cell.links], ['\u00a0', []], `${where} cell ${c}`);
          else assert.deepEqual(cell.links, [[...want.link, '_blank']], `${where} cell ${c}`);
        });
        // The two downloads of one file are on two different sharing services.
        if (info.kind === 'download' && n <= info.rows - 2) {
          assert.notEqual(new URL(cells[1].links[0][1]).host, new URL(cells[2].links[0][1]).host, where);
        }
      });
    });
  }
  test('one placeholder address on every page', () => {
    assert.equal(placeholders.size, 1);
  });
});

test('no request left the machine', () => {
  assert.deepEqual(outbound, []);
});
