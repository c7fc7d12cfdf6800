// What the browser tests and the benchmark share: the built site served from this machine,
// the browser of the engine under test, and the board read back from screenshots by comparing
// each cell with the ball pictures.
import { readFileSync } from 'node:fs';
import { createServer } from 'node:http';
import { extname, join, normalize } from 'node:path';
import puppeteer from 'puppeteer-core';
import { decodePng } from './png.mjs';
import { launchWebKit } from './webdriver.mjs';

export { decodePng };

export const repository = new URL('../..', import.meta.url).pathname;
export const site = join(repository, 'build/web/site');
const kTypes = { '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.css': 'text/css',
  '.wasm': 'application/wasm', '.bmp': 'image/bmp', '.ico': 'image/x-icon', '.png': 'image/png',
  '.webmanifest': 'application/manifest+json', '.txt': 'text/plain; charset=utf-8' };

// A static server over `directory`, as any web host would serve the site; `extra` maps more
// paths to files elsewhere. `served` lists each path sent and its bytes.
export async function serve(directory, extra = {}) {
  const served = [];
  const server = createServer((request, response) => {
    const path = normalize(decodeURIComponent(new URL(request.url, 'http://host').pathname));
    try {
      const body = readFileSync(extra[path] ?? join(directory, path.endsWith('/') ? `${path}index.html` : path));
      response.writeHead(200, { 'Content-Type': kTypes[extname(path) || '.html'] ?? 'application/octet-stream' });
      response.end(body);
      served.push([path, body.length]);
    } catch {
      response.writeHead(404).end();
    }
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  // Closed, it takes no request more, also on a connection kept open.
  const close = () => {
    server.close();
    server.closeAllConnections();
  };
  return { url: `http://127.0.0.1:${server.address().port}/`, close, served };
}

// The engine the suite runs in, by the name of the browser that brings it: Blink in Chromium
// (driven through the DevTools protocol), Gecko in Firefox ESR (WebDriver BiDi, both through
// puppeteer-core) and WebKit in WebKitGTK's MiniBrowser (W3C WebDriver, webdriver.mjs).
export const engines = ['chromium', 'firefox', 'webkit'];
export const browserEngine = process.env.PELORIN_WEB_ENGINE ?? 'chromium';
if (!engines.includes(browserEngine)) throw new Error(`PELORIN_WEB_ENGINE is ${browserEngine}, not one of ${engines}`);

// What an engine's driver cannot do. A case that needs it says so by this name and runs on
// in the other engines; the README lists the same.
const kGaps = {
  chromium: {},
  firefox: {
    wholePixels: 'puppeteer\'s WebDriver BiDi mouse puts the pointer on whole CSS pixels',
    accessibility: 'puppeteer reads the accessibility tree only through the DevTools protocol, which Firefox lacks',
    installability: 'Firefox tells no driver whether a page can be installed as an app',
  },
  webkit: {
    wholePixels: 'WebKitWebDriver puts the pointer on whole CSS pixels',
    accessibility: 'WebKitWebDriver gives no accessible description of an element',
    installability: 'WebKitWebDriver tells nothing of whether a page can be installed as an app',
    touch: 'WebKitWebDriver dispatches no touch input (its touch actions are accepted and do nothing)',
    buttons: 'WebKitWebDriver releases any other mouse button as the left one, and the other stays held for every later click',
    fullStorage: 'MiniBrowser keeps its storage in memory and has no setting for its quota',
  },
};
// The reason a case cannot run in this engine, for node:test's `skip`, or false.
export const gap = (capability) => (kGaps[browserEngine][capability] ? `${browserEngine}: ${kGaps[browserEngine][capability]}` : false);

// Firefox's own traffic turned off: updates, telemetry and studies, remote settings and
// blocklists, captive-portal and connectivity checks, DNS over HTTPS, prefetching, push and
// safe browsing. What puppeteer sets besides points at a name that resolves here.
const kFirefoxPreferences = {
  'app.update.auto': false,
  'app.update.enabled': false,
  'app.normandy.enabled': false,
  'browser.ping-centre.telemetry': false,
  'browser.region.network.url': '',
  'browser.region.update.enabled': false,
  'browser.safebrowsing.provider.google4.updateURL': '',
  'browser.safebrowsing.provider.mozilla.updateURL': '',
  'browser.topsites.contile.enabled': false,
  'datareporting.healthreport.uploadEnabled': false,
  'dom.push.connection.enabled': false,
  'extensions.blocklist.enabled': false,
  'extensions.systemAddon.update.enabled': false,
  'geo.provider.network.url': '',
  'identity.fxaccounts.enabled': false,
  'media.gmp-gmpopenh264.enabled': false,
  'media.gmp-manager.url': '',
  'messaging-system.rsexperimentloader.enabled': false,
  'network.captive-portal-service.enabled': false,
  'network.connectivity-service.enabled': false,
  'network.dns.disablePrefetch': true,
  'network.dns.localDomains': 'dummy.test',
  'network.predictor.enabled': false,
  'network.prefetch-next': false,
  'network.proxy.type': 0,
  'network.trr.mode': 5,
  'security.OCSP.enabled': 0,
  'security.remote_settings.crlite_filters.enabled': false,
  'security.remote_settings.intermediates.enabled': false,
  'services.settings.server': 'http://127.0.0.1:9/',
  'toolkit.telemetry.archive.enabled': false,
  'toolkit.telemetry.enabled': false,
  'toolkit.telemetry.server': '',
  'toolkit.telemetry.unified': false,
};

// The engine's browser, headless, as root where need be, talking to nothing but this machine,
// with a fresh profile each time (made and removed by puppeteer, or kept in memory by
// MiniBrowser). `preferences` are Firefox's, for a browser of different settings.
export async function launch(name = browserEngine, { preferences = {} } = {}) {
  if (name === 'webkit') return launchWebKit();
  if (name === 'firefox') {
    // A release build takes another remote-settings server only with this variable set.
    return puppeteer.launch({ browser: 'firefox', executablePath: process.env.PELORIN_FIREFOX ?? '/usr/bin/firefox-esr',
      headless: true, extraPrefsFirefox: { ...kFirefoxPreferences, ...preferences },
      env: { ...process.env, MOZ_REMOTE_SETTINGS_DEVTOOLS: '1' } });
  }
  return puppeteer.launch({
    executablePath: process.env.PELORIN_CHROMIUM ?? '/usr/bin/chromium',
    headless: true,
    // No name resolves but this machine's address, so that no lookup leaves it either (autofill,
    // sign-in and update checks look up their servers despite the flags before).
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync',
      '--disable-dev-shm-usage', '--disable-features=AutofillServerCommunication',
      '--host-resolver-rules=MAP * ~NOTFOUND, EXCLUDE 127.0.0.1'],
  });
}

// Opens the game with the clock stopped at `second` (the deal reads the clock, as under
// faketime), on a screen of `width` x `height` CSS pixels at a device pixel ratio, after
// `prepare` has run in the page before its script; `ready` is what to wait for.
export async function openGame(context, url, { second, ratio = 1, width = 640, height = 400, prepare,
  ready = 'html[data-ready]' } = {}) {
  const page = await context.newPage();
  if (page.on) {
    page.uncaught = [];
    page.on('pageerror', (error) => page.uncaught.push(error));
  }
  await page.setViewport({ width, height, deviceScaleFactor: ratio, hasTouch: true });
  if (second !== undefined) await page.evaluateOnNewDocument((s) => { Date.now = () => s * 1000; }, second);
  if (prepare) await page.evaluateOnNewDocument(prepare);
  await page.goto(url);
  await page.waitForSelector(ready);
  return page;
}

// The errors the page let through uncaught since it was opened.
export const pageErrors = (page) => (page.uncaught ?? page.errors());

// A context in which the page's origin finds its storage full: in Chromium the origin's quota
// set to one byte, in Firefox a browser of its own whose storage is limited to one kilobyte.
// Closing it closes what was made for it.
export async function fullStorage(browser, url) {
  if (browserEngine === 'firefox') {
    const limited = await launch('firefox', { preferences: { 'dom.quotaManager.temporaryStorage.fixedLimit': 1 } });
    return { context: limited.defaultBrowserContext(), close: () => limited.close() };
  }
  const context = await browser.createBrowserContext();
  const holder = await context.newPage();  // the override lasts while its session does
  await (await holder.createCDPSession()).send('Storage.overrideQuotaForOrigin',
    { origin: new URL(url).origin, quotaSize: 1 });
  return { context, close: () => context.close() };
}

// Where a pixel of the board's picture is on the page: the middle of the device pixels that
// show it, in CSS pixels.
export async function boardPoint(page, pixelX, pixelY) {
  const box = await (await page.$('#imgHra')).boundingBox();
  return [box.x + ((pixelX + 0.5) * box.width) / 400, box.y + ((pixelY + 0.5) * box.height) / 144];
}

// What only Chromium tells through its DevTools protocol: why the page cannot be installed
// as an app, and the manifest it found.
export async function installability(page) {
  const session = await page.createCDPSession();
  const { installabilityErrors } = await session.send('Page.getInstallabilityErrors');
  const { url, data } = await session.send('Page.getAppManifest');
  await session.detach();
  return { errors: installabilityErrors, manifestUrl: url, manifest: data ? JSON.parse(data) : null };
}

// The name and the description that a screen reader is given for an element (from Chromium's
// accessibility tree), or null for an element left out of it.
export async function accessible(page, selector) {
  const node = await page.accessibility.snapshot({ root: await page.$(selector), interestingOnly: false });
  return node && { name: node.name, description: node.description };
}

// Every request whose address `blocked` matches fails, as where a host or a filter refuses it
// (in WebKit, every request of the page's context).
export async function blockRequests(page, blocked) {
  if (browserEngine === 'webkit') return page.browserContext().block(blocked);
  await page.setRequestInterception(true);
  page.on('request', (request) => (blocked.test(request.url()) ? request.abort() : request.continue()));
}

// The four pictures the board is drawn from (empty, yellow, blue, brown): 16 x 16 pixels of
// 0xRRGGBB, read from the 24-bit bitmaps, whose rows are stored bottom first.
export const pictures = ['prazdna', 'zluta', 'modra', 'hneda'].map((name) => {
  const bmp = readFileSync(join(repository, 'resources/balls', `${name}.bmp`));
  const start = bmp.readUInt32LE(10);
  return Array.from({ length: 256 }, (_, p) => {
    const at = start + (15 - Math.floor(p / 16)) * 48 + (p % 16) * 3;
    return (bmp[at + 2] << 16) | (bmp[at + 1] << 8) | bmp[at];
  });
});

// The board as the screen shows it, one digit a cell (the cell codes), or null while any
// cell is other than one of the pictures at `scale` device pixels a picture pixel.
export async function boardOnScreen(page, scale) {
  const box = await (await page.$('#imgHra')).boundingBox();
  const ratio = page.viewport().deviceScaleFactor;
  const [left, top] = [Math.round(box.x * ratio), Math.round(box.y * ratio)];
  if (Math.round(box.width * ratio) !== 400 * scale || Math.round(box.height * ratio) !== 144 * scale) return null;
  const screen = decodePng(Buffer.from(await page.screenshot({ type: 'png' })));
  const shot = { width: screen.width, rgba: screen.rgba.subarray((top * screen.width + left) * 4) };
  let board = '';
  for (let cell = 0; cell < 225; ++cell) {
    const code = pictures.findIndex((picture) => picture.every((colour, p) => {
      for (let dy = 0; dy < scale; ++dy) {
        for (let dx = 0; dx < scale; ++dx) {
          const x = ((cell % 25) * 16 + (p % 16)) * scale + dx;
          const y = (Math.floor(cell / 25) * 16 + Math.floor(p / 16)) * scale + dy;
          const at = (y * shot.width + x) * 4;
          if (((shot.rgba[at] << 16) | (shot.rgba[at + 1] << 8) | shot.rgba[at + 2]) !== colour) return false;
        }
      }
      return true;
    }));
    if (code < 0) return null;
    board += code;
  }
  return board;
}

// The runs of one colour down a column of device pixels through a window (the element that
// `selector` finds), at `layoutX` pixels of its layout from its left edge, but for the first
// and the last run, which the window's edges cut: each as long as a whole number of layout
// pixels at `scale` where the window's lines are drawn at its scale, shorter where they were
// drawn smaller and stretched.
export async function windowColumnRuns(page, selector, layoutX, scale) {
  const box = await (await page.$(selector)).boundingBox();
  const ratio = page.viewport().deviceScaleFactor;
  const screen = decodePng(Buffer.from(await page.screenshot({ type: 'png' })));
  const x = Math.round(box.x * ratio) + layoutX * scale + Math.floor(scale / 2);
  const runs = [];
  let last = null;
  for (let y = Math.round(box.y * ratio); y < Math.round((box.y + box.height) * ratio); ++y) {
    const colour = screen.rgba.readUInt32BE((y * screen.width + x) * 4);
    if (colour === last) ++runs[runs.length - 1];
    else runs.push(1);
    last = colour;
  }
  return runs.slice(1, -1);
}
