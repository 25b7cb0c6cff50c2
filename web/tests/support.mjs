// What the browser tests share: the site served on 127.0.0.1, Debian's
// Chromium driven headless by playwright-core, and the page's controls
// found by the desktop's object names.
import { readFileSync } from 'node:fs';
import { fileURLToPath } from 'node:url';
import assert from 'node:assert/strict';
import { after, before } from 'node:test';
import { chromium } from 'playwright-core';
import { serve } from '../tools/serve.mjs';

const here = (path) => fileURLToPath(new URL(path, import.meta.url));
export const kSite = here('../../build-web/site');
export const kExamples = here('../../examples');
export const kScenarios = here('../../tests/scenarios');
export const kChromium = process.env.ORBEN_CHROMIUM ?? '/usr/bin/chromium';

export function scenario(name) {
  return JSON.parse(readFileSync(`${kScenarios}/${name}.json`, 'utf8'));
}

// One server and one browser for a test file (the built site, or another
// folder); every request any page makes is kept, to be checked against the
// site's own origin, and so is every error the console shows (a refusal
// by the page's content security policy among them).
export async function start(folder = kSite) {
  const { server, address } = await serve(folder);
  const browser = await chromium.launch({ executablePath: kChromium, args: ['--no-sandbox'], headless: true });
  const requests = [];
  const errors = [];
  const consoleErrors = [];
  return {
    address,
    requests,
    errors,
    consoleErrors,
    async page(options = {}) {
      const context = options.context ?? (await browser.newContext({ viewport: { width: 960, height: 760 } }));
      const page = await context.newPage();
      page.on('request', (request) => requests.push(request.url()));
      page.on('pageerror', (error) => errors.push(error.message));
      page.on('console', (message) => message.type() === 'error' && consoleErrors.push(message.text()));
      await page.goto(address);
      await page.waitForSelector('body[data-listo="true"]');
      return page;
    },
    async newContext(options = {}) {
      return browser.newContext({ viewport: { width: 960, height: 760 }, ...options });
    },
    async stop() {
      await browser.close();
      await new Promise((done) => server.close(done));
    },
  };
}

// One site for the tests of the file that calls it, started before them
// and stopped after them, no page having thrown an error.
export function siteForTests() {
  let site = null;
  before(async () => {
    site = await start();
  });
  after(async () => {
    assert.deepEqual(site.errors, []);
    await site.stop();
  });
  return {
    page: (options) => site.page(options),
    newContext: (options) => site.newContext(options),
    get address() {
      return site.address;
    },
  };
}

export const value = (page, id) => page.getAttribute(`#${id}`, 'data-value');
export const lit = async (page, id) => (await page.getAttribute(`#${id}`, 'data-lit')) === 'true';

export async function click(page, id) {
  await page.click(`#${id}`);
}

export async function key(page, digits) {
  for (const d of digits) await click(page, `T${d.toUpperCase()}`);
}

// A menu item: its menu dropped down from its toolbar button, then the item.
export async function menu(page, button, item) {
  await click(page, button);
  await click(page, item);
}

// The next message box: its title and text (line breaks as '\r'); then
// the button of `answer` is pressed.
export async function takeBox(page, answer = 'Aceptar') {
  const open = page.locator('dialog.caja[open]');
  await open.waitFor();
  const box = page.locator(`dialog.caja[data-n="${await open.getAttribute('data-n')}"]`);
  const title = await box.locator('h2').textContent();
  const text = await box.locator('.texto').evaluate((p) =>
    [...p.childNodes].map((n) => (n.nodeName === 'BR' ? '\r' : n.textContent)).join(''),
  );
  const buttons = await box.locator('button').allTextContents();
  await box.getByRole('button', { name: answer, exact: true }).click();
  await box.waitFor({ state: 'detached' });
  return { title, text, buttons };
}

export async function noBox(page) {
  return (await page.locator('dialog[open]').count()) === 0;
}

// Cargar programa objeto through the browser's file picker: a file of
// that name and contents, or without contents the file at the path `name`
// (for a large one).
export async function loadThroughPicker(page, name, contents) {
  const chooser = page.waitForEvent('filechooser');
  await menu(page, 'Menu_Archivo', 'Cargarprogramaobjeto1');
  const picker = await chooser;
  await picker.setFiles(contents === undefined ? name : { name, mimeType: 'application/octet-stream', buffer: Buffer.from(contents) });
}

// A file of that name and contents dropped on the page, as from a file
// manager: a drop event whose DataTransfer holds it.
export async function dropFile(page, name, contents) {
  const transfer = await page.evaluateHandle(
    ({ name, base64 }) => {
      const raw = atob(base64);
      const bytes = Uint8Array.from(raw, (c) => c.charCodeAt(0));
      const data = new DataTransfer();
      data.items.add(new File([bytes], name, { type: 'application/octet-stream' }));
      return data;
    },
    { name, base64: Buffer.from(contents).toString('base64') },
  );
  await page.dispatchEvent('body', 'dragover', { dataTransfer: transfer });
  await page.dispatchEvent('body', 'drop', { dataTransfer: transfer });
  await transfer.dispose();
}

// The memory grid's rows in sight: address, digits and text of each.
// The grid's rows in sight, each its address, digits and text as one
// string ("H0000F000..").
export async function memoryRows(page) {
  return (await page.locator('#Memoria [role="row"]').allTextContents()).map((row) => row.replace(':', ''));
}

export async function listing(page) {
  return page.locator('#Listado li').allTextContents();
}

export async function marked(page) {
  const line = page.locator('#Listado li[aria-selected="true"]');
  return (await line.count()) > 0 ? line.textContent() : null;
}

export async function switchOn(page) {
  await click(page, 'BOnOff');
  await page.waitForSelector('#Lampara_On[data-lit="true"]');
}
