// The memory grid by keyboard, as the desktop's, from the table both
// front ends read: digits over the digit under the caret, characters over
// the byte in the text, the caret keys, and in the disassembler mode each
// edited word listed again at its key-up. Then what only the page shows:
// the typing marks, and the grid left by Tab.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import * as s from './support.mjs';

const site = s.siteForTests();

// A row of the grid in sight: its digits, its text and how many of its
// characters carry the typing mark.
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

async function ready(page) {
  await s.switchOn(page);
  // Memory all zeros, so that every digit typed changes its byte.
  await s.menu(page, 'ToolButton1', 'InicializarMemoria1');
  await s.menu(page, 'ToolButton1', 'Mododesensamblador1');
  const question = await s.takeBox(page, 'Sí');
  assert.equal(question.title, 'Modo Desensamblador');
  await page.focus('#Memoria');
}

test('the shared grid scenario: caret, rows, listing and view after each key', async () => {
  const page = await site.page();
  await ready(page);
  assert.equal(await page.getAttribute('#Memoria', 'aria-activedescendant'), 'Memoria_0_0');
  for (const step of s.scenario('grid').steps) {
    const what = step.type ?? step.press;
    if (step.type) await page.keyboard.type(step.type);
    else await page.keyboard.press(step.press);
    assert.equal(await caret(page), step.caret, what);
    for (const [address, [digits, text]] of Object.entries(step.rows ?? {})) {
      const shown = await row(page, address);
      assert.deepEqual([shown.digits, shown.text], [digits, text], `${what}: ${address}`);
    }
    const lines = await s.listing(page);
    for (const [address, expected] of Object.entries(step.listing ?? {})) {
      assert.deepEqual(lines.filter((l) => l.startsWith(`[${address}]`)), expected, `${what}: listing ${address}`);
    }
    if (step.top) assert.equal(await page.getAttribute('#Memoria', 'data-top'), step.top, what);
  }
  await page.context().close();
});

test('typing marks its bytes until Insert; the caret cell is told; Tab from the text leaves the grid', async () => {
  const page = await site.page();
  await ready(page);
  await page.keyboard.type('2105');
  await page.keyboard.press('Tab');
  assert.equal(await page.getAttribute('#Memoria', 'aria-activedescendant'), 'Memoria_1_1');
  // Both bytes of the word marked: two digits and a character each.
  assert.equal((await row(page, '0000')).marked, 6);
  await page.keyboard.press('Insert');
  assert.equal((await row(page, '0000')).marked, 0);
  assert.equal((await row(page, '0000')).digits, '2105');
  // The browser keeps Ctrl+Tab for itself: Tab from the text goes on.
  await page.keyboard.press('Tab');
  assert.notEqual(await page.evaluate(() => document.activeElement?.id), 'Memoria');
  await page.context().close();
});
