// The pages as a reader sees them in headless Chromium: rows, links and the pager.
import { test, describe, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { pathToFileURL } from 'node:url';
import { chromium } from 'playwright-core';
import { PAGES, PUBLISHER, pagePath } from './pages.mjs';

const LABELS = { first: '首页', pre: '上一页', next: '下一页', last: '尾页' };
const SPAN = { first: 'spanFirst', pre: 'spanPre', next: 'spanNext', last: 'spanLast' };
const ALL = ['first', 'pre', 'next', 'last'];

let profile, context;
const outbound = [];

before(async () => {
  profile = mkdtempSync(join(tmpdir(), 'velmora-chromium-'));
  context = await chromium.launchPersistentContext(profile, {
    executablePath: '/usr/bin/chromium', headless: true,
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync'],
    viewport: { width: 1024, height: 1400 }, // a 15-row screen and its pager fit without scrolling
  });
  // The pages are local files; anything else would be a request leaving the machine.
  await context.route('**/*', (route) => {
    if (route.request().url().startsWith('file:')) return route.continue();
    outbound.push(route.request().url());
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
    const shown = [...document.getElementById('tableqvd').rows]
      .filter((r) => getComputedStyle(r).display !== 'none').map((r) => parseInt(r.cells[0].textContent, 10));
    const links = Object.keys(labels).filter((action) => {
      const a = document.querySelector(`#${spans[action]} > a`);
      return a && a.textContent === labels[action] && a.getAttribute('href') === `javascript:${action}();`;
    });
    const pager = document.querySelector('blockquote').textContent.replace(/\s+/g, ' ').trim();
    return { shown, links, pager };
  }, [LABELS, SPAN]);
}

function expected({ rows, size }, screen, links) {
  const from = (screen - 1) * size + 1;
  const shown = Array.from({ length: Math.min(screen * size, rows) - from + 1 }, (_, i) => from + i);
  return { shown, links, pager: `首页 上一页 下一页 尾页 第 ${screen} 页/共 ${Math.ceil(rows / size)} 页` };
}

// A javascript: link runs after the click returns, so wait for the page to settle on the expectation.
async function settle(page, want) {
  let seen;
  for (let tries = 0; tries < 100 && JSON.stringify(seen) !== JSON.stringify(want); tries++) {
    if (tries) await page.waitForTimeout(10);
    seen = await observe(page);
  }
  return seen;
}

// Each walk starts on a fresh load, where 下一页 and 尾页 are links:
// [how, action, screen afterwards, labels that are links afterwards].
function walks(screens) {
  const load = ['load', '', 1, ['next', 'last']];
  const forward = [];
  const back = [];
  for (let n = 2; n <= screens; n++) forward.push(['click', 'next', n, n < screens ? ALL : ['first', 'pre']]);
  for (let n = screens - 1; n >= 1; n--) back.push(['click', 'pre', n, n > 1 ? ALL : ['next', 'last']]);
  return {
    'next to the end, where last() keeps 尾页 plain, then previous back to the start': [
      load, ...forward, ['call', 'last', screens, ['first', 'pre']], ...back],
    'first() on screen 1 keeps 首页 plain; last keeps 尾页 a link; first then keeps 首页 a link': [
      load, ['call', 'first', 1, ['next', 'last']],
      ['click', 'last', screens, ['first', 'pre', 'last']],
      ['click', 'first', 1, ['first', 'next', 'last']],
    ],
  };
}

describe('pager', () => {
  for (const info of PAGES) {
    for (const [name, steps] of Object.entries(walks(Math.ceil(info.rows / info.size)))) {
      test(`${info.file}: ${name}`, async () => {
        const page = await open(info.file);
        assert.equal(await page.title(), info.title);
        for (const [how, action, screen, links] of steps) {
          if (how === 'call') await page.evaluate(`${action}()`);
          if (how === 'click') { // a plain mouse click in the middle; page.click's checks cost three times as long
            const box = await page.locator(`#${SPAN[action]} > a`).boundingBox();
            assert.ok(box, `${action} is shown`);
            await page.mouse.click(box.x + box.width / 2, box.y + box.height / 2);
          }
          const want = expected(info, screen, links);
          assert.deepEqual(await settle(page, want), want, `after ${how} ${action}`);
        }
        await page.close();
      });
    }
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

// What each row of a page's kind holds, as cell texts with each link's address after an arrow;
// n counts from 1, p is the placeholder address.
const esc = (s) => s.replace(/[.*+?^${}()|[\]\\]/g, '\\$&');
const SHARE = '下载 [A-Za-z0-9]{4} → https?://\\S+';
const ROW_KINDS = {
  download: (n, count, p) => (n <= count - 2 ? [`${n}、\\S.*`, SHARE, SHARE]
    : n === count - 1 ? [`${n}、更新中……`, `下载 → ${p}`, `下载 → ${p}`] : [`${n}、?`, `下载 → ${p}`, '\u00a0']),
  upcoming: (n, count, p) => (n === 1 ? ['1、更新中……', `下载 → ${p}`, '\u00a0']
    : [n === 2 ? '2、下个版本即可下载！' : `${n}、`, '\u00a0', '\u00a0']),
  video: (n, count, p) => (n <= count - 2 ? [`${n}、\\S.*`, '观 看 → https?://\\S+']
    : [n === count - 1 ? `${n}、更新中……` : `${n}、`, `观 看 → ${p}`]),
};

describe('page contents', () => {
  const placeholders = new Set();
  for (const info of PAGES) {
    test(`${info.file}: the banner's link and rows of its kind`, async () => {
      const page = await open(info.file);
      const [banner, rows] = await page.evaluate(() => {
        const cells = (r) => [...r.cells].map((c) => [c.textContent, ...[...c.querySelectorAll('a')].map((a) => a.href)]
          .join(' → '));
        return [cells(document.querySelector('table').rows[0])[0],
          [...document.getElementById('tableqvd').rows].map(cells)];
      });
      await page.close();
      assert.ok(banner.endsWith(`点击进入 → ${PUBLISHER}`), banner);
      assert.equal(rows.length, info.rows);
      // The placeholder is the "更新中……" row's link; every page must use the same one.
      const placeholder = rows[info.kind === 'upcoming' ? 0 : info.rows - 2][1].split(' → ')[1];
      placeholders.add(placeholder);
      assert.equal(new URL(placeholder).pathname, '/');
      rows.forEach((cells, i) => {
        const want = ROW_KINDS[info.kind](i + 1, info.rows, esc(placeholder));
        assert.match(cells.join(' | '), new RegExp(`^${want.join(' \\| ')}$`), `row ${i + 1}`);
      });
    });
  }
  test('one placeholder address on every page', () => assert.equal(placeholders.size, 1));
});

test('no request left the machine', () => assert.deepEqual(outbound, []));
