// The browser build in headless Chromium, held against the desktop game's engine and score
// logic (build/dev/tests/web_reference). Run by scripts/test-web.sh.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { after, before, test } from 'node:test';
import { boardOnScreen, launch, openGame, repository, serve, site } from './browser.mjs';

const kSecond = 1700000000;
const kName = 'Hráč ☃ z Brna';  // the snowman is outside Windows-1250: stored as '?'
const reference = process.env.PELORIN_WEB_REFERENCE ?? join(repository, 'build/dev/tests/web_reference');
// The version as the build defines it, once, in project().
const kVersion = readFileSync(join(repository, 'CMakeLists.txt'), 'utf8').match(/project\(Pelorin VERSION ([0-9.]+)/)[1];

// The desktop's answers for a deal, with the file its score logic writes for `name`.
function desktop(second, name) {
  const directory = mkdtempSync(join(tmpdir(), 'pelorin-web-reference-'));
  try {
    const answer = JSON.parse(execFileSync(reference, [String(second), directory, name], { encoding: 'utf8' }));
    return { ...answer, file: readFileSync(join(directory, 'pelorin.sco')) };
  } finally {
    rmSync(directory, { recursive: true, force: true });
  }
}

// What the page's store holds (bytes as an array), after putting `value` there if given.
const storage = (page, value) => page.evaluate((put) => new Promise((resolve, reject) => {
  const request = indexedDB.open('pelorin', 1);
  request.onupgradeneeded = () => request.result.createObjectStore('tables');
  request.onerror = () => reject(request.error);
  request.onsuccess = () => {
    const tables = request.result.transaction('tables', 'readwrite').objectStore('tables');
    if (put !== undefined) tables.put(Array.isArray(put) ? Uint8Array.from(put) : put, 'pelorin.sco');
    const get = tables.get('pelorin.sco');
    get.onsuccess = () => resolve(get.result instanceof Uint8Array ? [...get.result] : get.result ?? null);
  };
}), value);
const table = (rows) => [...Buffer.concat(rows.map(([name, score]) => {
  const record = Buffer.alloc(22);
  record.write(name, 'latin1');
  record.writeUInt16LE(score, 20);
  return record;
}))];
const zeros = Array(220).fill(0);

let server;
let browser;
let expected;
before(async () => {
  expected = desktop(kSecond, kName);
  server = await serve(site);
  browser = await launch();
});
after(async () => {
  await browser?.close();
  server?.close();
});

async function releaseAt(page, x, y, button = 'left') {
  await page.mouse.move(x, y);
  await page.mouse.down({ button });
  await page.mouse.up({ button });
}

// The desktop end-to-end test's clicks, at the centres of the cells; the game's end opens
// the name dialog (when the result makes the table) or the table.
async function playToEnd(page) {
  for (const [x, y] of expected.clicks) await releaseAt(page, x * 16 + 8, y * 16 + 8);
  await page.waitForSelector('dialog[open]');
}

async function tableRows(page) {
  await page.waitForSelector('#frmSkore[open]');
  return page.$$eval('#skoreRows li', (rows) => rows.map((row) => [
    row.querySelector('.name').textContent, Number(row.querySelector('.score').textContent),
    row.querySelector('.name').childElementCount]));
}

for (const ratio of [1, 2]) {
  test(`deals the engine's board for a second and draws it with the pictures' pixels at ratio ${ratio}`, async () => {
    const page = await openGame(browser, server.url, { second: kSecond, ratio });
    assert.equal(await boardOnScreen(page, ratio), expected.board);
    if (process.env.PELORIN_WEB_SCREENSHOTS) {
      await page.screenshot({ path: join(process.env.PELORIN_WEB_SCREENSHOTS, `pelorin-web-dpr${ratio}.png`),
        clip: { x: 0, y: 0, width: 402, height: 201 } });
    }
    assert.equal(await page.title(), `Pelorin ${kVersion} © 2026 Quillon Dynamics`);
    await page.close();
  });

  test(`a release on the first and the last device pixel of a cell plays that cell at ratio ${ratio}`, async () => {
    // A cell whose release leaves a board that no release on a neighbour leaves.
    const cell = expected.afterRelease.findIndex((board, index) => board !== expected.board &&
      [-25, -1, 1, 25].every((step) => expected.afterRelease[index + step] !== board &&
        index + step >= 0 && index + step < 225) && index % 25 > 0 && index % 25 < 24);
    const [left, top] = [(cell % 25) * 16 * ratio, Math.floor(cell / 25) * 16 * ratio];
    const last = 16 * ratio - 1;
    for (const [device, button] of [[[left, top], 'left'], [[left + last, top + last], 'right']]) {
      const page = await openGame(browser, server.url, { second: kSecond, ratio });
      await releaseAt(page, (device[0] + 0.5) / ratio, (device[1] + 0.5) / ratio, button);
      assert.equal(await boardOnScreen(page, ratio), expected.afterRelease[cell], `device pixel ${device}`);
      await page.close();
    }
  });
}

// The controls of a layout file as the desktop places them: name, parent and box.
function layout(file) {
  const controls = [];
  const open = [];
  for (const line of readFileSync(join(repository, 'resources', file), 'utf8').split('\n')) {
    const widget = line.match(/<widget class="[^"]*" name="([^"]+)"/);
    if (widget) open.push(widget[1]);
    const box = line.match(/<rect><x>(-?\d+)<\/x><y>(-?\d+)<\/y><width>(\d+)<\/width><height>(\d+)</);
    if (box && open.length > 1) controls.push({ name: open.at(-1), parent: open.at(-2), box: box.slice(1).map(Number) });
    if (line.includes('</widget>')) open.pop();
  }
  return controls;
}

test('every control of the three windows stands where the desktop\'s layout puts it', async () => {
  const page = await openGame(browser, server.url);
  for (const [file, prefix, dialog] of [['Hlavni.ui', ''], ['Jmeno.ui', 'jmeno', 'frmJmeno'], ['Skore.ui', 'skore', 'frmSkore']]) {
    if (dialog) await page.$eval(`#${dialog}`, (window) => window.showModal());
    const misplaced = await page.evaluate((controls, prefix) => controls.filter(({ name, parent, box }) => {
      const control = document.getElementById(prefix + name);
      if (!control?.getClientRects().length) return false;  // not on the page, or hidden
      const within = (document.getElementById(prefix + parent) ?? control.closest('#frmMain, .client')).getBoundingClientRect();
      const placed = control.getBoundingClientRect();
      return [placed.left - within.left, placed.top - within.top, placed.width, placed.height].join() !== box.join();
    }).map(({ name }) => name), layout(file), prefix);
    assert.deepEqual(misplaced, [], file);
    if (dialog) await page.$eval(`#${dialog}`, (window) => window.close());
  }
  await page.close();
});

test('on a narrow screen the window fits it and a lifted finger plays the cell under it', async () => {
  const page = await openGame(browser, server.url, { second: kSecond, width: 320 });
  const box = await (await page.$('#frmMain')).boundingBox();
  assert.ok(box.width <= 320 && box.width > 300, `window ${box.width} px wide`);
  const cell = expected.clicks[0];
  await page.touchscreen.tap(((cell[0] * 16 + 8) * box.width) / 402, ((cell[1] * 16 + 8) * box.width) / 402);
  assert.equal(await page.evaluate(() => new Uint8Array(engine.memory.buffer, engine.pelorin_board(), 225).join('')),
    expected.afterRelease[cell[1] * 25 + cell[0]]);
  await page.close();
});

test('a game played to its end scores as on the desktop and stores the same 220 bytes', async () => {
  const page = await openGame(await browser.createBrowserContext(), server.url, { second: kSecond });
  await playToEnd(page);
  assert.equal(await page.$eval('#panelScore', (panel) => panel.textContent), String(expected.score));
  assert.equal(await page.$eval('#jmenoLabel3', (label) => label.textContent), String(expected.score));
  await page.type('#jmenoEdit1', kName);
  await page.keyboard.press('Enter');
  const rows = await tableRows(page);
  assert.ok(rows.some(([name, score]) => name === 'Hráč ? z Brna' && score === expected.score));
  assert.deepEqual(Buffer.from(await storage(page)), expected.file);
  // Further releases do nothing until a new game.
  await page.keyboard.press('Escape');
  await releaseAt(page, 8, 136);
  assert.equal(await page.$('dialog[open]'), null);
  assert.deepEqual(page.errors, []);
  await page.browserContext().close();
});

test('two pages recording at once both keep their results', async () => {
  const context = await browser.createBrowserContext();
  const pages = [await openGame(context, server.url, { second: kSecond }),
    await openGame(context, server.url, { second: kSecond })];
  await storage(pages[0], zeros);
  for (const page of pages) {
    await page.bringToFront();  // a hidden tab paints no frames and takes no input
    await playToEnd(page);
  }
  await Promise.all(pages.map((page, i) => page.$eval('#jmenoEdit1', (field, name) => { field.value = name; },
    ['Alena', 'Bohumil'][i])));
  await Promise.all(pages.map((page) => page.$eval('#jmenoButton1', (button) => button.click())));
  for (const page of pages) {
    await page.bringToFront();
    await tableRows(page);
  }
  // The table as a page opened afterwards reads it.
  const reader = await openGame(context, server.url);
  await reader.click('#btnNejlepsiSkore');
  const rows = await tableRows(reader);
  assert.deepEqual(rows.slice(0, 2).map(([name]) => name).sort(), ['Alena', 'Bohumil']);
  assert.deepEqual(rows.slice(0, 2).map(([, score]) => score), [expected.score, expected.score]);
  await context.close();
});

test('with the storage disabled the game plays on and shows the default table', async () => {
  const page = await openGame(browser, server.url, { second: kSecond,
    prepare: () => Object.defineProperty(window, 'indexedDB', { get() { throw new DOMException('denied', 'SecurityError'); } }) });
  await playToEnd(page);
  const rows = await tableRows(page);
  assert.deepEqual(rows[0], ['Quillon Dynamics', 3500, 0]);
  assert.deepEqual(rows[9], ['Quillon Dynamics', 350, 0]);
  await page.keyboard.press('Escape');
  await page.click('#btnNovaHra');
  assert.equal(await boardOnScreen(page, 1), expected.board);
  assert.deepEqual(page.errors, []);
  await page.close();
});

test('with the storage full the game plays on and shows the default table', async () => {
  const page = await openGame(await browser.createBrowserContext(), server.url, { second: kSecond });
  await (await page.createCDPSession()).send('Storage.overrideQuotaForOrigin',
    { origin: new URL(server.url).origin, quotaSize: 1 });
  await playToEnd(page);
  assert.deepEqual((await tableRows(page))[0], ['Quillon Dynamics', 3500, 0]);
  assert.equal(await storage(page), null);
  await page.keyboard.press('Escape');
  await page.click('#btnNovaHra');
  assert.equal(await boardOnScreen(page, 1), expected.board);
  assert.deepEqual(page.errors, []);
  await page.browserContext().close();
});

test('damaged stored bytes read as a damaged file; what is no bytes is left alone', async () => {
  const page = await openGame(await browser.createBrowserContext(), server.url);
  await storage(page, []);
  await page.click('#btnNejlepsiSkore');
  assert.deepEqual((await tableRows(page))[9], ['˙'.repeat(20), -257, 0]);
  await page.keyboard.press('Escape');
  await storage(page, 'not bytes');
  await page.click('#btnNejlepsiSkore');
  assert.deepEqual((await tableRows(page))[0], ['Quillon Dynamics', 3500, 0]);
  assert.equal(await storage(page), 'not bytes');
  await page.browserContext().close();
});

test('a name that looks like markup is shown as its characters', async () => {
  const markup = '<img src=x onerror=a';
  const page = await openGame(await browser.createBrowserContext(), server.url);
  await storage(page, table([[markup, 9999], ...Array(9).fill(['', 0])]));
  await page.click('#btnNejlepsiSkore');
  assert.deepEqual((await tableRows(page))[0], [markup, 9999, 0]);
  assert.equal(await page.$('dialog img'), null);
  await page.browserContext().close();
});

test('"Konec" leaves the page ended until "Nová hra"; the link opens a new tab without an opener', async () => {
  const page = await openGame(browser, server.url, { second: kSecond });
  assert.deepEqual(await page.$eval('#labelHomepage', (link) => [link.target, link.rel]), ['_blank', 'noopener']);
  await page.click('#btnKonec');
  assert.equal(await page.$eval('#imgHra', (board) => board.hidden), true);
  assert.equal(await page.$eval('#ended', (notice) => notice.hidden), false);
  await page.click('#btnNovaHra');
  assert.equal(await boardOnScreen(page, 1), expected.board);
  await page.close();
});
