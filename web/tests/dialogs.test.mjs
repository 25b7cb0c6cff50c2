// The in-page windows: the value entry dialog, the speed dialog, both port
// windows, and every box a load can show, in order.
import assert from 'node:assert/strict';
import { describe, test } from 'node:test';
import * as s from './support.mjs';

const site = s.siteForTests();

describe('value entry dialog', () => {
  test('digits shift in from the right, either case; ¡Vale! stores, Cancelar and Escape leave the cell', async () => {
    const page = await site.page();
    await s.switchOn(page);
    const cases = [
      { keys: '1a', button: 'LiveButton1', expected: '001A' },
      { keys: '12345', button: 'LiveButton1', expected: '2345' },
      { keys: 'x9-', button: 'LiveButton1', expected: '0009' },
      { keys: 'FFFF', button: 'LiveButton2', expected: '0009' },
      { keys: 'BEEF', button: null, expected: '0009' },
    ];
    for (const c of cases) {
      await s.click(page, 'R5');
      const dialog = page.locator('#TDiag_Editar_Registro');
      await dialog.waitFor();
      assert.equal(await page.getAttribute('#Editor', 'data-value'), '0000');
      await page.keyboard.type(c.keys);
      if (c.button) await s.click(page, c.button);
      else await page.keyboard.press('Escape');
      await dialog.waitFor({ state: 'detached' });
      assert.equal(await s.value(page, 'R5'), c.expected, c.keys);
    }
    // PC's two displays are one cell, and so are the keypad, IP1 and PIN_01.
    for (const [id, mirrors] of [['PPC', ['PC']], ['IP1', ['Teclado', 'PIN_01']]]) {
      await s.click(page, id);
      await page.keyboard.type('0ACE');
      await s.click(page, 'LiveButton1');
      if (mirrors.includes('PIN_01')) await s.menu(page, 'ToolButton1', 'MEsconderMostrarlosregistrosdeentrada1');
      for (const m of [id, ...mirrors]) assert.equal(await s.value(page, m), '0ACE', m);
    }
    await page.context().close();
  });
});

describe('speed dialog', () => {
  test('opens on the pace in force; ¡Vale! sets the marked one, Cancelar keeps it', async () => {
    const page = await site.page();
    const open = async () => {
      await s.menu(page, 'ToolButton1', 'VelocidaddeejecucinenmodoPP1');
      await page.locator('#TForm4').waitFor();
    };
    await open();
    assert.equal(await page.textContent('#TForm4 h2'), 'Velocidad modo Paso a Paso');
    assert.equal(await page.textContent('#RadioGroup1 legend'), 'Seleccione la velocidad preferida:');
    const captions = await page.locator('#RadioGroup1 label').allTextContents();
    assert.deepEqual(captions, ['Rápida', '0.3 segundos cada paso', '0.5 segundos cada paso', '1.0 segundo cada paso', '1.5 segundos cada paso', '2.0 segundos cada paso', '4.0 segundos cada paso', '7.0 segundos cada paso']);
    assert.ok(await page.isChecked('#RadioGroup1_3'), 'one second at start');
    await page.check('#RadioGroup1_6');
    await s.click(page, 'LiveButton1');
    await open();
    assert.ok(await page.isChecked('#RadioGroup1_6'));
    await page.check('#RadioGroup1_0');
    await s.click(page, 'LiveButton2');
    await open();
    assert.ok(await page.isChecked('#RadioGroup1_6'), 'Cancelar changed nothing');
    await s.click(page, 'LiveButton2');
    await page.context().close();
  });
});

describe('port windows', () => {
  test('Entorno shows and hides both; the inputs edit by a click, the outputs mirror OP1 and OP2', async () => {
    const page = await site.page();
    await s.switchOn(page);
    for (const [item, id] of [['MEsconderMostrarlosregistrosdeentrada1', 'TForm2'], ['EsconderMostrarpuertosdesalida1', 'TForm3']]) {
      assert.equal(await page.isVisible(`#${id}`), false);
      await s.menu(page, 'ToolButton1', item);
      assert.ok(await page.isVisible(`#${id}`));
    }
    assert.equal(await page.textContent('#TForm2 h2'), 'Los 64 primeros puertos de entrada:');
    assert.equal(await page.textContent('#TForm3 h2'), 'Los 64 primeros puertos de salida:');
    assert.equal(await page.locator('#TForm2 canvas').count(), 64);
    assert.equal(await page.locator('#TForm3 canvas').count(), 64);
    await page.click('#TForm2 [role="tab"]:has-text("20..3F")');
    await s.click(page, 'PIN_2A');
    await page.keyboard.type('beef');
    await s.click(page, 'LiveButton1');
    assert.equal(await s.value(page, 'PIN_2A'), 'BEEF');
    for (const [out, panel] of [['PO_01', 'OP1'], ['PO_02', 'OP2']]) assert.equal(await s.value(page, out), await s.value(page, panel));
    await s.menu(page, 'ToolButton1', 'EsconderMostrarpuertosdesalida1');
    assert.equal(await page.isVisible('#TForm3'), false);
    await page.context().close();
  });
});

describe('load messages', () => {
  const { title, loads: cases } = s.scenario('loads');
  for (const c of cases) {
    test(c.name, async () => {
      const page = await site.page();
      await s.switchOn(page);
      await s.loadThroughPicker(page, c.file, c.contents);
      for (const { text, answer } of c.boxes) {
        const box = await s.takeBox(page, answer);
        assert.equal(box.title, title);
        assert.equal(box.text, text);
        assert.deepEqual(box.buttons, answer === 'Aceptar' ? ['Aceptar'] : ['Aceptar', 'Omitir los demás avisos']);
      }
      // No box after the last one expected, and the listing as the load left it.
      await page.waitForTimeout(0);
      assert.ok(await s.noBox(page));
      if (c.listing) assert.deepEqual(await s.listing(page), c.listing);
      await page.context().close();
    });
  }
});
