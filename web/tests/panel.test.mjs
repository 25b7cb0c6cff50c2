// The main window driven by its controls' names: power, the keypad and the
// panel buttons, suma.ehc through the file picker, step by step and timed,
// the value entry and speed dialogs, the port windows, every load message,
// a reload, and no request but for the site's own files.
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { after, before, describe, test } from 'node:test';
import * as s from './support.mjs';

let site;
before(async () => {
  site = await s.start();
});
after(async () => {
  assert.deepEqual(site.errors, []);
  // Nothing is sent anywhere: every request went to the site itself.
  const foreign = site.requests.filter((url) => !url.startsWith(site.address) && !url.startsWith('data:'));
  assert.deepEqual(foreign, []);
  await site.stop();
});

const hex4 = (n) => n.toString(16).toUpperCase().padStart(4, '0');
const kDigits = '0123456789ABCDEF';
const kOff = '¡OPS! : Debe encender primero TUKA-2.';

describe('power', () => {
  test('On/Off gives the power-on values and lights the lamps; off shows ****', async () => {
    const page = await site.page();
    assert.equal(await s.value(page, 'R3'), '****');
    assert.equal(await page.isDisabled('#T5'), true);
    await s.switchOn(page);
    assert.ok(await s.lit(page, 'Lampara_PP'));
    assert.ok(await page.isVisible('#LOn'));
    for (const id of ['BPasoPaso', 'T0', 'TF', 'BDireccion', 'BContinuar']) assert.equal(await page.isDisabled(`#${id}`), false, id);
    assert.equal(await page.textContent('#MApagar_TUKA2'), 'Apagar TUKA-2');
    // Registers 0000..000F, but RE, the stack pointer, F000.
    for (let n = 0; n < 16; ++n) {
      assert.equal(await s.value(page, `R${kDigits[n]}`), n === 14 ? 'F000' : hex4(n));
    }
    for (const group of [['PC', 'PPC'], ['Teclado', 'IP1'], ['OP1', 'POP1'], ['OP2', 'POP2']]) {
      const first = await s.value(page, group[0]);
      assert.match(first, /^[0-9A-F]{4}$/);
      for (const id of group) assert.equal(await s.value(page, id), first, id);
    }
    await s.menu(page, 'ToolButton2', 'MApagar_TUKA2');
    assert.equal(await s.lit(page, 'Lampara_On'), false);
    assert.equal(await s.lit(page, 'Lampara_PP'), false);
    for (const id of ['R3', 'PPC', 'Teclado', 'POP1', 'IR', 'AR']) assert.equal(await s.value(page, id), '****', id);
    // While off, an editable display and a flag lamp only say so.
    for (const id of ['Teclado', 'R3', 'Lampara_Z']) {
      await s.click(page, id);
      assert.equal((await s.takeBox(page)).text, kOff);
    }
    assert.equal(await s.lit(page, 'Lampara_Z'), false);
    await page.context().close();
  });
});

describe('keypad and panel buttons', () => {
  test('keys shift in; Dirección, Cargar, Continuar walk memory; Registros walks R0..RF', async () => {
    const page = await site.page();
    await s.switchOn(page);
    await s.key(page, '12345');
    assert.equal(await s.value(page, 'Teclado'), '2345');
    await s.key(page, '0100');
    await s.click(page, 'BDireccion');
    assert.equal(await s.value(page, 'POP1'), '0100');
    await s.key(page, '1234');
    await s.click(page, 'BCargar');
    assert.equal(await s.value(page, 'POP1'), '0101');
    await s.click(page, 'BContinuar');
    assert.equal(await s.value(page, 'POP1'), '0102');
    // Back at 0100: the word stored there.
    await s.key(page, '0100');
    await s.click(page, 'BDireccion');
    assert.equal(await s.value(page, 'POP2'), '1234');
    await s.key(page, '00BE');
    await s.click(page, 'BRegistros');
    assert.equal(await s.value(page, 'POP1'), '0000');
    await s.click(page, 'BCargar');
    assert.equal(await s.value(page, 'R0'), '00BE');
    assert.equal(await s.value(page, 'OP1'), '0001');
    await s.click(page, 'BContinuar');
    assert.equal(await s.value(page, 'OP1'), '0002');
    assert.equal(await s.value(page, 'POP2'), await s.value(page, 'R2'));
    // F000 and above is the monitor's: Dirección refuses it.
    await s.key(page, 'F000');
    await s.click(page, 'BDireccion');
    assert.equal((await s.takeBox(page)).text, 'AVISO: Acceso a memoria de TUKA-2 ilegal.\rPor encima de EFFF se encuentra el programa monitor.');
    await page.context().close();
  });

  test('every Alt accelerator press is one click, in order', async () => {
    const page = await site.page();
    await s.switchOn(page);
    for (const d of '9A0F') await page.keyboard.press(`Alt+${d === 'A' || d === 'F' ? `Key${d}` : `Digit${d}`}`);
    assert.equal(await s.value(page, 'Teclado'), '9A0F');
    await page.keyboard.press('Alt+KeyP');
    assert.equal(await s.lit(page, 'Lampara_PP'), false);
    await page.context().close();
  });
});

describe('suma.ehc, the shared scenario', () => {
  const table = s.scenario('suma');
  const contents = readFileSync(`${s.kExamples}/${table.file}`);

  test('loaded through the file picker, then Ejecutar, Continuar and a timed run to HALT', async () => {
    const page = await site.page();
    await s.switchOn(page);
    await s.loadThroughPicker(page, table.file, contents);
    await page.waitForSelector('#Listado li');
    assert.deepEqual(await s.listing(page), table.listing);
    assert.ok(await s.noBox(page));
    await s.key(page, '0000');
    for (const step of table.steps) {
      if (step.action === 'Ejecutar') await s.click(page, 'BEjecutar');
      if (step.action === 'Continuar') await s.click(page, 'BContinuar');
      if (step.action === 'timed run') {
        // The pace first (Rápida), then out of step mode and Ejecutar at PC.
        await s.menu(page, 'ToolButton1', 'VelocidaddeejecucinenmodoPP1');
        await page.check('#RadioGroup1_0');
        await s.click(page, 'LiveButton1');
        await s.click(page, 'BPasoPaso');
        assert.equal(await s.lit(page, 'Lampara_PP'), false);
        await s.menu(page, 'ToolButton1', 'EsconderMostrarpuertosdesalida1');
        await s.key(page, await s.value(page, 'PC'));
        await s.click(page, 'BEjecutar');
      }
      const messages = [];
      for (let i = 0; i < step.messages.length; ++i) messages.push((await s.takeBox(page)).text);
      assert.deepEqual(messages, step.messages, step.action);
      assert.ok(await s.noBox(page));
      for (const [id, expected] of Object.entries(step.cells)) assert.equal(await s.value(page, id), expected, `${step.action}: ${id}`);
      assert.equal(await s.marked(page), step.marked, step.action);
    }
    // HALT puts TUKA-2 back in step-by-step mode.
    assert.ok(await s.lit(page, 'Lampara_PP'));
    await page.context().close();
  });

  test('a reload keeps the program and the speed', async () => {
    const context = await site.newContext();
    let page = await site.page({ context });
    await s.loadThroughPicker(page, table.file, contents);
    await page.waitForSelector('#Listado li');
    await s.menu(page, 'ToolButton1', 'VelocidaddeejecucinenmodoPP1');
    await page.check('#RadioGroup1_2');
    await s.click(page, 'LiveButton1');
    await page.reload();
    await page.waitForSelector('body[data-listo="true"]');
    assert.deepEqual(await s.listing(page), table.listing);
    await s.menu(page, 'ToolButton1', 'VelocidaddeejecucinenmodoPP1');
    assert.ok(await page.isChecked('#RadioGroup1_2'));
    await s.click(page, 'LiveButton2');
    await context.close();
  });
});

describe('pace', () => {
  // A loop of three instructions counting in R1: ADDS R1, R1, R2; LLI RD,
  // H'01; BR. At Rápida, one instruction a millisecond on average.
  const loop = '0000 2201\r\n0001 6112\r\n0002 2D01\r\n0003 C000\r\n';

  test('a timed run at Rápida keeps 1,000 instructions a second over 5 s, within 2 %', async () => {
    const page = await site.page();
    await s.switchOn(page);
    await s.loadThroughPicker(page, 'cuenta.ehc', loop);
    await page.waitForSelector('#Listado li');
    await s.menu(page, 'ToolButton1', 'VelocidaddeejecucinenmodoPP1');
    await page.check('#RadioGroup1_0');
    await s.click(page, 'LiveButton1');
    await s.click(page, 'BPasoPaso');
    await s.key(page, '0000');
    await s.click(page, 'BEjecutar');
    const sample = () =>
      page.evaluate(() => [performance.now(), parseInt(document.getElementById('R1').dataset.value, 16)]);
    // From a change of R1 on, so that both ends are measured alike.
    const first = await sample();
    await page.waitForFunction((r1) => parseInt(document.getElementById('R1').dataset.value, 16) !== r1, first[1]);
    const [t0, r0] = await sample();
    await page.waitForFunction((t) => performance.now() - t >= 5000, t0, { polling: 100 });
    const [t1, r1] = await sample();
    const loops = (r1 - r0 + 0x10000) % 0x10000;
    const rate = (3 * loops * 1000) / (t1 - t0);
    console.log(`# timed run at Rápida: ${rate.toFixed(1)} instructions a second`);
    assert.ok(rate >= 980, `${rate} instructions a second`);
    assert.ok(rate <= 1020, `${rate} instructions a second`);
    await page.context().close();
  });
});
