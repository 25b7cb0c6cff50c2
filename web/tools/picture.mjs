// Draws the README's and the guide's picture of the page from the real site:
// node tools/picture.mjs [SITE [PICTURE]] (by default build-web/site and
// docs/orben_web.png). Serves the site on 127.0.0.1, opens it in Debian's
// Chromium, switches TUKA-2 on, loads examples/suma.ehc through the file
// picker, keys 0000, presses Ejecutar and Continuar, and saves the whole
// page. Fails, and saves nothing, when the page does not show what the
// picture is meant to show. Used by `make web-picture`.
import { readFileSync } from 'node:fs';
import { resolve } from 'node:path';
import { fileURLToPath } from 'node:url';
import { chromium } from 'playwright-core';
import { serve } from './serve.mjs';

const repo = fileURLToPath(new URL('../../', import.meta.url));
const [site = resolve(repo, 'build-web/site'), picture = resolve(repo, 'docs/orben_web.png')] = process.argv.slice(2);
const kProgram = 'suma.ehc';
const kChromium = process.env.ORBEN_CHROMIUM ?? '/usr/bin/chromium';

const { server, address } = await serve(site);
const browser = await chromium.launch({ executablePath: kChromium, args: ['--no-sandbox'], headless: true });
try {
  const context = await browser.newContext({ viewport: { width: 1280, height: 900 }, deviceScaleFactor: 1 });
  const page = await context.newPage();
  const errors = [];
  page.on('pageerror', (error) => errors.push(error.message));
  await page.goto(address);
  await page.waitForSelector('body[data-listo="true"]');

  await page.click('#BOnOff');
  await page.waitForSelector('#Lampara_On[data-lit="true"]');
  const chooser = page.waitForEvent('filechooser');
  await page.click('#Menu_Archivo');
  await page.click('#Cargarprogramaobjeto1');
  await (await chooser).setFiles({
    name: kProgram,
    mimeType: 'application/octet-stream',
    buffer: readFileSync(resolve(repo, 'examples', kProgram)),
  });
  await page.waitForSelector('#Listado li');
  for (const digit of '0000') await page.click(`#T${digit}`);
  await page.click('#BEjecutar');
  await page.click('#BContinuar');

  // Two instructions run: R1 and R2 set, the ADDS at 0002 next.
  const shown = async (id) => page.getAttribute(`#${id}`, 'data-value');
  const expected = { R1: '0005', R2: '0003', PC: '0002' };
  for (const [id, value] of Object.entries(expected)) {
    await page.waitForSelector(`#${id}[data-value="${value}"]`, { timeout: 5000 }).catch(async () => {
      throw new Error(`${id} shows ${await shown(id)}, not ${value}`);
    });
  }
  if ((await page.locator('dialog[open]').count()) > 0) throw new Error('a box is open');
  // The displays are drawn on the next animation frames.
  await page.evaluate(() => new Promise((done) => requestAnimationFrame(() => requestAnimationFrame(done))));
  if (errors.length > 0) throw new Error(errors.join('\n'));

  await page.screenshot({ path: picture, fullPage: true });
  const size = await page.evaluate(() => [document.documentElement.scrollWidth, document.documentElement.scrollHeight]);
  console.log(`${picture}: ${size[0]} by ${size[1]}`);
  await context.close();
} finally {
  await browser.close();
  await new Promise((done) => server.close(done));
}
