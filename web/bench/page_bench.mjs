// The browser edition's figures, printed as a table: the page's load time
// on 127.0.0.1 (first visit, and again from the service worker's cache),
// the site's files raw and gzipped, the machine's rate in the page when
// nothing paces it (the step timer's ticks, many to a call) against the
// native build's same ticks, and the timed run's rate at Rápida.
//   node web/bench/page_bench.mjs [NATIVE_BUILD]   (make bench-web)
// NATIVE_BUILD is a native build folder (default build): its
// bench/fast_run_bench and src/tuka2 are run when they are there. Nothing
// here passes or fails on a time.
import { spawnSync } from 'node:child_process';
import { createHash } from 'node:crypto';
import { copyFileSync, existsSync, mkdtempSync, readdirSync, readFileSync, rmSync, statSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';
import { gzipSync } from 'node:zlib';
import { chromium } from 'playwright-core';
import * as s from '../tests/support.mjs';
import { serve } from '../tools/serve.mjs';

const here = (path) => fileURLToPath(new URL(path, import.meta.url));
const kModule = here('../../build-wasm/src/web');
const kNative = resolve(process.argv[2] ?? here('../../build'));
const kVisits = 5;

// The native benchmarks' loop (bench/bare_tuka2.h): R2 counts up, R3 down,
// a BR back to 0000; it never stops.
const kLoop = '0000 2101\n0001 2200\n0002 2D03\n0003 6221\n0004 5201\n0005 7331\n0006 C000\n';
// The pace test's loop: R1 counts the rounds of three instructions.
const kCount = '0000 2201\r\n0001 6112\r\n0002 2D01\r\n0003 C000\r\n';

const median = (values) => {
  const sorted = [...values].sort((a, b) => a - b);
  const n = sorted.length;
  return n % 2 ? sorted[(n - 1) / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2;
};
const kib = (bytes) => `${(bytes / 1024).toFixed(1)} KiB`;
const rate = (perSecond) => (perSecond >= 1e6 ? `${(perSecond / 1e6).toFixed(2)} M/s` : `${perSecond.toFixed(1)} /s`);
const rows = [];
const row = (what, figure, note = '') => rows.push([what, figure, note]);

// ---- load time --------------------------------------------------------------

// The time from the navigation's start to body[data-listo="true"], as the
// page's own clock tells it.
async function noteReady(context) {
  await context.addInitScript(() => {
    new MutationObserver((changes, observer) => {
      if (document.body?.dataset.listo === 'true') {
        window.__listo = performance.now();
        observer.disconnect();
      }
    }).observe(document, { subtree: true, attributes: true, attributeFilter: ['data-listo'] });
  });
}

async function loadTimes(site) {
  const first = [];
  const again = [];
  for (let i = 0; i < kVisits; ++i) {
    const context = await site.newContext();
    await noteReady(context);
    const page = await site.page({ context });
    first.push(await page.evaluate(() => window.__listo));
    await page.waitForFunction(() => navigator.serviceWorker.controller !== null, null, { timeout: 10000 });
    await page.reload();
    await page.waitForSelector('body[data-listo="true"]');
    again.push(await page.evaluate(() => window.__listo));
    await context.close();
  }
  row('load, first visit (median of 5)', `${median(first).toFixed(0)} ms`, `from ${Math.min(...first).toFixed(0)} to ${Math.max(...first).toFixed(0)} ms`);
  row('load, from the worker\'s cache', `${median(again).toFixed(0)} ms`, `from ${Math.min(...again).toFixed(0)} to ${Math.max(...again).toFixed(0)} ms`);
}

// ---- sizes --------------------------------------------------------------------

function sizes() {
  const assets = join(s.kSite, 'assets');
  const kinds = { wasm: /\.wasm$/, JS: /\.js$/, CSS: /\.css$/ };
  for (const [kind, pattern] of Object.entries(kinds)) {
    const files = readdirSync(assets).filter((name) => pattern.test(name));
    const bytes = files.map((name) => readFileSync(join(assets, name)));
    const raw = bytes.reduce((sum, b) => sum + b.length, 0);
    const gzip = bytes.reduce((sum, b) => sum + gzipSync(b, { level: 9 }).length, 0);
    row(`${kind} (${files.join(', ')})`, `${kib(raw)}`, `gzip -9: ${kib(gzip)}`);
  }
  let raw = 0;
  let gzip = 0;
  for (const entry of readdirSync(s.kSite, { recursive: true })) {
    const path = join(s.kSite, entry);
    if (!statSync(path).isFile()) continue;
    const bytes = readFileSync(path);
    raw += bytes.length;
    gzip += gzipSync(bytes, { level: 9 }).length;
  }
  row('the whole site', kib(raw), `gzip -9: ${kib(gzip)}`);
}

// ---- the machine's rate in the page, unpaced ----------------------------------

const sha = (path) => createHash('sha256').update(readFileSync(path)).digest('hex');

// The module on a page of its own (the same wasm as the site's), switched
// on, the loop loaded, out of step mode and Ejecutar from 0000; then
// machine.tick(n) calls, timed by performance.now(), median of five runs
// of about a second each.
let pageFast = null;
async function pageRate(browser) {
  const folder = mkdtempSync(join(tmpdir(), 'orben-bench-'));
  try {
    for (const file of ['orben_web.js', 'orben_web.wasm']) copyFileSync(join(kModule, file), join(folder, file));
    writeFileSync(join(folder, 'index.html'), '<!doctype html><meta charset="utf-8"><title>bench</title>');
    const siteWasm = readdirSync(join(s.kSite, 'assets')).find((name) => name.endsWith('.wasm'));
    const same = sha(join(folder, 'orben_web.wasm')) === sha(join(s.kSite, 'assets', siteWasm));
    const { server, address } = await serve(folder);
    const context = await browser.newContext();
    const page = await context.newPage();
    await page.goto(address);
    const result = await page.evaluate(async (loop) => {
      const { default: createOrben } = await import('./orben_web.js');
      const orben = await createOrben();
      const machine = new orben.Machine(1);
      machine.togglePower();
      machine.loadChosen('bucle.ehc', new TextEncoder().encode(loop));
      machine.toggleStepMode();
      for (const d of '0000') machine.pressKey(d);
      machine.execute();
      const messages = machine.takeMessages().map((m) => m.text);
      if (!machine.state().running) return { error: `not running: ${messages.join(' / ')}` };
      const kCall = 1000000;
      machine.tick(kCall);
      const rates = [];
      for (let run = 0; run < 5; ++run) {
        let done = 0;
        const t0 = performance.now();
        let t1 = t0;
        while (t1 - t0 < 1000) {
          const executed = machine.tick(kCall);
          done += executed;
          t1 = performance.now();
          if (executed < kCall) return { error: `stopped after ${done}: ${machine.takeMessages().map((m) => m.text).join(' / ')}` };
        }
        rates.push((done * 1000) / (t1 - t0));
      }
      // The fast path, as tuka2 run takes it: 10^8 instructions of the loop
      // on a machine of its own each time.
      const fast = [];
      for (let run = 0; run < 3; ++run) {
        const m = new orben.Machine(1);
        m.togglePower();
        m.loadChosen('bucle.ehc', new TextEncoder().encode(loop));
        m.toggleStepMode();
        for (const d of '0000') m.pressKey(d);
        const t0 = performance.now();
        const steps = m.runFast(1e8);
        fast.push({ steps, ms: performance.now() - t0, messages: m.takeMessages().map((b) => b.text) });
        m.delete();
      }
      return { rates, fast };
    }, kLoop);
    await context.close();
    await new Promise((done) => server.close(done));
    if (result.error) {
      row('page: machine.tick(1e6) calls', '—', result.error);
      return null;
    }
    const r = median(result.rates);
    row('page: machine.tick(1e6) calls', rate(r), `instructions a second, median of 5 × 1 s${same ? '' : ' (module differs from the site\'s!)'}`);
    pageFast = median(result.fast.map((f) => (f.steps * 1000) / f.ms));
    const whole = result.fast.every((f) => f.steps === 1e8);
    row('page: runFast(1e8), tuka2 run\'s path', rate(pageFast), `instructions a second, median of 3${whole ? '' : ' (a run stopped early!)'}`);
    return r;
  } finally {
    rmSync(folder, { recursive: true, force: true });
  }
}

// The same ticks natively: fast_run_bench's BM_StepByStepTicks (the
// windows' timer path, one tick per instruction, on the same loop); and
// `tuka2 run`'s fast path, against the page's runFast.
function nativeRates(page) {
  const bench = join(kNative, 'bench', 'fast_run_bench');
  if (existsSync(bench)) {
    const out = spawnSync(bench, ['--benchmark_filter=BM_StepByStepTicks$', '--benchmark_format=json', '--benchmark_repetitions=5'], {
      encoding: 'utf8',
    });
    const runs = JSON.parse(out.stdout).benchmarks.filter((b) => b.run_type === 'iteration');
    const r = median(runs.map((b) => b.items_per_second));
    row('native: BM_StepByStepTicks', rate(r), `median of 5; the page at ${((100 * page) / r).toFixed(0)} % of it`);
  } else {
    row('native: BM_StepByStepTicks', '—', `no ${bench}`);
  }
  const tuka2 = join(kNative, 'src', 'tuka2');
  if (existsSync(tuka2)) {
    const folder = mkdtempSync(join(tmpdir(), 'orben-bench-'));
    const file = join(folder, 'bucle.ehc');
    writeFileSync(file, kLoop);
    const seconds = (steps) => {
      const t0 = process.hrtime.bigint();
      spawnSync(tuka2, ['run', file, '--fill', '0000', '--max-steps', String(steps)]);
      return Number(process.hrtime.bigint() - t0) / 1e9;
    };
    const kSteps = 100000000;
    // Less its start-up: the same command stopped after one instruction.
    const times = [1, 2, 3].map(() => seconds(kSteps) - seconds(1));
    rmSync(folder, { recursive: true, force: true });
    const r = kSteps / median(times);
    const against = pageFast ? `; the page's fast path at ${((100 * pageFast) / r).toFixed(0)} % of it` : '';
    row('native: tuka2 run (its fast path)', rate(r), `${kSteps / 1e6} M steps, wall time less start-up, median of 3${against}`);
  } else {
    row('native: tuka2 run (its fast path)', '—', `no ${tuka2}`);
  }
}

// ---- the timed run at Rápida, as the panel's pace test measures it ------------

async function timedRate(site) {
  const page = await site.page();
  await s.switchOn(page);
  await s.loadThroughPicker(page, 'cuenta.ehc', kCount);
  await page.waitForSelector('#Listado li');
  await s.menu(page, 'ToolButton1', 'VelocidaddeejecucinenmodoPP1');
  await page.locator('#TForm4').waitFor();
  await page.check('#RadioGroup1_0');
  await s.click(page, 'LiveButton1');
  await s.click(page, 'BPasoPaso');
  await s.key(page, '0000');
  await s.click(page, 'BEjecutar');
  const sample = () => page.evaluate(() => [performance.now(), parseInt(document.getElementById('R1').dataset.value, 16)]);
  const first = await sample();
  await page.waitForFunction((r1) => parseInt(document.getElementById('R1').dataset.value, 16) !== r1, first[1]);
  const [t0, r0] = await sample();
  await page.waitForFunction((t) => performance.now() - t >= 5000, t0, { polling: 100 });
  const [t1, r1] = await sample();
  const loops = (r1 - r0 + 0x10000) % 0x10000;
  row('timed run at Rápida, 5 s', rate((3 * loops * 1000) / (t1 - t0)), 'instructions a second (the pace is 1,000)');
  await page.context().close();
}

// ---- the table ------------------------------------------------------------------

const site = await s.start();
try {
  await loadTimes(site);
  sizes();
  const browser = await chromium.launch({ executablePath: s.kChromium, args: ['--no-sandbox'], headless: true });
  try {
    const page = await pageRate(browser);
    nativeRates(page ?? NaN);
  } finally {
    await browser.close();
  }
  await timedRate(site);
} finally {
  await site.stop();
}
const widths = [0, 1].map((c) => Math.max(...rows.map((r) => r[c].length)));
console.log(`ORBEN en el navegador (${s.kChromium}, headless)`);
for (const [what, figure, note] of rows) console.log(`${what.padEnd(widths[0])}  ${figure.padStart(widths[1])}  ${note}`);
