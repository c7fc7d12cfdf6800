// The browser build in a headless browser of each engine, held against the desktop game's
// engine and score logic (build/dev/tests/web_reference). Run by scripts/test-web.sh, once per
// engine (PELORIN_WEB_ENGINE: chromium, firefox or webkit).
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { after, before, describe, test } from 'node:test';
import { accessible, blockRequests, boardOnScreen, boardPoint, browserEngine, fullStorage, gap, installability, launch,
  openGame, pageErrors, repository, serve, site, windowColumnRuns } from './browser.mjs';

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

// What the page's store holds (bytes as an array), after putting `value` there if given; null
// also where the store cannot be opened, as in a browser whose storage is full.
const storage = (page, value) => page.evaluate((put) => new Promise((resolve, reject) => {
  const request = indexedDB.open('pelorin', 1);
  request.onupgradeneeded = () => request.result.createObjectStore('tables');
  request.onerror = () => (put === undefined ? resolve(null) : reject(request.error));
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

describe(`the page in ${browserEngine}`, () => {
  let server;
  let browser;
  let expected;
  before(async () => {
    expected = desktop(kSecond, kName);
    server = await serve(site);
    browser = await launch();
    console.log(`${browserEngine}: ${await browser.version()}`);
  });
  after(async () => {
    await browser?.close();
    server?.close();
  });

  // A click at a point of the page: a press and a release of `button`, or, with `held`, a
  // press and a release of `button` while `held` stays down.
  async function clickAt(page, point, button = 'left', held = null) {
    await page.mouse.move(...point);
    if (held) await page.mouse.down({ button: held });
    await page.mouse.down({ button });
    await page.mouse.up({ button });
  }
  // The same at a pixel of the board's picture.
  const releaseAt = async (page, pixelX, pixelY, button, held) => clickAt(page, await boardPoint(page, pixelX, pixelY), button, held);

  // Where the pointer stands on a device pixel of the board, counted from its corner: in the
  // middle of it, or, for a driver of whole CSS pixels, on the first such pixel inside it; where
  // that one has none, on the next device pixel that has, a step each time towards `inward`.
  // Returns that point and the device pixel it is on.
  async function onDevicePixel(page, device, inward) {
    const box = await (await page.$('#imgHra')).boundingBox();
    const ratio = page.viewport().deviceScaleFactor;
    const point = []; const reached = [];
    for (const axis of [0, 1]) {
      for (let pixel = device[axis]; ; pixel += inward[axis]) {
        const at = Math.round([box.x, box.y][axis] * ratio) + pixel;
        const whole = Math.ceil(at / ratio - 1 / 1024);
        if (!gap('wholePixels') || whole * ratio < at + 1) {
          point.push(gap('wholePixels') ? whole : (at + 0.5) / ratio);
          reached.push(pixel);
          break;
        }
      }
    }
    return { point, reached };
  }
  const boardNow = (page) => page.evaluate(() => new Uint8Array(engine.memory.buffer, engine.pelorin_board(), 225).join(''));

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

  // The screens the window is shown on: the test's own, a desktop's, a phone's held sideways.
  const kScreens = [
    { width: 640, height: 400, ratio: 1, scale: 1, edges: true },
    { width: 640, height: 400, ratio: 2, scale: 3, edges: true },
    { width: 1280, height: 800, ratio: 1, scale: 3 },
    { width: 844, height: 390, ratio: 3, scale: 5 },
  ];
  for (const { width, height, ratio, scale, edges } of kScreens) {
    const screen = `${width} x ${height} at ratio ${ratio}`;
    test(`deals the engine's board for a second and shows the window centred, the board crisp at ${scale} device pixels per picture pixel, on ${screen}`, async () => {
      const page = await openGame(browser, server.url, { second: kSecond, ratio, width, height });
      assert.equal(await boardOnScreen(page, scale), expected.board);
      // The window's lines as sharp as its board: drawn at its scale, not drawn small and stretched.
      const runs = await windowColumnRuns(page, '#frmMain', 1, scale);
      assert.deepEqual(runs.filter((run) => run % scale), [], `runs of one colour down the window's edge: ${runs}`);
      const margins = await page.$eval('#frmMain', (frame) => {
        const box = frame.getBoundingClientRect();
        return [box.left, innerWidth - box.right, box.top, innerHeight - box.bottom];
      });
      // Within a device pixel, and a sixtieth of a CSS pixel, Gecko's unit of layout.
      const even = (a, b) => Math.abs(a - b) * ratio <= 1 + ratio / 60;
      assert.ok(even(margins[0], margins[1]) && even(margins[2], margins[3]), `${margins}`);
      if (process.env.PELORIN_WEB_SCREENSHOTS) {
        await page.screenshot({ path: join(process.env.PELORIN_WEB_SCREENSHOTS, `pelorin-web-${browserEngine}-${width}x${height}@${ratio}.png`) });
      }
      assert.equal(await page.title(), `Pelorin ${kVersion} © 2026 Quillon Dynamics`);
      // The table opens at the window's scale.
      await page.click('#btnNejlepsiSkore');
      const table = await page.waitForSelector('#frmSkore[open]');
      assert.equal(Math.round((await table.boundingBox()).width * ratio), scale * await table.evaluate((dialog) => dialog.offsetWidth));
      const tableRuns = await windowColumnRuns(page, '#frmSkore', 3, scale);
      assert.deepEqual(tableRuns.filter((run) => run % scale), [], `runs of one colour down the table's edge: ${tableRuns}`);
      await page.close();
    });

    if (!edges) continue;
    test(`a release on the first and the last device pixel of a cell plays that cell, by any button, on ${screen}`, async (t) => {
      // A cell whose release leaves a board that no release on a neighbour leaves.
      const cell = expected.afterRelease.findIndex((board, index) => board !== expected.board &&
        [-25, -1, 1, 25].every((step) => expected.afterRelease[index + step] !== board &&
          index + step >= 0 && index + step < 225) && index % 25 > 0 && index % 25 < 24);
      const [left, top] = [(cell % 25) * 16 * scale, Math.floor(cell / 25) * 16 * scale];
      const last = 16 * scale - 1;
      for (let [device, button, held] of [[[left, top], 'left'], [[left + last, top + last], 'right'],
        [[left + last, top], 'right', 'left']]) {
        if (button !== 'left' && gap('buttons')) {
          if (held) {
            t.diagnostic(`no release of the ${button} button while the ${held} is held: ${gap('buttons')}`);
            continue;
          }
          t.diagnostic(`released with the left button, not the ${button}: ${gap('buttons')}`);
          button = 'left';
        }
        const page = await openGame(browser, server.url, { second: kSecond, ratio, width, height });
        const inward = device.map((pixel, axis) => (pixel === [left, top][axis] ? 1 : -1));
        const { point, reached } = await onDevicePixel(page, device, inward);
        if (`${reached}` !== `${device}`) t.diagnostic(`device pixel ${reached} released for ${device}: ${gap('wholePixels')}`);
        await clickAt(page, point, button, held);
        assert.equal(await boardOnScreen(page, scale), expected.afterRelease[cell],
          `device pixel ${reached}, ${button}${held ? ` while ${held} is held` : ''}`);
        await page.close();
      }
    });
  }

  test('a press begun on another control plays nothing where it is released over the board', async () => {
    const page = await openGame(browser, server.url, { second: kSecond });
    const [x, y] = expected.clicks[0];
    const panel = await (await page.$('#panelScore')).boundingBox();
    await page.mouse.move(panel.x + panel.width / 2, panel.y + panel.height / 2);
    await page.mouse.down();
    await page.mouse.move(...await boardPoint(page, x * 16 + 8, y * 16 + 8), { steps: 4 });
    await page.mouse.up();
    assert.equal(await boardNow(page), expected.board);
    await page.close();
  });

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

  test('on a narrow screen the window fits it and a lifted finger plays the cell under it', async (t) => {
    const page = await openGame(browser, server.url, { second: kSecond, width: 320 });
    const box = await (await page.$('#frmMain')).boundingBox();
    assert.ok(box.width <= 320 && box.width > 300, `window ${box.width} px wide`);
    const cell = expected.clicks[0];
    if (gap('touch')) {
      t.diagnostic(`released with the mouse, not a finger: ${gap('touch')}`);
      await releaseAt(page, cell[0] * 16 + 8, cell[1] * 16 + 8);
    } else {
      await page.touchscreen.tap(...await boardPoint(page, cell[0] * 16 + 8, cell[1] * 16 + 8));
    }
    assert.equal(await boardNow(page), expected.afterRelease[cell[1] * 25 + cell[0]]);
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
    assert.deepEqual(await pageErrors(page), []);
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
    assert.deepEqual(await pageErrors(page), []);
    await page.close();
  });

  test('with the storage full the game plays on and shows the default table', { skip: gap('fullStorage') }, async () => {
    const full = await fullStorage(browser, server.url);
    try {  // in Firefox a browser of its own, which no other close ends
      const page = await openGame(full.context, server.url, { second: kSecond });
      await playToEnd(page);
      assert.deepEqual((await tableRows(page))[0], ['Quillon Dynamics', 3500, 0]);
      assert.equal(await storage(page), null);
      await page.keyboard.press('Escape');
      await page.click('#btnNovaHra');
      assert.equal(await boardOnScreen(page, 1), expected.board);
      assert.deepEqual(await pageErrors(page), []);
    } finally {
      await full.close();
    }
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
    // A tab with a page before it, which no engine lets a script close (Gecko and WebKit close
    // one whose history holds this page alone).
    await page.evaluate(() => history.pushState(null, '', location.href));
    await page.click('#btnKonec');
    assert.equal(await page.$eval('#imgHra', (board) => board.hidden), true);
    assert.equal(await page.$eval('#ended', (notice) => notice.hidden), false);
    await page.click('#btnNovaHra');
    assert.equal(await boardOnScreen(page, 1), expected.board);
    await page.close();
  });

  test('the board and both dialogs are named for a screen reader, the board with the score', { skip: gap('accessibility') }, async () => {
    const page = await openGame(browser, server.url, { second: kSecond });
    const [x, y] = expected.clicks[0];
    await releaseAt(page, x * 16 + 8, y * 16 + 8);
    const score = await page.$eval('#panelScore', (panel) => panel.textContent);
    const board = await accessible(page, '#imgHra');
    assert.equal(board?.name, 'Hrací plocha');
    assert.match(board.description, new RegExp(`\\b${score}$`));
    for (const dialog of ['#frmJmeno', '#frmSkore']) {
      await page.$eval(dialog, (window) => window.showModal());
      assert.equal((await accessible(page, dialog)).name, await page.$eval(`${dialog} .caption`, (caption) => caption.textContent));
      await page.$eval(dialog, (window) => window.close());
    }
    await page.close();
  });

  test('after one visit the game opens and plays without a network', async () => {
    const own = await serve(site);
    const context = await browser.createBrowserContext();
    const page = await openGame(context, own.url, { second: kSecond });
    await page.evaluate(() => navigator.serviceWorker.ready);
    own.close();
    await page.reload();
    await page.waitForSelector('html[data-ready]');
    assert.equal(await boardOnScreen(page, 1), expected.board);
    const [x, y] = expected.clicks[0];
    await releaseAt(page, x * 16 + 8, y * 16 + 8);
    assert.equal(await boardOnScreen(page, 1), expected.afterRelease[y * 25 + x]);
    await context.close();
  });

  test('the page can be installed as an app, with icons of 192 and 512 pixels', { skip: gap('installability') }, async () => {
    const page = await openGame(browser, server.url);
    const { errors, manifest } = await installability(page);
    assert.deepEqual(errors, []);
    assert.deepEqual(manifest.icons.filter((icon) => icon.purpose === 'any').map((icon) => icon.sizes), ['192x192', '512x512']);
    await page.close();
  });

  test('a module that cannot be loaded leaves a message in words in the window', async () => {
    const page = await (await browser.createBrowserContext()).newPage();
    await blockRequests(page, /\.wasm\b/);
    await page.goto(server.url);
    const notice = await page.waitForSelector('#failure:not([hidden])', { visible: true });
    assert.match(await notice.evaluate((element) => element.textContent), /^\p{Lu}[\p{L} ,.]{20,}$/u);
    await page.browserContext().close();
  });
});
