// WebKitGTK driven through W3C WebDriver: a client of our own over fetch, for the few commands
// the browser tests use, behind the same methods as puppeteer's browser, context and page, so
// that the one suite runs here unchanged. WebKitWebDriver starts Debian's MiniBrowser, which
// needs an X display: an Xvfb of its own.
//
// What WebDriver has no command for is made here: a browser context is an origin of its own
// (a forwarding server on another port: storage, locks and workers are per origin), which
// also refuses the requests a test blocks; and the scripts a page asks to run before each
// document's own are put into every document as it is forwarded (also into the copy a service
// worker keeps), with one that collects the page's uncaught errors. One MiniBrowser holds the
// pages of one device pixel ratio, which GTK takes from GDK_SCALE when it starts.
import { spawn } from 'node:child_process';
import { once } from 'node:events';
import { mkdirSync, mkdtempSync, rmSync, writeFileSync } from 'node:fs';
import { createServer, request as forward } from 'node:http';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { cropPng, decodePng } from './png.mjs';

const kDriver = process.env.PELORIN_WEBKIT_DRIVER ?? 'WebKitWebDriver';
const kPageParameter = 'webdriver-page';
const kPreloadPath = '/.webdriver/preload.js';
const kKeys = { Enter: '\uE007', Escape: '\uE00C', Tab: '\uE004', Backspace: '\uE003' };
const kButtons = { left: 0, middle: 1, right: 2 };
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

async function freePort() {
  const server = createServer().listen(0, '127.0.0.1');
  await once(server, 'listening');
  const { port } = server.address();
  server.close();
  return port;
}

// A child process whose last words are kept for the error that reports its death, ended with
// the tests at the latest; it keeps them from ending no more than the servers below do, so that
// a failed test that leaves a context open cannot keep them waiting.
function start(command, args, options) {
  const child = spawn(command, args, { ...options, stdio: ['ignore', 'ignore', 'pipe', ...(options.extra ?? [])] });
  child.unref();
  child.stderr.unref();
  child.said = '';
  child.stderr.on('data', (chunk) => { child.said = (child.said + chunk).slice(-2000); });
  child.died = new Promise((resolve) => {
    child.on('exit', (code, signal) => resolve(`${command} ended (${code ?? signal}): ${child.said}`));
    child.on('error', (error) => resolve(`${command} did not start: ${error.message}`));
  });
  const end = () => child.kill();
  process.on('exit', end);
  child.died.then(() => process.off('exit', end));
  return child;
}

// MiniBrowser's toolbar as small as GTK lets it be, so that its window can be as narrow as a
// phone's viewport (about 290 px against 447).
const kToolbarStyle = `window > * { font-size: 1px; }
toolbar, toolbar *, entry, button { padding: 0; margin: 0; min-width: 0; min-height: 0; border-width: 0;
  font-size: 1px; -gtk-icon-transform: scale(0.1); }`;

// A virtual screen big enough for a 1280 x 800 viewport at a ratio of 2.
async function startDisplay() {
  const xvfb = start('Xvfb', ['-displayfd', '3', '-screen', '0', '2600x1800x24', '-nolisten', 'tcp'], { extra: ['pipe'] });
  let text = '';
  const number = new Promise((resolve) => xvfb.stdio[3].on('data', (chunk) => {
    text += chunk;
    if (text.includes('\n')) resolve(text.trim());
  }));
  const display = await Promise.race([number, xvfb.died.then((why) => { throw new Error(why); })]);
  xvfb.stdio[3].unref();
  return { display: `:${display}`, close: () => xvfb.kill() };
}

async function call(base, method, path, body) {
  const response = await fetch(`${base}${path}`, { method, headers: { 'Content-Type': 'application/json' },
    body: body === undefined ? undefined : JSON.stringify(body) });
  const { value } = await response.json();
  if (!response.ok) throw new Error(`WebDriver ${method} ${path}: ${value?.error}: ${value?.message}`);
  return value;
}

// One WebKitWebDriver with its MiniBrowser. Commands go to the window they name: the driver has
// one current window, so each switch and command together wait for the ones before.
class Session {
  #queue = Promise.resolve();
  #current = null;

  static async start(display, ratio) {
    const port = await freePort();
    const settings = mkdtempSync(join(tmpdir(), 'pelorin-webkit-'));
    mkdirSync(join(settings, 'gtk-3.0'));
    writeFileSync(join(settings, 'gtk-3.0', 'gtk.css'), kToolbarStyle);
    const driver = start(kDriver, [`--port=${port}`, '--host=127.0.0.1'], { env: { ...process.env, DISPLAY: display,
      GDK_BACKEND: 'x11', GDK_SCALE: String(ratio), NO_AT_BRIDGE: '1', XDG_CONFIG_HOME: settings } });
    driver.on('exit', () => rmSync(settings, { recursive: true, force: true }));
    const base = `http://127.0.0.1:${port}`;
    let exited = null;
    driver.died.then((why) => { exited = why; });
    for (;; await sleep(50)) {
      if (exited) throw new Error(exited);
      if (await fetch(`${base}/status`).then((answer) => answer.ok, () => false)) break;
    }
    // MiniBrowser in automation mode keeps its data in memory: every session starts empty.
    const { sessionId, capabilities } = await call(base, 'POST', '/session', { capabilities: { alwaysMatch: {
      'webkitgtk:browserOptions': { args: ['--automation', '--enable-dns-prefetching=false'] } } } });
    const session = new Session(`${base}/session/${sessionId}`, driver, capabilities, ratio);
    session.#current = await session.call('GET', '/window');
    session.spare = session.#current;  // the first window stays open: the session ends with its last
    return session;
  }

  constructor(base, driver, capabilities, ratio) {
    Object.assign(this, { base, driver, capabilities, ratio });
  }

  call(method, path, body) {
    return call(this.base, method, path, body);
  }

  // Runs `work` with `handle` the current window, after the work queued before.
  in(handle, work) {
    const result = this.#queue.then(async () => {
      if (handle !== this.#current) await this.call('POST', '/window', { handle });
      this.#current = handle;
      return work();
    });
    this.#queue = result.catch(() => {});
    return result;
  }

  async newWindow() {
    return this.in(this.spare, async () => (await this.call('POST', '/window/new', { type: 'window' })).handle);
  }

  async closeWindow(handle) {
    await this.in(handle, async () => {
      await this.call('DELETE', '/window');
      this.#current = null;
    });
  }

  async close() {
    await this.call('DELETE', '').catch(() => {});
    this.driver.kill();
  }
}

// The origin of a context: forwards every request to the site, but for those the context
// blocks, and puts a script before the first element of every document's head that asks for
// the scripts of the page it is in (named in the document's address, and so in the address
// its request is referred from).
async function startOrigin(context) {
  const pageOf = (address) => context.pages.get(address && new URL(address).searchParams.get(kPageParameter));
  const server = createServer((request, response) => {
    const address = new URL(request.url, context.origin);
    if (context.blocked?.test(address.href)) {
      request.socket.destroy();
      return;
    }
    if (address.pathname === kPreloadPath) {
      response.writeHead(200, { 'Content-Type': 'text/javascript', 'Cache-Control': 'no-store' });
      response.end((pageOf(address.href) ?? pageOf(request.headers.referer))?.preloadScript() ?? '');
      return;
    }
    address.searchParams.delete(kPageParameter);
    const target = new URL(address.pathname + address.search, context.target);
    const upstream = forward(target, { method: request.method, headers: { ...request.headers, host: target.host } }, (answer) => {
      if (!(answer.headers['content-type'] ?? '').startsWith('text/html')) {
        response.writeHead(answer.statusCode, answer.headers);
        answer.pipe(response);
        return;
      }
      const body = [];
      answer.on('data', (chunk) => body.push(chunk));
      answer.on('end', () => {
        const script = `<script src="${kPreloadPath}"></script>`;
        const html = Buffer.concat(body).toString('utf8');
        const head = html.match(/<head[^>]*>/i);
        const at = head ? head.index + head[0].length : 0;
        const text = html.slice(0, at) + script + html.slice(at);
        const headers = { ...answer.headers, 'content-length': Buffer.byteLength(text) };
        response.writeHead(answer.statusCode, headers);
        response.end(text);
      });
    });
    upstream.on('error', () => response.writeHead(502).end());
    request.pipe(upstream);
  });
  server.listen(0, '127.0.0.1');
  await once(server, 'listening');
  server.unref();
  context.origin = `http://127.0.0.1:${server.address().port}`;
  return () => {
    server.close();
    server.closeAllConnections();
  };
}

let pageCount = 0;

class WebKitPage {
  #viewport = { width: 800, height: 600, deviceScaleFactor: 1 };
  #preloads = [];
  #window = null;
  #session = null;

  constructor(context) {
    this.context = context;
    this.id = String(++pageCount);
    // Only the left button: WebKitWebDriver releases any other as the left one and leaves the
    // other held in its session, where every later click of every window then goes astray.
    const press = (button = 'left', type) => {
      if (button !== 'left') throw new Error(`WebKitWebDriver cannot release the ${button} button`);
      return this.#actions('pointer', [{ type, button: kButtons[button] }]);
    };
    this.mouse = {
      move: (x, y) => this.#actions('pointer', [{ type: 'pointerMove', x, y, origin: 'viewport', duration: 0 }]),
      down: ({ button } = {}) => press(button, 'pointerDown'),
      up: ({ button } = {}) => press(button, 'pointerUp'),
    };
    this.keyboard = {
      press: (key) => this.#actions('key', [{ type: 'keyDown', value: kKeys[key] ?? key }, { type: 'keyUp', value: kKeys[key] ?? key }]),
    };
    this.touchscreen = { tap: () => { throw new Error('WebKitWebDriver dispatches no touch input'); } };
  }

  // The page's window, opened in the MiniBrowser of its ratio on first use.
  async #open() {
    if (!this.#window) {
      this.#session = await this.context.browser.session(this.#viewport.deviceScaleFactor);
      this.#window = await this.#session.newWindow();
      await this.#resize();
    }
    return this.#session;
  }

  async #run(work) {
    const session = await this.#open();
    return session.in(this.#window, () => work(session));
  }

  #call(method, path, body) {
    return this.#run((session) => session.call(method, path, body));
  }

  // The window made the size that gives the viewport asked for: MiniBrowser's toolbar above it.
  async #resize() {
    const { width, height } = this.#viewport;
    let inner = [width, height];
    for (let tries = 0; tries < 3; ++tries) {
      const rect = await this.#call('GET', '/window/rect');
      await this.#call('POST', '/window/rect', { width: rect.width + width - inner[0], height: rect.height + height - inner[1] });
      inner = await this.evaluate(() => [innerWidth, innerHeight]);
      if (inner[0] === width && inner[1] === height) return;
    }
    throw new Error(`viewport ${inner} where ${width} x ${height} was asked for`);
  }

  #actions(type, actions) {
    const source = type === 'key' ? { type, id: 'keyboard', actions }
      : { type, id: 'mouse', parameters: { pointerType: 'mouse' }, actions };
    return this.#call('POST', '/actions', { actions: [source] });
  }

  preloadScript() {
    const errors = `window.addEventListener('error', (event) => (window.webdriverErrors ??= []).push(String(event.message)));
window.addEventListener('unhandledrejection', (event) => (window.webdriverErrors ??= []).push(String(event.reason)));`;
    return [errors, ...this.#preloads].join('\n');
  }

  viewport() {
    return this.#viewport;
  }

  async setViewport({ width, height, deviceScaleFactor = 1 }) {
    if (this.#window && deviceScaleFactor !== this.#session.ratio) throw new Error('a page keeps the ratio it was opened at');
    this.#viewport = { width, height, deviceScaleFactor };
    if (this.#window) await this.#resize();
  }

  async evaluateOnNewDocument(work, ...args) {
    this.#preloads.push(`(${work})(...${JSON.stringify(args)});`);
  }

  async goto(url) {
    const address = new URL(url);
    this.context.target = address.origin;
    address.searchParams.set(kPageParameter, this.id);
    await this.#call('POST', '/url', { url: `${this.context.origin}${address.pathname}${address.search}` });
  }

  async reload() {
    await this.#call('POST', '/refresh', {});
  }

  // The arguments go into the script as its text, since JSON would make `undefined` null.
  async evaluate(work, ...args) {
    const literals = args.map((arg) => (arg === undefined ? 'undefined' : JSON.stringify(arg)));
    const script = `const done = arguments[arguments.length - 1];
Promise.resolve().then(() => (${work})(${literals.join(', ')})).then(
  (value) => done({ value }), (error) => done({ error: String(error && error.stack || error) }));`;
    const { value, error } = await this.#call('POST', '/execute/async', { script, args: [] });
    if (error) throw new Error(`evaluation failed: ${error}`);
    return value;
  }

  $eval(selector, work, ...args) {
    return this.evaluate(`(selector, ...args) => {
      const element = document.querySelector(selector);
      if (!element) throw new Error('no element matches ' + selector);
      return (${work})(element, ...args);
    }`, selector, ...args);
  }

  $$eval(selector, work, ...args) {
    return this.evaluate(`(selector, ...args) => (${work})([...document.querySelectorAll(selector)], ...args)`, selector, ...args);
  }

  // An element as far as the tests use one: whether there is one, its box, and what a
  // function makes of it.
  async $(selector, { visible = false } = {}) {
    const box = () => this.evaluate((s) => {
      const element = document.querySelector(s);
      if (!element) return null;
      const { x, y, width, height } = element.getBoundingClientRect();
      return { x, y, width, height, shown: width > 0 && height > 0 && getComputedStyle(element).visibility === 'visible' };
    }, selector);
    const found = await box();
    if (!found || (visible && !found.shown)) return null;
    return { boundingBox: box, evaluate: (work, ...args) => this.$eval(selector, work, ...args) };
  }

  async waitForSelector(selector, { timeout = 30000, visible = false } = {}) {
    for (const end = Date.now() + timeout; Date.now() < end; await sleep(25)) {
      const found = await this.$(selector, { visible });
      if (found) return found;
    }
    throw new Error(`waiting for ${selector} timed out`);
  }

  async click(selector) {
    const element = Object.values(await this.#call('POST', '/element', { using: 'css selector', value: selector }))[0];
    await this.#call('POST', `/element/${element}/click`, {});
  }

  // WebKitWebDriver types no shifted or non-ASCII characters: the text goes into the field as
  // one input event, as an input method would put it, kept to the field's length.
  async type(selector, text) {
    await this.$eval(selector, (field, added) => {
      field.focus();
      const limit = field.maxLength >= 0 ? field.maxLength : Infinity;
      field.value = [...field.value + added].slice(0, limit).join('');
      field.dispatchEvent(new InputEvent('input', { bubbles: true, inputType: 'insertText', data: added }));
    }, text);
  }

  // The viewport as last presented, after two frames so that it shows what was last drawn.
  async screenshot({ clip, path } = {}) {
    await this.evaluate(() => new Promise((resolve) => requestAnimationFrame(() => requestAnimationFrame(resolve))));
    let png = Buffer.from(await this.#call('GET', '/screenshot'), 'base64');
    if (clip) {
      const ratio = this.#session.ratio;
      png = cropPng(decodePng(png), { x: Math.round(clip.x * ratio), y: Math.round(clip.y * ratio),
        width: Math.round(clip.width * ratio), height: Math.round(clip.height * ratio) });
    }
    if (path) writeFileSync(path, png);
    return png;
  }

  title() {
    return this.#call('GET', '/title');
  }

  async bringToFront() {
    await this.#run(() => {});
  }

  browserContext() {
    return this.context;
  }

  async errors() {
    return (await this.evaluate(() => window.webdriverErrors ?? [])).map((message) => new Error(message));
  }

  // The driver's keys and buttons belong to its session, not to a window: what this page left
  // held is let go, as a closed tab lets go of the mouse.
  async close() {
    this.context.pages.delete(this.id);
    if (this.#window) {
      await this.#call('DELETE', '/actions');
      await this.#session.closeWindow(this.#window);
    }
    this.#window = null;
  }
}

class WebKitContext {
  pages = new Map();
  target = null;

  static async create(browser) {
    const context = new WebKitContext(browser);
    context.stop = await startOrigin(context);
    browser.contexts.add(context);
    return context;
  }

  // Requests to addresses that `blocked` matches fail, as where a host or a filter refuses them.
  block(blocked) {
    this.blocked = blocked;
  }

  constructor(browser) {
    this.browser = browser;
  }

  async newPage() {
    const page = new WebKitPage(this);
    this.pages.set(page.id, page);
    return page;
  }

  async close() {
    this.browser.contexts.delete(this);
    for (const page of [...this.pages.values()]) await page.close();
    this.stop();
  }
}

class WebKitBrowser {
  #display;
  #sessions = new Map();
  #default = null;
  contexts = new Set();

  constructor(display) {
    this.#display = display;
  }

  // The MiniBrowser for a device pixel ratio, started on first use.
  session(ratio) {
    if (!this.#sessions.has(ratio)) this.#sessions.set(ratio, Session.start(this.#display.display, ratio));
    return this.#sessions.get(ratio);
  }

  createBrowserContext() {
    return WebKitContext.create(this);
  }

  async newPage() {
    this.#default ??= await WebKitContext.create(this);
    return this.#default.newPage();
  }

  async version() {
    return `MiniBrowser/${(await this.session(1)).capabilities.browserVersion}`;
  }

  // Closes every context still open (a failed test leaves its own), then the browsers.
  async close() {
    for (const context of [...this.contexts]) await context.close().catch(() => {});
    for (const session of this.#sessions.values()) await (await session.catch(() => null))?.close();
    this.#display.close();
  }
}

export async function launchWebKit() {
  return new WebKitBrowser(await startDisplay());
}
