// The source editor in the page, from the table the desktop's window
// tests read too: a program typed with a mistake, F9, the mistake at its
// line, the mended program loaded and keyed, the line at PC through
// Ejecutar, Continuar and Paso atrás, what each step changed, breakpoints,
// a timed run stopped at one, and the run to the cursor.
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { test } from 'node:test';
import * as s from './support.mjs';
import * as e from './editor_support.mjs';

const site = s.siteForTests();

test('the shared editor scenario: F9, an error, the mended program, steps, breakpoints, run to the cursor', async () => {
  const table = s.scenario('ide');
  const source = readFileSync(`${s.kExamples}/${table.file}`, 'utf8');
  const page = await site.page();
  await s.switchOn(page);
  await e.newSource(page);
  for (const step of table.steps) {
    const what = JSON.stringify(step).slice(0, 60);
    const before = await e.displayValues(page);
    if (step.cursor) await e.cursorTo(page, ...step.cursor);
    if (step.type) await e.type(page, step.type.startsWith('<') ? source.replace(...table.mistake) : step.type);
    if (step.press) await page.keyboard.press(step.press);
    if (step.click) await s.click(page, step.click);
    if (step.timed) await e.timedRun(page, step.timed);
    if (step.press === 'F4') await page.waitForSelector('#Lampara_PP[data-lit="true"]');
    if (step.messages) assert.deepEqual(await e.messages(page), step.messages, what);
    if (step.lineaPC !== undefined) assert.equal(await e.lineAtPC(page), step.lineaPC, what);
    if (step.puntosDeParada) assert.deepEqual(await e.breakpoints(page), step.puntosDeParada, what);
    for (const [id, v] of Object.entries(step.cells ?? {})) assert.equal(await s.value(page, id), v, `${what}: ${id}`);
    if (step.listing) assert.deepEqual(await s.listing(page), step.listing, what);
    if (step.cursorLine) assert.equal(await e.cursorLine(page), step.cursorLine, what);
    if (step.boxes) assert.ok(await s.noBox(page), what);
    if (step.changedAreTheDisplaysThatChanged) {
      const after = await e.displayValues(page);
      const marked = await e.changedDisplays(page);
      const differ = Object.keys(after).filter((id) => after[id] !== before[id]);
      assert.deepEqual(marked.sort(), differ.sort(), what);
      assert.ok(differ.length > 0, what);
    }
  }
  await page.context().close();
});

test('a step that stores a word frames its memory row; stepped back, the row it restored', async () => {
  const page = await site.page();
  await s.switchOn(page);
  await e.newSource(page);
  // ST puts R3 at dato, word 0007 (LDI is two words: 0003 and 0004).
  await e.type(page, "ORG H'0000\nLLI R1, H'05\nLLI R2, H'07\nADDS R3, R1, R2\nLDI RD, dato\nST [RD+H'00], R3\nHALT\ndato: DW H'0000");
  await page.keyboard.press('F9');
  const framed = () => page.evaluate(() => [...document.querySelectorAll('#Memoria [role="row"][data-cambiado="true"]')].map((r) => r.firstElementChild.textContent));
  const word7 = async () => (await s.memoryRows(page)).find((r) => r.startsWith('H0007')).slice(5, 9);
  await s.click(page, 'BEjecutar');
  assert.deepEqual(await framed(), []);
  for (let i = 0; i < 4; ++i) await s.click(page, 'BContinuar');
  assert.deepEqual(await framed(), []);
  await s.click(page, 'BContinuar'); // the ST
  assert.deepEqual(await framed(), ['H0007:']);
  assert.equal(await word7(), '000C');
  await page.keyboard.press('Control+Backspace');
  assert.deepEqual(await framed(), ['H0007:']);
  assert.equal(await word7(), '0000');
  await page.context().close();
});
