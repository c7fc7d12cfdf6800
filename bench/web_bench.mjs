// The browser build's size and speed: node bench/web_bench.mjs (after scripts/test-web.sh has
// built the site). Prints every file of the release with its size and what a first visit
// fetches, the time from navigation to the board painted on a first and on a second visit
// against a page that draws one picture on a canvas (medians of alternating runs in one
// Chromium), and a whole turn through the WebAssembly module beside the native engine_bench
// of the release preset (built here).
import { execFileSync } from 'node:child_process';
import { existsSync, readdirSync, statSync } from 'node:fs';
import { loadavg } from 'node:os';
import { join } from 'node:path';
import { launch, repository, serve, site } from '../tests/web/browser.mjs';

const kRuns = 25;
const kTurns = 20000;
const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];

const server = await serve(site, { '/floor.html': join(repository, 'bench/web_floor.html') });
const browser = await launch('chromium');

// Every file of the release by its size, and what the host sends on a first visit: the
// page's own requests, then the service worker's copy of the whole release.
const files = (folder) => readdirSync(folder, { withFileTypes: true }).flatMap((entry) => (entry.isDirectory()
  ? files(join(folder, entry.name)).map((name) => `${entry.name}/${name}`) : [entry.name])).sort();
const context = await browser.createBrowserContext();
const page = await context.newPage();
const pageLoads = new Set();
page.on('response', (response) => pageLoads.add(new URL(response.url()).pathname.slice(1)));
await page.goto(server.url);
await page.waitForSelector('html[data-ready]');
await page.evaluate(() => navigator.serviceWorker.ready);
let total = 0;
console.log('release files (uncompressed; * the page loads it itself):');
for (const name of files(site)) {
  const bytes = statSync(join(site, name)).size;
  console.log(`  ${pageLoads.has(name) || (name === 'index.html' && pageLoads.has('')) ? '*' : ' '} ${name.padEnd(24)} ${String(bytes).padStart(7)} B`);
  total += bytes;
}
console.log(`    ${'total'.padEnd(24)} ${String(total).padStart(7)} B (${(total / 1024).toFixed(1)} kB; aim 150 kB)`);
const sent = server.served.reduce((sum, [, bytes]) => sum + bytes, 0);
console.log(`first visit: the host sent ${server.served.length} files, ${sent} B (${(sent / 1024).toFixed(1)} kB), ` +
  'the page\'s own and the service worker\'s copy of the release');

// Navigation start to the second animation frame after the page says it has drawn: the frame
// with the drawing has then been presented. A first visit has nothing kept; a second one is
// served by what the first kept (the game's service worker; the one-picture page has none).
async function paintedAfter(url, within, cached) {
  const tab = await within.newPage();
  await tab.setCacheEnabled(cached);
  await tab.evaluateOnNewDocument(() => {
    new MutationObserver((_, observer) => {
      if (!document.documentElement.dataset.ready) return;
      observer.disconnect();
      requestAnimationFrame(() => requestAnimationFrame(() => { window.paintedMs = performance.now(); }));
    }).observe(document, { attributes: true, subtree: true });
  });
  await tab.goto(url);
  await tab.waitForFunction(() => window.paintedMs !== undefined);
  const ms = await tab.evaluate(() => window.paintedMs);
  await tab.close();
  return ms;
}
const runs = { game: [], floor: [], gameAgain: [], floorAgain: [] };
for (let run = 0; run < kRuns; ++run) {
  const fresh = await browser.createBrowserContext();
  runs.game.push(await paintedAfter(server.url, fresh, false));
  runs.floor.push(await paintedAfter(`${server.url}floor.html`, fresh, false));
  runs.gameAgain.push(await paintedAfter(server.url, context, true));
  runs.floorAgain.push(await paintedAfter(`${server.url}floor.html`, context, true));
  await fresh.close();
}
// Load from other work only ever adds time: the fastest runs show the page's own cost best.
for (const [what, pick] of [['medians', median], ['fastest', (values) => Math.min(...values)]]) {
  for (const [visit, game, floor] of [['first visit', runs.game, runs.floor], ['second visit', runs.gameAgain, runs.floorAgain]]) {
    const [gameMs, floorMs] = [pick(game), pick(floor)];
    console.log(`navigation to board painted, ${visit} (${what} of ${kRuns}): ${gameMs.toFixed(1)} ms;` +
      ` one picture: ${floorMs.toFixed(1)} ms; ratio ${(gameMs / floorMs).toFixed(2)} (aim 1.5)`);
  }
}
console.log(`load average ${loadavg()[0].toFixed(1)}`);

// A turn on a dealt board at cell (12, 4), as engine_bench's DealAndTurn less its Deal: the
// deal from the clock, set to a new second each time, is timed alone and taken off. The
// fastest rounds on both sides.
const turnNs = await page.evaluate((turns) => {
  const realNow = Date.now;
  let second = 0;
  Date.now = () => second * 1000;
  const time = (withTurn) => {
    second = 0;
    const start = performance.now();
    for (let i = 0; i < turns; ++i) {
      ++second;
      engine.pelorin_new_game();
      if (withTurn) engine.pelorin_release(12 * 16, 4 * 16);
    }
    return performance.now() - start;
  };
  // The fastest of several rounds of each, alternating.
  let [both, dealsOnly] = [Infinity, Infinity];
  for (let round = 0; round < 9; ++round) {
    both = Math.min(both, time(true));
    dealsOnly = Math.min(dealsOnly, time(false));
  }
  const ns = ((both - dealsOnly) * 1e6) / turns;
  Date.now = realNow;
  return ns;
}, kTurns);

const native = join(repository, 'build/release/bench/engine_bench');
if (!existsSync(join(repository, 'build/release'))) {
  execFileSync('cmake', ['--preset', 'release'], { cwd: repository, stdio: 'ignore' });
}
execFileSync('cmake', ['--build', '--preset', 'release', '--target', 'engine_bench'], { cwd: repository, stdio: 'ignore' });
const report = JSON.parse(execFileSync(native, ['--benchmark_filter=BM_Deal', '--benchmark_format=json',
  '--benchmark_repetitions=9'], { encoding: 'utf8', stdio: ['ignore', 'pipe', 'ignore'] }));
const nativeTime = (name) => Math.min(...report.benchmarks
  .filter((entry) => entry.run_name === name && entry.run_type === 'iteration').map((entry) => entry.cpu_time));
const nativeNs = nativeTime('BM_DealAndTurn') - nativeTime('BM_Deal');
console.log(`a turn on a dealt board: ${turnNs.toFixed(0)} ns through WebAssembly, ${nativeNs.toFixed(0)} ns native` +
  ` (ratio ${(turnNs / nativeNs).toFixed(2)})`);

await browser.close();
server.close();
