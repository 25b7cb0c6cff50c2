// Draws the README's and the guide's pictures of the page from the real
// site: node web/tools/picture.mjs [SITE [PICTURE [IDE_PICTURE]]] (by
// default build-web/site, docs/orben_web.png and orben_web_ide.png beside
// PICTURE). Serves the site on 127.0.0.1 and opens it in Debian's Chromium.
// PICTURE: TUKA-2 switched on, examples/suma.ehc loaded through the file
// picker, 0000 keyed, Ejecutar and Continuar pressed, the whole page.
// IDE_PICTURE: on a wide screen, TUKA-2 switched on, Programa → Nuevo
// programa fuente, examples/suma.asm put in the editor, F9, F2 on its OUT
// (line 12), Ejecutar and Continuar. Each page starts with nothing kept.
// Fails, and saves nothing more, when a page does not show what its
// picture is meant to show. Used by `make web-picture`.
import { readFileSync } from 'node:fs';
import { dirname, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';
import { chromium } from 'playwright-core';
import { serve } from './serve.mjs';

const repo = fileURLToPath(new URL('../../', import.meta.url));
const [site = resolve(repo, 'build-web/site'), picture = resolve(repo, 'docs/orben_web.png'), idePicture = resolve(dirname(picture), 'orben_web_ide.png')] =
  process.argv.slice(2);
const kChromium = process.env.ORBEN_CHROMIUM ?? '/usr/bin/chromium';

// A fresh page of the site, no storage kept from another, ready.
async function open(browser, address, viewport) {
  const context = await browser.newContext({ viewport, deviceScaleFactor: 1 });
  const page = await context.newPage();
  const errors = [];
  page.on('pageerror', (error) => errors.push(error.message));
  await page.goto(address);
  await page.waitForSelector('body[data-listo="true"]');
  await page.click('#BOnOff');
  await page.waitForSelector('#Lampara_On[data-lit="true"]');
  return { context, page, errors };
}

// Each display of `expected` shows its value, and no box stands open.
async function expectShown(page, expected) {
  for (const [id, value] of Object.entries(expected)) {
    await page.waitForSelector(`#${id}[data-value="${value}"]`, { timeout: 5000 }).catch(async () => {
      throw new Error(`${id} shows ${await page.getAttribute(`#${id}`, 'data-value')}, not ${value}`);
    });
  }
  if ((await page.locator('dialog[open]').count()) > 0) throw new Error('a box is open');
}

async function save(page, errors, path) {
  // The displays are drawn on the next animation frames.
  await page.evaluate(() => new Promise((done) => requestAnimationFrame(() => requestAnimationFrame(done))));
  if (errors.length > 0) throw new Error(errors.join('\n'));
  await page.screenshot({ path, fullPage: true });
  const size = await page.evaluate(() => [document.documentElement.scrollWidth, document.documentElement.scrollHeight]);
  console.log(`${path}: ${size[0]} by ${size[1]}`);
}

async function drawPage(browser, address) {
  const { context, page, errors } = await open(browser, address, { width: 1280, height: 900 });
  const chooser = page.waitForEvent('filechooser');
  await page.click('#Menu_Archivo');
  await page.click('#Cargarprogramaobjeto1');
  await (await chooser).setFiles({
    name: 'suma.ehc',
    mimeType: 'application/octet-stream',
    buffer: readFileSync(resolve(repo, 'examples/suma.ehc')),
  });
  await page.waitForSelector('#Listado li');
  for (const digit of '0000') await page.click(`#T${digit}`);
  await page.click('#BEjecutar');
  await page.click('#BContinuar');
  // Two instructions run: R1 and R2 set, the ADDS at 0002 next.
  await expectShown(page, { R1: '0005', R2: '0003', PC: '0002' });
  await save(page, errors, picture);
  await context.close();
}

async function drawEditor(browser, address) {
  const { context, page, errors } = await open(browser, address, { width: 1520, height: 760 });
  await page.click('#ToolButton3');
  await page.click('#MNuevo_fuente');
  await page.waitForSelector('#TEditorFuente:not([hidden])');
  await page.focus('#Texto_Fuente .cm-content');
  await page.keyboard.insertText(readFileSync(resolve(repo, 'examples/suma.asm'), 'utf8'));
  await page.keyboard.press('F9');
  await page.waitForSelector('#Listado li');
  await page.focus('#Texto_Fuente .cm-content');
  await page.keyboard.press('Control+Home');
  for (let i = 1; i < 12; ++i) await page.keyboard.press('ArrowDown');
  await page.keyboard.press('F2');
  await page.click('#BEjecutar');
  await page.click('#BContinuar');
  // Loaded from 0000: the two LLI run, the ADDS of line 11 at PC, the
  // breakpoint on the OUT of line 12, nothing in the messages.
  await expectShown(page, { R1: '0005', R2: '0003', PC: '0002' });
  const marks = await page.evaluate(() => {
    const text = document.getElementById('Texto_Fuente');
    return { pc: text.dataset.lineaPc, breakpoints: text.dataset.puntosDeParada, messages: document.querySelectorAll('#Mensajes_Fuente li').length };
  });
  if (marks.pc !== '11' || marks.breakpoints !== '12' || marks.messages !== 0) throw new Error(`the editor shows ${JSON.stringify(marks)}`);
  await save(page, errors, idePicture);
  await context.close();
}

const { server, address } = await serve(site);
const browser = await chromium.launch({ executablePath: kChromium, args: ['--no-sandbox'], headless: true });
try {
  await drawPage(browser, address);
  await drawEditor(browser, address);
} finally {
  await browser.close();
  await new Promise((done) => server.close(done));
}
