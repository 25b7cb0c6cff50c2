// What the editor's browser tests share: the editor's text, cursor,
// messages and marks, read by the desktop's names.
import * as s from './support.mjs';

export async function newSource(page) {
  await s.menu(page, 'ToolButton3', 'MNuevo_fuente');
  await page.waitForSelector('#TEditorFuente:not([hidden])');
}

export async function type(page, text) {
  await page.focus('#Texto_Fuente .cm-content');
  await page.keyboard.type(text);
}

// The cursor to `line` and `column` (from 1) by keys, as a user moves it.
export async function cursorTo(page, line, column) {
  await page.focus('#Texto_Fuente .cm-content');
  await page.keyboard.press('Control+Home');
  for (let i = 1; i < line; ++i) await page.keyboard.press('ArrowDown');
  await page.keyboard.press('Home');
  for (let i = 1; i < column; ++i) await page.keyboard.press('ArrowRight');
}

export async function cursorLine(page) {
  return page.evaluate(() => {
    const selection = document.getSelection();
    const line = selection?.anchorNode?.parentElement?.closest('.cm-line');
    return line ? [...line.parentElement.children].indexOf(line) + 1 : 0;
  });
}

export const text = (page) => page.evaluate(() => [...document.querySelectorAll('#Texto_Fuente .cm-line')].map((l) => l.textContent).join('\n'));
export const messages = (page) => page.locator('#Mensajes_Fuente li').allTextContents();
export const lineAtPC = async (page) => Number(await page.getAttribute('#Texto_Fuente', 'data-linea-pc'));
export async function breakpoints(page) {
  const shown = await page.getAttribute('#Texto_Fuente', 'data-puntos-de-parada');
  return shown ? shown.split(',').map(Number) : [];
}

// Every display of the main window, by name: its value.
export async function displayValues(page) {
  return page.evaluate(() => Object.fromEntries([...document.querySelectorAll('#TForm1 canvas.display')].map((c) => [c.id, c.dataset.value])));
}
export async function changedDisplays(page) {
  return page.evaluate(() => [...document.querySelectorAll('#TForm1 canvas.display[data-cambiado="true"]')].map((c) => c.id));
}

// A timed run at Rápida from `address`: Rápida marked in TForm4, the
// step-mode switch, the address keyed, Ejecutar; until it stops again.
export async function timedRun(page, address) {
  await s.menu(page, 'ToolButton1', 'VelocidaddeejecucinenmodoPP1');
  await page.check('#RadioGroup1_0');
  await s.click(page, 'LiveButton1');
  await s.click(page, 'BPasoPaso');
  await page.waitForSelector('#Lampara_PP[data-lit="false"]');
  await s.key(page, address);
  await s.click(page, 'BEjecutar');
  await page.waitForSelector('#Lampara_PP[data-lit="true"]');
}

// A page whose browser has no file system access: files open through a
// picker and save as downloads, as in browsers without it.
export async function pageWithoutFileAccess(site, options = {}) {
  const context = await site.newContext(options);
  await context.addInitScript(() => {
    delete window.showOpenFilePicker;
    delete window.showSaveFilePicker;
  });
  return site.page({ context });
}

// The file picker that stands for a desktop dialog: `name` and `bytes`
// chosen in it once `open` has asked for it.
export async function chooseFile(page, open, name, bytes) {
  const chooser = page.waitForEvent('filechooser');
  await open();
  await (await chooser).setFiles({ name, mimeType: 'application/octet-stream', buffer: Buffer.from(bytes) });
}

// The download that `save` starts: its name and bytes.
export async function downloaded(page, save) {
  const started = page.waitForEvent('download');
  await save();
  const file = await started;
  const chunks = [];
  for await (const chunk of await file.createReadStream()) chunks.push(chunk);
  return { name: file.suggestedFilename(), bytes: Buffer.concat(chunks) };
}

// The editor's message of `text` activated with Enter, as a user does.
export async function activate(page, text) {
  await page.locator('#Mensajes_Fuente li', { hasText: text }).first().click();
  await page.focus('#Mensajes_Fuente');
  await page.keyboard.press('Enter');
}
