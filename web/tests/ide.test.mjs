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
