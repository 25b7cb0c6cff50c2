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
