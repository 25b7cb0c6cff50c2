// The editor's work in the page: the checks as they happen, Comprobar con
// casos from the table the desktop reads too, memory saved and loaded
// back, files opened and saved (written back where the browser can, kept
// as they were encoded), the text kept across a reload, and a program
// shared by link.
import assert from 'node:assert/strict';
import { randomBytes } from 'node:crypto';
import { readFileSync } from 'node:fs';
import { describe, test } from 'node:test';
import * as s from './support.mjs';
import * as e from './editor_support.mjs';

const site = s.siteForTests();

const suma = readFileSync(`${s.kExamples}/suma.asm`, 'utf8');

async function typeAndLoad(page, text) {
  await e.newSource(page);
  await e.type(page, text);
  await page.keyboard.press('F9');
}

describe('checks and cases', () => {
  test('a check is listed at its line as it is found, with no box', async () => {
    const page = await site.page();
    await s.switchOn(page);
    await typeAndLoad(page, "ORG H'0000\nLLI R1, H'05\nBR\nHALT");
    assert.deepEqual(await e.messages(page), []);
    await s.click(page, 'BEjecutar');
    await s.click(page, 'BContinuar');
    // As the user guide shows it; RD's power-on value is its own number.
    assert.deepEqual(await e.messages(page), [
      '3:1: aviso: rd-not-set en 0001, paso 2: el salto en 0001 usa RD, que aún tiene el valor del encendido, 000D (da antes un valor a RD: LDI RD, nombre)',
    ]);
    assert.ok(await s.noBox(page));
    await page.context().close();
  });

  test('Comprobar con casos lists the verdicts; a hidden case is not set up, a failed one is', async () => {
    const table = s.scenario('cases');
    const page = await e.pageWithoutFileAccess(site);
    // Without a program: only the box.
    await s.menu(page, 'ToolButton3', 'MComprobar_casos');
    assert.equal((await s.takeBox(page)).text, 'Cargue antes un programa: Ensamblar y cargar o Cargar programa objeto.');
    await s.switchOn(page);
    await typeAndLoad(page, table.source);
    const diagnostics = await e.messages(page);
    assert.equal(diagnostics.length, 1);
    assert.match(diagnostics[0], /^1:/);
    await e.chooseFile(page, () => s.menu(page, 'ToolButton3', 'MComprobar_casos'), table.casesName, table.cases);
    await page.waitForFunction((n) => document.querySelectorAll('#Mensajes_Fuente li').length === n, diagnostics.length + table.lines.length);
    assert.deepEqual(await e.messages(page), [...diagnostics, ...table.lines]);
    assert.equal(await s.value(page, 'Teclado'), '0000');
    await s.click(page, 'BOnOff');
    await e.activate(page, table.hidden);
    assert.equal(await s.lit(page, 'Lampara_On'), false);
    await e.activate(page, table.failed);
    assert.ok(await s.lit(page, 'Lampara_On'));
    assert.ok(await s.lit(page, 'Lampara_PP'));
    for (const [id, v] of Object.entries(table.prepared)) assert.equal(await s.value(page, id), v, id);
    await page.context().close();
  });
});

describe('files', () => {
  test('memory saved as an object file loads back to the same words and listing', async () => {
    const page = await e.pageWithoutFileAccess(site);
    await s.switchOn(page);
    await typeAndLoad(page, suma);
    const listed = await s.listing(page);
    const words = (await s.memoryRows(page)).slice(0, 5);
    await s.menu(page, 'ToolButton3', 'MGuardar_memoria');
    // The range the source put in memory.
    assert.equal(await page.inputValue('#Desde'), '0000');
    assert.equal(await page.inputValue('#Hasta'), '0004');
    await page.fill('#Hasta', '4000F');
    await page.click('#Guardar');
    assert.equal((await s.takeBox(page)).text, 'Escriba una dirección de 1 a 4 cifras hexadecimales.');
    await page.fill('#Hasta', '0004');
    await page.click('#Guardar');
    await page.fill('#DGuardar_Memoria_Nombre', 'suma_memoria.ehc');
    const file = await e.downloaded(page, () => page.click('#DGuardar_Memoria #Guardar'));
    assert.equal(file.name, 'suma_memoria.ehc');
    // Each word with its source line as the comment, as the assembler writes it.
    assert.match(file.bytes.toString('utf8'), /^0002 6312\s*;.*ADDS R3, R1, R2/m);
    await page.context().close();

    const fresh = await site.page();
    await s.switchOn(fresh);
    await s.loadThroughPicker(fresh, file.name, file.bytes);
    await fresh.waitForSelector('#Listado li');
    assert.deepEqual(await s.listing(fresh), listed);
    assert.deepEqual((await s.memoryRows(fresh)).slice(0, 5), words);
    await fresh.context().close();
  });

  test('without file access: opened by the picker, saved as a download, encoding and line ends kept', async () => {
    const page = await e.pageWithoutFileAccess(site);
    // Windows-1252 with CR LF: "número" is 6E FA 6D 65 72 6F.
    const original = Buffer.from('; n\xfamero\r\n        HALT\r\n', 'latin1');
    await e.chooseFile(page, () => s.menu(page, 'ToolButton3', 'MAbrir_fuente'), 'viejo.asm', original);
    await page.waitForSelector('#TEditorFuente:not([hidden])');
    assert.equal(await e.text(page), '; número\n        HALT\n');
    assert.equal(await page.textContent('#TEditorFuente_titulo'), 'Programa fuente: viejo.asm');
    await e.cursorTo(page, 1, 9);
    await page.keyboard.type(' ñ');
    assert.equal(await page.textContent('#TEditorFuente_titulo'), 'Programa fuente: viejo.asm*');
    // Guardar: no file to write back to, so a name for the download.
    await s.menu(page, 'ToolButton3', 'MGuardar_fuente');
    assert.equal(await page.inputValue('#DGuardar_Fuente_Nombre'), 'viejo.asm');
    const file = await e.downloaded(page, () => page.click('#DGuardar_Fuente #Guardar'));
    assert.deepEqual(file.bytes, Buffer.from('; n\xfamero \xf1\r\n        HALT\r\n', 'latin1'));
    assert.equal(await page.textContent('#TEditorFuente_titulo'), 'Programa fuente: viejo.asm');
    await page.context().close();
  });

  test('with file access: Guardar writes back to the file opened, asking nothing', async () => {
    const context = await site.newContext();
    await context.addInitScript(() => {
      const written = [];
      let saveAsked = 0;
      const handle = {
        name: 'prog.asm',
        getFile: async () => new File(['LLI R1, H\'05\nHALT\n'], 'prog.asm'),
        createWritable: async () => ({
          write: async (data) => written.push([...new Uint8Array(data)]),
          close: async () => {},
        }),
      };
      window.showOpenFilePicker = async () => [handle];
      window.showSaveFilePicker = async () => {
        saveAsked += 1;
        return handle;
      };
      window.filesTouched = () => ({ written, saveAsked });
    });
    const page = await site.page({ context });
    await s.menu(page, 'ToolButton3', 'MAbrir_fuente');
    await page.waitForSelector('#TEditorFuente:not([hidden])');
    await e.cursorTo(page, 2, 5);
    await page.keyboard.type(' ; fin');
    await s.menu(page, 'ToolButton3', 'MGuardar_fuente');
    await page.waitForFunction(() => window.filesTouched().written.length === 1);
    const { written, saveAsked } = await page.evaluate(() => window.filesTouched());
    assert.equal(Buffer.from(written[0]).toString('utf8'), "LLI R1, H'05\nHALT ; fin\n");
    assert.equal(saveAsked, 0);
    await context.close();
  });

  test('the text typed survives a reload', async () => {
    const page = await site.page();
    await e.newSource(page);
    await e.type(page, 'LLI R1, H\'05\nHALT');
    await page.reload();
    await page.waitForSelector('body[data-listo="true"]');
    await s.menu(page, 'ToolButton3', 'MEditor_fuente');
    assert.equal(await e.text(page), "LLI R1, H'05\nHALT");
    assert.equal(await page.textContent('#TEditorFuente_titulo'), 'Programa fuente: sin nombre*');
    await page.context().close();
  });
});

describe('a program shared by link', () => {
  test('the link carries the source; opened, it asks before replacing unsaved work and runs nothing', async () => {
    const context = await site.newContext();
    await context.grantPermissions(['clipboard-read', 'clipboard-write']);
    const page = await site.page({ context });
    await e.newSource(page);
    await e.type(page, suma);
    await s.menu(page, 'ToolButton3', 'MCompartir');
    const copied = await s.takeBox(page);
    assert.equal(copied.text, 'Enlace copiado al portapapeles: quien lo abra verá este programa fuente en su editor.');
    const link = await page.evaluate(() => navigator.clipboard.readText());
    assert.ok(link.startsWith(`${site.address}#fuente=`));
    // Nothing but the page's own address goes anywhere: the source is after '#'.
    assert.ok(!link.slice(0, link.indexOf('#')).includes('fuente'));

    const other = await site.page({ context: await site.newContext() });
    await e.newSource(other);
    await e.type(other, 'HALT');
    await other.goto(link);
    const asked = await s.takeBox(other, 'No');
    assert.equal(asked.text, '¿Guardar los cambios de sin nombre?');
    await other.waitForFunction((n) => document.querySelectorAll('#Texto_Fuente .cm-line').length === n, suma.split('\n').length);
    assert.equal(await e.text(other), suma);
    assert.deepEqual(await s.listing(other), []);
    assert.equal(await s.lit(other, 'Lampara_On'), false);
    await other.context().close();
    await context.close();
  });

  test('a source over 16 KB compressed is too long to share', async () => {
    const page = await site.page();
    await e.newSource(page);
    await page.focus('#Texto_Fuente .cm-content');
    // Random letters do not compress below three quarters of their size.
    await page.keyboard.insertText(`; ${randomBytes(24 * 1024).toString('base64')}`);
    await s.menu(page, 'ToolButton3', 'MCompartir');
    assert.equal((await s.takeBox(page)).text, 'El programa fuente es demasiado largo para compartirlo por enlace: comprimido ocupa más de 16 KB.');
    await page.context().close();
  });
});
