// The site's files: the page offline after one visit (its service worker's
// cache, a new site replacing it), the manifest and icon that let it be
// installed, and object files by the picker and by a drop, the largest the
// machine takes and one byte more.
import assert from 'node:assert/strict';
import { cpSync, mkdtempSync, readdirSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join, relative, sep } from 'node:path';
import { after, before, describe, test } from 'node:test';
import { chromium } from 'playwright-core';
import { workerFor } from '../tools/precache.mjs';
import * as s from './support.mjs';

let site;
before(async () => {
  site = await s.start();
});
after(async () => {
  assert.deepEqual(site.errors, []);
  assert.deepEqual(site.consoleErrors, []);
  const foreign = site.requests.filter((url) => !url.startsWith(site.address) && !url.startsWith('data:'));
  assert.deepEqual(foreign, []);
  await site.stop();
});

const suma = s.scenario('suma');
const sumaBytes = readFileSync(`${s.kExamples}/${suma.file}`);
const kBadExtension = 'ERROR: Los archivos objeto deben tener extensión \r.HEX o .EHC';

// Every file of a site folder but its worker, by its URL relative to the site.
function siteFiles(folder) {
  return readdirSync(folder, { recursive: true, withFileTypes: true })
    .filter((entry) => entry.isFile())
    .map((entry) => relative(folder, join(entry.parentPath ?? entry.path, entry.name)).split(sep).join('/'))
    .filter((path) => path !== 'sw.js')
    .sort();
}

// Resolves once the page is controlled by the site's service worker, its
// files all kept (the worker is activated only then).
async function controlled(page) {
  await page.waitForFunction(() => navigator.serviceWorker.controller !== null, null, { timeout: 10000 });
}

// The worker's caches: their names and each one's URLs, relative to the site.
async function cached(page, address) {
  return page.evaluate(async (address) => {
    const result = {};
    for (const name of await caches.keys()) {
      const keys = await (await caches.open(name)).keys();
      result[name] = keys.map((request) => request.url.slice(address.length)).sort();
    }
    return result;
  }, address);
}

describe('offline', () => {
  test('after one visit the page reloads with no network and runs suma.ehc', async () => {
    const context = await site.newContext();
    const page = await site.page({ context });
    await controlled(page);
    // The cache holds the site's every file, and the address of its folder.
    const caches = await cached(page, site.address);
    assert.equal(Object.keys(caches).length, 1);
    assert.deepEqual(Object.values(caches)[0], ['', ...siteFiles(s.kSite)].sort());

    await context.setOffline(true);
    const fromNetwork = [];
    const failed = [];
    page.on('response', (response) => response.fromServiceWorker() || fromNetwork.push(response.url()));
    page.on('requestfailed', (request) => failed.push(request.url()));
    await page.reload();
    await page.waitForSelector('body[data-listo="true"]');
    assert.deepEqual(fromNetwork, []);
    assert.deepEqual(failed, []);

    await s.switchOn(page);
    await s.loadThroughPicker(page, suma.file, sumaBytes);
    await page.waitForSelector('#Listado li');
    assert.deepEqual(await s.listing(page), suma.listing);
    await s.key(page, '0000');
    await s.click(page, 'BEjecutar');
    const first = suma.steps[0];
    assert.equal(first.action, 'Ejecutar');
    for (const [id, expected] of Object.entries(first.cells)) assert.equal(await s.value(page, id), expected, id);
    assert.equal(await s.marked(page), first.marked);
    assert.ok(await s.noBox(page));
    await context.close();
  });

  test('a new site replaces the cache of the old one', async () => {
    const folder = mkdtempSync(join(tmpdir(), 'orben-site-'));
    cpSync(s.kSite, folder, { recursive: true });
    const copy = await s.start(folder);
    try {
      const page = await copy.page();
      await controlled(page);
      const [oldName] = Object.keys(await cached(page, copy.address));
      // A new site: one file changed, its worker written again over it.
      writeFileSync(join(folder, 'manifest.webmanifest'), `${readFileSync(join(folder, 'manifest.webmanifest'), 'utf8')}\n`);
      writeFileSync(join(folder, 'sw.js'), workerFor(folder));
      await page.reload();
      await page.waitForSelector('body[data-listo="true"]');
      let caches = {};
      for (let i = 0; i < 100; ++i) {
        caches = await cached(page, copy.address);
        if (!(oldName in caches) && Object.keys(caches).length === 1) break;
        await page.waitForTimeout(100);
      }
      const names = Object.keys(caches);
      assert.equal(names.length, 1, names.join(', '));
      assert.notEqual(names[0], oldName);
      assert.deepEqual(caches[names[0]], ['', ...siteFiles(folder)].sort());
      // The new name differs from the old in its version only.
      assert.equal(names[0].slice(0, -16), oldName.slice(0, -16));
      await page.context().close();
    } finally {
      await copy.stop();
      rmSync(folder, { recursive: true, force: true });
    }
  });
});

describe('installing', () => {
  test('the manifest names ORBEN, opens the page standalone, and its icon is served', async () => {
    const page = await site.page();
    const href = await page.evaluate(() => document.querySelector('link[rel="manifest"]').href);
    assert.ok(href.startsWith(site.address), href);
    const response = await page.request.get(href);
    assert.equal(response.status(), 200);
    const manifest = JSON.parse(await response.text());
    assert.equal(manifest.name, 'ORBEN, el IDE para TUKA-2');
    assert.equal(manifest.name, await page.title());
    assert.equal(manifest.short_name, 'ORBEN');
    assert.equal(manifest.display, 'standalone');
    assert.equal(new URL(manifest.start_url, href).href, site.address);
    assert.ok(manifest.icons.length > 0);
    // The manifest's icons and the page's own are served, as what they say they are.
    const favicon = await page.evaluate(() => document.querySelector('link[rel="icon"]').href);
    for (const icon of [...manifest.icons.map((i) => ({ url: new URL(i.src, href).href, type: i.type })), { url: favicon, type: 'image/svg+xml' }]) {
      assert.ok(icon.url.startsWith(site.address), icon.url);
      const served = await page.request.get(icon.url);
      assert.equal(served.status(), 200, icon.url);
      assert.equal(served.headers()['content-type'], icon.type, icon.url);
      assert.match(await served.text(), /^<svg [^>]*viewBox="0 0 512 512"/);
    }
    await page.context().close();
  });

  test('Chromium finds nothing missing to install the page', async () => {
    // A profile of its own: nothing is installed from a private window.
    const profile = mkdtempSync(join(tmpdir(), 'orben-profile-'));
    const context = await chromium.launchPersistentContext(profile, { executablePath: s.kChromium, args: ['--no-sandbox'], headless: true });
    try {
      const page = await context.newPage();
      page.on('request', (request) => site.requests.push(request.url()));
      await page.goto(site.address);
      await page.waitForSelector('body[data-listo="true"]');
      await controlled(page);
      const cdp = await context.newCDPSession(page);
      const { installabilityErrors } = await cdp.send('Page.getInstallabilityErrors');
      assert.deepEqual(installabilityErrors, []);
      const { url, data } = await cdp.send('Page.getAppManifest');
      assert.equal(url, new URL('manifest.webmanifest', site.address).href);
      assert.equal(JSON.parse(data).short_name, 'ORBEN');
    } finally {
      await context.close();
      rmSync(profile, { recursive: true, force: true });
    }
  });
});

describe('object files by the picker and by a drop', () => {
  // What one route leaves: the boxes, the listing and the memory in sight.
  // A load that shows no box is awaited by the first line of its listing.
  async function outcome(page, load, { name, contents, boxes, listing }) {
    await load(page, name, contents);
    const shown = [];
    for (let i = 0; i < boxes; ++i) shown.push(await s.takeBox(page));
    if (boxes === 0) await page.waitForFunction((first) => document.querySelector('#Listado li')?.textContent === first, listing[0]);
    assert.ok(await s.noBox(page));
    return { boxes: shown, listing: await s.listing(page), memory: await s.memoryRows(page) };
  }

  const routes = { picker: s.loadThroughPicker, drop: s.dropFile };
  const cases = [
    { name: 'suma.ehc', contents: sumaBytes, boxes: 0, listing: suma.listing },
    { name: 'SUMA.EHC', contents: sumaBytes, boxes: 0, listing: suma.listing },
    { name: 'x.txt', contents: sumaBytes, boxes: 1, listing: [] },
    { name: 'ehc', contents: sumaBytes, boxes: 1, listing: [] },
  ];

  test('a file dropped on the page loads as through the picker, refusals included', async () => {
    // suma.ehc's words by address, read from the file itself.
    const words = sumaBytes
      .toString('latin1')
      .split(/\r?\n/)
      .filter((line) => line.trim())
      .map((line) => line.split(/\s+/).slice(0, 2).join(''));
    const kBefore = ['F000', '2D01', 'C000', '6112', '2201'];
    for (const c of cases) {
      const seen = {};
      for (const [route, load] of Object.entries(routes)) {
        const page = await site.page();
        await s.switchOn(page);
        // A program of its own at 0000..0004 first: a refused file leaves
        // its words, and its listing is emptied as the load begins.
        await s.loadThroughPicker(page, 'antes.ehc', kBefore.map((word, i) => `000${i} ${word}\r\n`).join(''));
        await page.waitForSelector('#Listado li');
        assert.equal((await s.listing(page)).length, kBefore.length);
        const before = (await s.memoryRows(page)).slice(0, kBefore.length);
        kBefore.forEach((word, i) => assert.ok(before[i].startsWith(`H000${i}${word}`), before[i]));
        const result = await outcome(page, load, c);
        result.memory = result.memory.slice(0, kBefore.length);
        const where = `${route} ${c.name}`;
        assert.deepEqual(result.listing, c.listing, where);
        if (c.boxes > 0) {
          assert.equal(result.boxes[0].text, kBadExtension, where);
          assert.deepEqual(result.memory, before, where);
        } else {
          words.forEach((word, i) => assert.ok(result.memory[i].startsWith(`H${word}`), `${where}: ${result.memory[i]}`));
        }
        seen[route] = result;
        await page.context().close();
      }
      assert.deepEqual(seen.drop, seen.picker, c.name);
    }
  });

  test('64 MiB is taken; one byte more is refused unread, memory left as it was', async () => {
    const kLargest = 64 * 1024 * 1024;
    const folder = mkdtempSync(join(tmpdir(), 'orben-large-'));
    // Two records, the second's comment filling the file to `size` bytes.
    const file = (name, first, second, size) => {
      const head = `${first}\r\n${second} ;`;
      const path = join(folder, name);
      const bytes = Buffer.alloc(size, 'x');
      bytes.write(head, 0, 'latin1');
      bytes.write('\r\n', size - 2, 'latin1');
      writeFileSync(path, bytes);
      return path;
    };
    try {
      const page = await site.page();
      await s.switchOn(page);
      await s.loadThroughPicker(page, suma.file, sumaBytes);
      await page.waitForSelector('#Listado li');
      const before = await s.memoryRows(page);

      await s.loadThroughPicker(page, file('grande.ehc', '0000 F000', '0001 2203', kLargest + 1));
      const box = await s.takeBox(page);
      assert.equal(box.text, 'Error de entrada/salida: grande.ehc\rocupa más de 64 MiB: ningún programa objeto de TUKA-2 necesita tanto');
      assert.ok(await s.noBox(page));
      assert.deepEqual(await s.memoryRows(page), before);
      assert.deepEqual(await s.listing(page), []);

      await s.loadThroughPicker(page, file('justo.ehc', '0000 F000', '0001 2203', kLargest));
      await page.waitForSelector('#Listado li');
      assert.ok(await s.noBox(page));
      assert.deepEqual(await s.listing(page), ['[0000]: HALT', "[0001]: LLI R2, H'03"]);
      const rows = await s.memoryRows(page);
      assert.match(rows[0], /^H0000F000/);
      assert.match(rows[1], /^H00012203/);
      assert.deepEqual(rows.slice(2), before.slice(2));
      await page.context().close();
    } finally {
      rmSync(folder, { recursive: true, force: true });
    }
  });
});
