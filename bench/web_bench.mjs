// The browser build's size and speed: node bench/web_bench.mjs (after scripts/test-web.sh has
// built the site). Prints every file the page loads with its size, the time from navigation to
// the board painted against a page that draws one picture on a canvas (medians of alternating
// runs in one Chromium), and a whole turn through the WebAssembly module beside the native
// engine_bench of the release preset (built here).
import { execFileSync } from 'node:child_process';
import { existsSync } from 'node:fs';
import { loadavg } from 'node:os';
import { join } from 'node:path';
import { launch, repository, serve, site } from '../tests/web/browser.mjs';

const kRuns = 25;
const kTurns = 20000;
const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];

const server = await serve(site, { '/floor.html': join(repository, 'bench/web_floor.html') });
const browser = await launch();

// Everything a visit to the page fetches, uncompressed, as the server sent it.
const page = await browser.newPage();
const loaded = new Map();
page.on('response', async (response) => {
  loaded.set(new URL(response.url()).pathname, (await response.buffer()).length);
});
await page.goto(server.url);
await page.waitForSelector('html[data-ready]');
await new Promise((resolve) => setTimeout(resolve, 200));
let total = 0;
console.log('page weight (uncompressed):');
for (const [path, bytes] of [...loaded].sort()) {
  console.log(`  ${path.padEnd(16)} ${String(bytes).padStart(7)} B`);
  total += bytes;
}
console.log(`  ${'total'.padEnd(16)} ${String(total).padStart(7)} B (${(total / 1024).toFixed(1)} kB; aim 150 kB)`);

// Navigation start to the second animation frame after the page says it has drawn: the frame
// with the drawing has then been presented.
async function paintedAfter(url) {
  const tab = await browser.newPage();
  await tab.setCacheEnabled(false);
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
const game = [];
const floor = [];
for (let run = 0; run < kRuns; ++run) {
  game.push(await paintedAfter(server.url));
  floor.push(await paintedAfter(`${server.url}floor.html`));
}
// Load from other work only ever adds time: the fastest runs show the page's own cost best.
for (const [what, pick] of [['medians', median], ['fastest', (values) => Math.min(...values)]]) {
  const [gameMs, floorMs] = [pick(game), pick(floor)];
  console.log(`navigation to board painted (${what} of ${kRuns}): ${gameMs.toFixed(1)} ms; one picture:` +
    ` ${floorMs.toFixed(1)} ms; ratio ${(gameMs / floorMs).toFixed(2)} (aim 1.5)`);
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
