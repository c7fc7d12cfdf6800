// What the browser tests and the benchmark share: the built site served from this machine,
// the system's Chromium driven through the DevTools protocol, and the board read back from
// screenshots by comparing each cell with the ball pictures.
import { readFileSync } from 'node:fs';
import { createServer } from 'node:http';
import { extname, join, normalize } from 'node:path';
import { inflateSync } from 'node:zlib';
import puppeteer from 'puppeteer-core';

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

// Debian's Chromium, headless, as root where need be, talking to nothing but this machine.
export async function launch() {
  // A fresh profile each time, made and removed by puppeteer.
  return puppeteer.launch({
    executablePath: process.env.PELORIN_CHROMIUM ?? '/usr/bin/chromium',
    headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync',
      '--disable-dev-shm-usage'],
  });
}

// Opens the game with the clock stopped at `second` (the deal reads the clock, as under
// faketime), on a screen of `width` x `height` CSS pixels at a device pixel ratio, after
// `prepare` has run in the page before its script; `ready` is what to wait for.
export async function openGame(context, url, { second, ratio = 1, width = 640, height = 400, prepare,
  ready = 'html[data-ready]' } = {}) {
  const page = await context.newPage();
  page.errors = [];
  page.on('pageerror', (error) => page.errors.push(error));
  await page.setViewport({ width, height, deviceScaleFactor: ratio, hasTouch: true });
  if (second !== undefined) await page.evaluateOnNewDocument((s) => { Date.now = () => s * 1000; }, second);
  if (prepare) await page.evaluateOnNewDocument(prepare);
  await page.goto(url);
  await page.waitForSelector(ready);
  return page;
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

// Every request whose address `blocked` matches fails, as where a host or a filter refuses it.
export async function blockRequests(page, blocked) {
  await page.setRequestInterception(true);
  page.on('request', (request) => (blocked.test(request.url()) ? request.abort() : request.continue()));
}

// RGBA pixels of an 8-bit RGB or RGBA PNG, such as Chromium's screenshots.
export function decodePng(png) {
  let offset = 8;
  let width = 0; let height = 0; let channels = 0;
  const data = [];
  while (offset < png.length) {
    const length = png.readUInt32BE(offset);
    const type = png.toString('latin1', offset + 4, offset + 8);
    const body = png.subarray(offset + 8, offset + 8 + length);
    if (type === 'IHDR') {
      width = body.readUInt32BE(0); height = body.readUInt32BE(4);
      channels = { 2: 3, 6: 4 }[body[9]];
      if (body[8] !== 8 || !channels || body[12] !== 0) throw new Error('unexpected PNG format');
    } else if (type === 'IDAT') data.push(body);
    offset += 12 + length;
  }
  const raw = inflateSync(Buffer.concat(data));
  const stride = width * channels;
  const rows = Buffer.alloc(stride * height);
  for (let y = 0; y < height; ++y) {
    const filter = raw[y * (stride + 1)];
    for (let i = 0; i < stride; ++i) {
      const value = raw[y * (stride + 1) + 1 + i];
      const left = i >= channels ? rows[y * stride + i - channels] : 0;
      const up = y > 0 ? rows[(y - 1) * stride + i] : 0;
      const upLeft = y > 0 && i >= channels ? rows[(y - 1) * stride + i - channels] : 0;
      const paeth = () => {
        const p = left + up - upLeft;
        const [a, b, c] = [Math.abs(p - left), Math.abs(p - up), Math.abs(p - upLeft)];
        return a <= b && a <= c ? left : b <= c ? up : upLeft;
      };
      const predictor = [0, left, up, (left + up) >> 1, filter === 4 ? paeth() : 0][filter];
      rows[y * stride + i] = (value + predictor) & 0xff;
    }
  }
  const rgba = Buffer.alloc(width * height * 4, 0xff);
  for (let p = 0; p < width * height; ++p) rows.copy(rgba, p * 4, p * channels, p * channels + 3);
  return { width, height, rgba };
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
