// The memory grid by keyboard, as the desktop's: digits over the digit
// under the caret, characters over the byte in the text, the caret keys,
// the typing marks, and in the disassembler mode each edited word listed
// again at its key-up.
import assert from 'node:assert/strict';
import { after, before, test } from 'node:test';
import * as s from './support.mjs';

let site;
before(async () => {
  site = await s.start();
});
after(async () => {
  assert.deepEqual(site.errors, []);
  await site.stop();
});

// A row of the grid in sight: its label, digits and text.
async function row(page, address) {
  return page.evaluate((label) => {
    for (const r of document.querySelectorAll('#Memoria [role="row"]')) {
      const [header, digits, text] = r.children;
      if (header.textContent === label) return { digits: digits.textContent, text: text.textContent, marked: r.querySelectorAll('.cambiada').length };
    }
    return null;
  }, `H${address}:`);
}

const caret = (page) => page.getAttribute('#Memoria', 'data-caret');

test('typing in the disassembler mode lists the edited word; text, marks and caret keys follow the grid', async () => {
  const page = await site.page();
  await s.switchOn(page);
  // Memory all zeros, so that every digit typed changes its byte.
  await s.menu(page, 'ToolButton1', 'InicializarMemoria1');
  await s.menu(page, 'ToolButton1', 'Mododesensamblador1');
  const question = await s.takeBox(page, 'Sí');
  assert.equal(question.title, 'Modo Desensamblador');
  await page.focus('#Memoria');
  assert.equal(await page.getAttribute('#Memoria', 'aria-activedescendant'), 'Memoria_0_0');

  await page.keyboard.type('2105');
  // Four digits: two bytes, the caret on the next word's high digit.
  assert.equal(await caret(page), '00002:0:0');
  assert.equal((await row(page, '0000')).digits, '2105');
  const lines = await s.listing(page);
  assert.deepEqual(lines.filter((l) => l.startsWith('[0000]')), ["[0000]: LLI R1, H'05"]);

  // A digit that is no hexadecimal digit writes nothing and stays put.
  await page.keyboard.type('g');
  assert.equal(await caret(page), '00002:0:0');

  // Tab: the same byte in the text; "AB" is 4142 in the digits.
  await page.keyboard.press('Tab');
  assert.equal(await caret(page), '00002:1:0');
  assert.equal(await page.getAttribute('#Memoria', 'aria-activedescendant'), 'Memoria_1_1');
  await page.keyboard.type('AB');
  const typed = await row(page, '0001');
  assert.deepEqual([typed.digits, typed.text], ['4142', 'AB']);
  // Both bytes marked: two digits and a character each.
  assert.equal(typed.marked, 6);
  assert.equal((await row(page, '0000')).marked, 6);

  // Backspace steps back one cell; Home and End keep to the row.
  await page.keyboard.press('Backspace');
  assert.equal(await caret(page), '00003:1:0');
  await page.keyboard.press('Home');
  assert.equal(await caret(page), '00002:1:0');
  await page.keyboard.press('Control+t');
  assert.equal(await caret(page), '00002:0:0');
  await page.keyboard.press('End');
  assert.equal(await caret(page), '00003:0:1');
  await page.keyboard.press('ArrowUp');
  assert.equal(await caret(page), '00001:0:1');

  // Insert ends the marks; the words stay.
  await page.keyboard.press('Insert');
  assert.equal((await row(page, '0001')).marked, 0);
  assert.equal((await row(page, '0000')).digits, '2105');

  // Page down a page of twelve rows, the view with it.
  await page.keyboard.press('PageDown');
  assert.equal(await caret(page), '00019:0:1');
  assert.equal(await page.getAttribute('#Memoria', 'data-top'), '000C');

  // Shift+Tab from the digits, and Tab from the text, leave the grid.
  await page.keyboard.press('Shift+Tab');
  assert.notEqual(await page.evaluate(() => document.activeElement?.id), 'Memoria');
  await page.context().close();
});
