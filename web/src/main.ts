// The page's controller: builds the window, makes every click one call
// into the machine, shows the machine's boxes one after another and runs
// the step timer at the chosen pace, drawing once a frame.
import createOrben from '@module/orben_web.js';
import type { Box, MachineState } from '@module/orben_web.js';
import wasmUrl from '@module/orben_web.wasm?url';
import * as boxes from './boxes';
import { kDigits, kFlagLetters, kShareCopied, kShareShown, kShareTooLong } from './captions';
import { kPortLook, SegmentDisplay } from './display';
import { MemoryView } from './memory';
import { keepOffline } from './offline';
import { buildPage } from './page';
import { saveMemory } from './memory_save';
import { PortWindows } from './ports';
import { sharedSource, shareLink } from './share';
import { SourceEditor } from './source_editor';
import { Stored } from './stored';
import './style.css';

const orben = await createOrben({ locateFile: () => wasmUrl });
const machine = new orben.Machine(Date.now());
const texts = orben.texts();
const root = document.getElementById('TForm1') as HTMLElement;
const page = buildPage(orben, root);
const memory = new MemoryView(document.getElementById('Memoria') as HTMLElement, orben, machine, () => act(() => undefined));
const cellOf = new Map<string, number>();
for (const id of page.displays.keys()) cellOf.set(id, orben.cellOf(id));
const ide = new orben.Ide(machine);
const editor = new SourceEditor(orben, ide, document.body, () => act(() => undefined));

const byId = <T extends HTMLElement = HTMLElement>(id: string) => document.getElementById(id) as T;
const kPanelControls = ['BPasoPaso', 'BDireccion', 'BRegistros', 'BCargar', 'BEjecutar', 'BContinuar', ...[...kDigits].map((d) => `T${d}`)];

// ---- drawing ------------------------------------------------------------

let listingRevision = -1;
let state: MachineState = machine.state();

function setLit(container: string, lit: boolean): void {
  const lamp = byId(container);
  lamp.dataset.lit = String(lit);
  lamp.setAttribute('aria-checked', String(lit));
}

function drawListing(): void {
  const lines = machine.listingLines();
  page.listing.replaceChildren(
    ...lines.map((text, i) => {
      const li = document.createElement('li');
      li.setAttribute('role', 'option');
      li.setAttribute('aria-selected', 'false');
      li.id = `Listado_${i}`;
      li.textContent = text;
      return li;
    }),
  );
  page.listing.dataset.lines = String(lines.length);
}

function drawSelection(): void {
  const previous = page.listing.querySelector('[aria-selected="true"]');
  const current = state.listingSelected >= 0 ? page.listing.children[state.listingSelected] : null;
  if (previous === current) return;
  previous?.setAttribute('aria-selected', 'false');
  if (current) {
    current.setAttribute('aria-selected', 'true');
    page.listing.setAttribute('aria-activedescendant', current.id);
    current.scrollIntoView({ block: 'nearest' });
  } else {
    page.listing.removeAttribute('aria-activedescendant');
  }
  page.listing.dataset.lineaPc = current ? String(state.listingSelected) : '';
}

function draw(): void {
  state = machine.state();
  const cells = machine.cells();
  for (const [id, display] of page.displays) display.show(cells[cellOf.get(id) ?? 0] ?? '');
  ports.draw(cells);
  setLit('Lampara_On', state.powerOn);
  setLit('Lampara_PP', state.stepLamp);
  kFlagLetters.forEach((f, i) => {
    const set = state.flags[i] === f;
    setLit(`Lampara_${f}`, set);
    setLit(`Lampara_P${f}`, set);
  });
  for (const id of kPanelControls) byId<HTMLButtonElement>(id).disabled = !state.powerOn;
  byId<HTMLButtonElement>('MModoPasoapaso').disabled = !state.powerOn;
  byId('MApagar_TUKA2').textContent = state.powerCaption;
  byId('MModoPasoapaso').textContent = state.stepCaption;
  byId('Mododesensamblador1').textContent = state.disassemblerCaption;
  byId('MInicializar_memoria_al_Encender_TUKA2').setAttribute('aria-checked', String(state.initMemoryAtPowerOn));
  if (state.listingRevision !== listingRevision) {
    listingRevision = state.listingRevision;
    drawListing();
  }
  drawSelection();
  drawDebugging();
  memory.draw();
}

// What the source's debugging told: the editor follows it; after a step
// forward or back, each display, flag lamp and memory row it changed
// carries data-cambiado="true" until the next step.
function drawDebugging(): void {
  const told = ide.takeTold();
  const debugging = ide.state();
  editor.follow(debugging, told.checks);
  byId<HTMLButtonElement>('MPaso_atras').disabled = !debugging.canStepBack;
  byId<HTMLButtonElement>('MGuardar_memoria').disabled = !state.powerOn;
  if (!told.stepped) return;
  const cells = new Set(told.changes.cells);
  for (const [id, display] of page.displays) display.canvas.dataset.cambiado = String(cells.has(cellOf.get(id) ?? -1));
  for (const f of kFlagLetters) {
    const changed = String(told.changes.flags.includes(f));
    byId(`Lampara_${f}`).dataset.cambiado = changed;
    byId(`Lampara_P${f}`).dataset.cambiado = changed;
  }
  memory.setChangedRows(told.changes.words);
}

// ---- the machine's boxes, one after another ------------------------------

const waiting: Box[] = [];
let showingBoxes = false;

async function showBoxes(): Promise<void> {
  waiting.push(...machine.takeMessages());
  if (showingBoxes || waiting.length === 0) return;
  showingBoxes = true;
  while (waiting.length > 0) {
    const next = waiting.shift() as Box;
    const answer = await boxes.message(next.text, next.skipRest ? texts.skipRest : undefined);
    // "Omitir los demás avisos": no more of this command's alike boxes.
    if (answer === texts.skipRest) {
      for (let i = waiting.length - 1; i >= 0; --i) if (waiting[i].skipRest) waiting.splice(i, 1);
    }
  }
  showingBoxes = false;
  // The time a box stood open is owed no ticks.
  timer.restart();
}

// One user action: the call, then the new picture and the boxes it made.
function act(call: () => void): void {
  call();
  draw();
  void showBoxes();
}

// ---- the step timer -------------------------------------------------------

class StepTimer {
  private start = 0;
  private done = 0;
  private interval = 0;
  private wasRunning = false;

  restart(): void {
    this.wasRunning = false;
  }

  // Once a frame: the ticks owed since the run began, one instruction per
  // interval, then the picture. Paused while a box is open.
  frame(now: number): void {
    if (!state.running || showingBoxes) {
      this.wasRunning = false;
      return;
    }
    if (!this.wasRunning || this.interval !== state.stepInterval) {
      this.wasRunning = true;
      this.start = now;
      this.done = 0;
      this.interval = state.stepInterval;
      return;
    }
    const owed = Math.min(Math.floor((now - this.start) / this.interval) - this.done, 100000);
    if (owed <= 0) return;
    const executed = machine.tick(owed);
    this.done += owed;
    if (executed < owed || machine.state().running === false) this.wasRunning = false;
    draw();
    void showBoxes();
  }
}

const timer = new StepTimer();
function frame(now: number): void {
  timer.frame(now);
  requestAnimationFrame(frame);
}

// ---- the port windows ------------------------------------------------------

const ports = new PortWindows(orben, root, kPortLook, SegmentDisplay, (name) => editDisplay(name));

// ---- controls ---------------------------------------------------------------

async function editDisplay(name: string): Promise<void> {
  if (!machine.state().powerOn) return act(() => machine.editDisplay(name, ''));
  const answer = await boxes.askValue(() => new SegmentDisplay(orben, 'Editor', 'Editor', kPortLook, 54, 21));
  act(() => machine.editDisplay(name, answer ?? ''));
}

const clicks: Record<string, () => void | Promise<void>> = {
  BOnOff: () => act(() => machine.togglePower()),
  BPasoPaso: () => act(() => machine.toggleStepMode()),
  BDireccion: () => act(() => machine.selectAddress()),
  BRegistros: () => act(() => machine.selectRegisters()),
  BCargar: () => act(() => machine.storeKeypadValue()),
  BEjecutar: () => act(() => machine.execute()),
  BContinuar: () => act(() => machine.continueExecution()),
  Cargarprogramaobjeto1: () => {
    act(() => machine.openLoad());
    fileInput.value = '';
    fileInput.click();
  },
  MSalir_de_ORBEN: () => {
    window.close();
    document.body.dataset.cerrado = 'true';
    root.hidden = true;
  },
  EsconderMostrarelPanelInternodeTUKA21: () => {
    page.internal.hidden = !page.internal.hidden;
  },
  InicializarMemoria1: () => act(() => machine.initialiseMemory()),
  MInicializar_memoria_al_Encender_TUKA2: () => act(() => machine.toggleInitMemoryAtPowerOn()),
  MEsconderMostrarlosregistrosdeentrada1: () => act(() => ports.toggle('TForm2')),
  EsconderMostrarpuertosdesalida1: () => act(() => ports.toggle('TForm3')),
  VelocidaddeejecucinenmodoPP1: async () => {
    const item = await boxes.askSpeed(texts.speedTitle, texts.speedPrompt, texts.speedChoices, machine.state().speedItem);
    act(() => machine.chooseSpeed(item ?? 0, item !== null));
    stored.saveSpeed(machine.state().speedItem);
  },
  Mododesensamblador1: async () => {
    const yes = machine.state().disassemblerMode || (await boxes.askYesNo(texts.disassemblerTitle, texts.disassemblerQuestion));
    act(() => machine.toggleDisassemblerMode(yes));
  },
  MApagar_TUKA2: () => act(() => machine.togglePower()),
  MModoPasoapaso: () => act(() => machine.toggleStepMode()),
  MNuevo_fuente: () => editor.newSource(),
  MAbrir_fuente: () => editor.open(),
  MGuardar_fuente: async () => void (await editor.save()),
  MGuardar_fuente_como: async () => void (await editor.saveAs()),
  MEnsamblar_y_cargar: () => editor.assembleAndLoad(),
  MComprobar_casos: () => editor.checkCases(),
  MPunto_de_parada: () => toggleBreakpoint(),
  MEjecutar_hasta_cursor: () => editor.runToCursor(),
  MPaso_atras: () => editor.stepBack(),
  MGuardar_memoria: async () => {
    await saveMemory(ide);
    draw();
  },
  MEditor_fuente: () => editor.toggleShown(),
  MCompartir: () => share(),
};

// F2: on the listing's marked line when the listing has the focus, else
// on the editor's line.
function toggleBreakpoint(): void {
  const line = page.listing.querySelector('[aria-selected="true"]');
  const address = /^\[([0-9A-F]{4})\]/.exec(line?.textContent ?? '');
  if (document.activeElement === page.listing && address) editor.toggleAtAddress(parseInt(address[1], 16));
  else editor.toggleBreakpoint();
}

// Compartir enlace: the link on the clipboard, or shown when it cannot go
// there; a source too long for a link says so.
async function share(): Promise<void> {
  const link = await shareLink(editor.text.text, location.href);
  if (link === null) {
    await boxes.message(kShareTooLong);
    return;
  }
  try {
    await navigator.clipboard.writeText(link);
    document.body.dataset.enlace = link;
    await boxes.message(kShareCopied);
  } catch {
    document.body.dataset.enlace = link;
    await boxes.message(`${kShareShown}\r${link}`);
  }
}

// The shortcuts of the Programa menu, from any part of the page.
const kShortcuts: Record<string, string> = { F9: 'MEnsamblar_y_cargar', F2: 'MPunto_de_parada', F4: 'MEjecutar_hasta_cursor' };
for (const digit of kDigits) clicks[`T${digit}`] = () => act(() => machine.pressKey(digit));
for (const id of ['PPC', 'Teclado', 'PC', 'IP1', 'IP2', ...[...kDigits].map((d) => `R${d}`)]) {
  clicks[id] = () => editDisplay(id);
}
for (const f of kFlagLetters) {
  clicks[`Lampara_${f}`] = () => act(() => machine.toggleFlag(f));
  clicks[`Lampara_P${f}`] = () => act(() => machine.toggleFlag(f));
}

function closeMenus(): void {
  for (const menu of document.querySelectorAll<HTMLElement>('[role="menu"]')) menu.hidden = true;
  for (const b of document.querySelectorAll('[aria-haspopup="menu"]')) b.setAttribute('aria-expanded', 'false');
}

root.addEventListener('click', (event) => {
  const target = (event.target as HTMLElement).closest<HTMLElement>('[id]');
  if (!target) return;
  if (target.getAttribute('aria-haspopup') === 'menu') {
    const menu = target.nextElementSibling as HTMLElement;
    const open = menu.hidden;
    closeMenus();
    menu.hidden = !open;
    target.setAttribute('aria-expanded', String(open));
    if (open) (menu.querySelector('button:not([disabled])') as HTMLElement | null)?.focus();
    return;
  }
  const lamp = target.closest<HTMLElement>('.lampara');
  const id = lamp ? lamp.id : target.id;
  const handler = clicks[id];
  if (!handler || (target as HTMLButtonElement).disabled) return;
  closeMenus();
  void handler();
});

document.addEventListener(
  'keydown',
  (event) => {
    if (document.querySelector('dialog[open]') || event.altKey || event.metaKey) return;
    const item = event.ctrlKey ? (event.key === 'Backspace' ? 'MPaso_atras' : undefined) : kShortcuts[event.key];
    // A disabled item leaves its key to the control with the focus (Ctrl+
    // Backspace then deletes a word in the editor), as on the desktop.
    if (!item || event.shiftKey || byId<HTMLButtonElement>(item).disabled) return;
    event.preventDefault();
    event.stopPropagation();
    if (!event.repeat) void clicks[item]();
  },
  { capture: true },
);

document.addEventListener('keydown', (event) => {
  if (document.querySelector('dialog[open]')) return;
  if (event.key === 'Escape') closeMenus();
  const focused = document.activeElement as HTMLElement | null;
  if ((event.key === 'Enter' || event.key === ' ') && focused && !event.repeat) {
    const id = focused.classList.contains('lampara') ? focused.id : focused.tagName === 'CANVAS' ? focused.id : '';
    if (id && clicks[id]) {
      event.preventDefault();
      void clicks[id]();
      return;
    }
  }
  if (!event.altKey || event.ctrlKey || event.metaKey || event.repeat) return;
  const match = /^(?:Key|Digit)([0-9A-Z])$/.exec(event.code);
  if (!match) return;
  const button = root.querySelector<HTMLButtonElement>(`button[data-accelerator="${match[1]}"]:not([disabled])`);
  if (!button) return;
  event.preventDefault();
  button.focus();
  button.click();
});

// ---- object files: the file picker and a drop on the page ------------------

const fileInput = document.createElement('input');
fileInput.type = 'file';
fileInput.id = 'DAbrir';
fileInput.accept = '.EHC,.ehc,.HEX,.hex';
fileInput.title = texts.objectFileTitle;
fileInput.hidden = true;
document.body.append(fileInput);

// At most one byte more than the largest file the machine takes is read:
// enough for it to refuse a larger one.
async function readChosen(file: File): Promise<Uint8Array> {
  return new Uint8Array(await file.slice(0, texts.largestObject + 1).arrayBuffer());
}

async function load(file: File, clearFirst: boolean): Promise<void> {
  const bytes = await readChosen(file);
  let read = false;
  act(() => {
    if (clearFirst) machine.openLoad();
    const outcome = machine.loadChosen(file.name, bytes);
    ide.objectLoaded(file.name, bytes, outcome);
    read = orben.fileWasRead(outcome);
  });
  // What a reload brings back: a file the machine refused keeps the last.
  if (read) stored.saveProgram(file.name, bytes);
}

fileInput.addEventListener('change', () => {
  const file = fileInput.files?.[0];
  if (file) void load(file, false);
});
document.addEventListener('dragover', (event) => event.preventDefault());
document.addEventListener('drop', (event) => {
  event.preventDefault();
  const file = event.dataTransfer?.files[0];
  if (file) void load(file, true);
});

// ---- start ------------------------------------------------------------------

const stored = new Stored();
const speed = stored.speed();
if (speed !== null) machine.chooseSpeed(speed, true);
// The program kept comes back as it was loaded, into a TUKA-2 switched
// on: switched on after it, the power-on would fill memory over it.
const program = stored.program();
if (program) {
  machine.togglePower();
  ide.objectLoaded(program.name, program.bytes, machine.loadChosen(program.name, program.bytes));
}
draw();
void showBoxes();
requestAnimationFrame(frame);

// A shared program's link: its source into the editor, nothing run.
async function openSharedLink(): Promise<void> {
  const source = await sharedSource(location.hash);
  if (source === null) return;
  history.replaceState(null, '', location.pathname + location.search);
  await editor.openShared(source);
}
window.addEventListener('hashchange', () => void openSharedLink());
await openSharedLink();
document.body.dataset.listo = 'true';
keepOffline();
