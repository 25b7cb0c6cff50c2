// The page to assistive technology, as the desktop is: axe-core in every
// window and box finds no serious or critical fault; the grid and the
// listing tell their focused cell and marked line; every display says its
// label and value, "apagado" while off.
import assert from 'node:assert/strict';
import { createRequire } from 'node:module';
import { describe, test } from 'node:test';
import * as s from './support.mjs';

const axePath = createRequire(import.meta.url).resolve('axe-core/axe.min.js');

const site = s.siteForTests();

// axe-core over what is on the page now; the faults that matter, by rule
// and the elements it names.
async function faults(page) {
  if (!(await page.evaluate(() => 'axe' in window))) await page.addScriptTag({ path: axePath });
  const result = await page.evaluate(() => window.axe.run(document, { resultTypes: ['violations'] }));
  return result.violations
    .filter((v) => v.impact === 'serious' || v.impact === 'critical')
    .map((v) => `${v.id}: ${v.nodes.map((n) => n.target.join(' ')).join(', ')}`);
}

// The page as a context that lets the test add axe-core's script (the
// site's own policy allows only its files).
async function auditedPage() {
  const context = await site.newContext({ bypassCSP: true });
  return site.page({ context });
}

describe('axe-core', () => {
  test('the main window off and on, every menu open, both port windows', async () => {
    const page = await auditedPage();
    assert.deepEqual(await faults(page), [], 'off');
    await s.switchOn(page);
    assert.deepEqual(await faults(page), [], 'on');
    for (const [button, menu] of [['Menu_Archivo', 'PopArchivo'], ['ToolButton1', 'PopEntorno'], ['ToolButton2', 'pop_TUKA2']]) {
      await s.click(page, button);
      await page.waitForSelector(`#${menu}:not([hidden])`);
      assert.deepEqual(await faults(page), [], menu);
      await page.keyboard.press('Escape');
    }
    await s.menu(page, 'ToolButton1', 'MEsconderMostrarlosregistrosdeentrada1');
    await s.menu(page, 'ToolButton1', 'EsconderMostrarpuertosdesalida1');
    await page.waitForSelector('#TForm2:not([hidden])');
    await page.waitForSelector('#TForm3:not([hidden])');
    assert.deepEqual(await faults(page), [], 'port windows');
    await page.context().close();
  });

  test('the source editor with its messages, the memory save dialog and the name of a download', async () => {
    const page = await auditedPage();
    await s.switchOn(page);
    await s.menu(page, 'ToolButton3', 'MNuevo_fuente');
    await page.focus('#Texto_Fuente .cm-content');
    await page.keyboard.type('LLI R1, H\'05\nADS R2\nHALT');
    await page.keyboard.press('F9');
    await page.waitForSelector('#Mensajes_Fuente li');
    assert.deepEqual(await faults(page), [], 'editor');
    // The editor's text is told with its name and the line at PC.
    assert.equal(await page.getAttribute('#Texto_Fuente .cm-content', 'aria-label'), 'Programa fuente');
    await s.menu(page, 'ToolButton3', 'MGuardar_memoria');
    await page.waitForSelector('#TDiag_Guardar_Memoria[open]');
    assert.deepEqual(await faults(page), [], 'memory save');
    await page.keyboard.press('Escape');
    await page.context().close();
  });

  test('the message box, the question box, the value entry and speed dialogs', async () => {
    const page = await auditedPage();
    const open = [
      ['message box', () => s.click(page, 'Teclado'), 'dialog.caja[open]'],
      ['question box', () => s.menu(page, 'ToolButton1', 'Mododesensamblador1'), 'dialog.caja[open]'],
      ['value entry', () => s.click(page, 'R3'), '#TDiag_Editar_Registro[open]'],
      ['speed', () => s.menu(page, 'ToolButton1', 'VelocidaddeejecucinenmodoPP1'), '#TForm4[open]'],
    ];
    // Off, the keypad's display only says so; on, the rest are asked.
    for (const [name, show, selector] of open) {
      if (name === 'question box') await s.switchOn(page);
      await show();
      await page.waitForSelector(selector);
      assert.deepEqual(await faults(page), [], name);
      await page.keyboard.press('Escape');
      await page.waitForSelector(selector, { state: 'detached' });
    }
    await page.context().close();
  });
});

test('displays say their value, "apagado" off; the grid its caret cell; the listing its marked line', async () => {
  const page = await site.page();
  const label = (id) => page.getAttribute(`#${id}`, 'aria-label');
  assert.equal(await label('R3'), 'r3: apagado');
  assert.equal(await label('POP1'), 'D/OP1: apagado');
  await s.switchOn(page);
  assert.equal(await label('R3'), 'r3: 0003');
  assert.equal(await label('RE'), 'rE: F000');
  // The grid's focused cell: its row's label and what it shows.
  await page.focus('#Memoria');
  await page.keyboard.press('ArrowDown');
  const cell = await page.getAttribute('#Memoria', 'aria-activedescendant');
  const name = await page.getAttribute(`#${cell}`, 'aria-label');
  assert.match(name, /^H0001: [0-9A-F]{4}$/);
  assert.equal(await page.getAttribute(`#${cell}`, 'role'), 'gridcell');
  // The listing: the line at PC selected and told as the active one.
  await s.loadThroughPicker(page, 'suma.ehc', (await import('node:fs')).readFileSync(`${s.kExamples}/suma.ehc`));
  await s.key(page, '0000');
  await s.click(page, 'BEjecutar');
  const active = await page.getAttribute('#Listado', 'aria-activedescendant');
  assert.equal(await page.textContent(`#${active}`), "[0001]: LLI R2, H'03");
  assert.equal(await page.getAttribute(`#${active}`, 'aria-selected'), 'true');
  await page.context().close();
});
