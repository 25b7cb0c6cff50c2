// TEditorFuente, the source editor: an in-page window with the source's
// text Texto_Fuente, the assembler's messages Mensajes_Fuente and the
// status line Estado_Fuente, over the module's editor (Ide). What it does
// is the Programa menu's items; the rules, the texts and the debugging
// are the module's, the same as the desktop's.
import type { CheckLine, EditorMessage, Ide, IdeState, OrbenModule } from '@module/orben_web.js';
import * as boxes from './boxes';
import { askName } from './save_dialogs';
import { kCancelar, kNo, kYes } from './captions';
import { download, type FileHandle, type Kind, openFile, pickSaveHandle, writeHandle } from './files';
import { element } from './page';
import { SourceText } from './source_text';

const kSourceKind: Kind = { description: 'Programa fuente', extensions: ['.asm', '.ASM', '.s', '.txt'] };
const kCasesKind: Kind = { description: 'Casos', extensions: ['.toml', '.TOML'] };
const kUnnamed = 'sin nombre';
const kKept = 'orben.fuente';

// What a reload keeps of the editor, as it is typed.
interface Kept {
  text: string;
  name: string | null;
  savedText: string;
}

interface Shown {
  text: string;
  line: number;
  column: number;
  error: boolean;
  group: boolean;
  caseIndex: number;
}

export class SourceEditor {
  readonly window: HTMLElement;
  readonly text: SourceText;
  private readonly title: HTMLElement;
  private readonly messages: HTMLElement;
  private readonly steps: HTMLElement;
  private readonly fileName: HTMLElement;
  private shown: Shown[] = [];
  private name: string | null = null;
  private handle: FileHandle | null = null;
  private savedText = '';
  // Whether the text is the one last assembled and loaded.
  private loaded = false;
  private replacing = false;

  constructor(
    private readonly orben: OrbenModule,
    private readonly ide: Ide,
    parent: HTMLElement,
    // After an action the machine took: the page is drawn again.
    private readonly acted: () => void,
  ) {
    this.window = element('section', { id: 'TEditorFuente', class: 'ventana editor', role: 'region', 'aria-label': 'Editor de programa fuente', hidden: '' });
    const bar = element('header', { class: 'barra' });
    this.title = element('h2', { id: 'TEditorFuente_titulo' });
    const closer = element('button', { type: 'button', class: 'cerrar', 'aria-label': 'Cerrar' }, '×');
    closer.addEventListener('click', () => (this.window.hidden = true));
    bar.append(this.title, closer);
    const textBox = element('div', { id: 'Texto_Fuente' });
    this.messages = element('ul', { id: 'Mensajes_Fuente', role: 'listbox', 'aria-label': 'Mensajes del ensamblador', tabindex: '0' });
    const status = element('footer', { id: 'Estado_Fuente' });
    this.steps = element('span', { id: 'Estado_Fuente_Pasos', class: 'seccion', tabindex: '0', 'aria-label': 'Pasos desde Ejecutar' });
    this.fileName = element('span', { id: 'Estado_Fuente_Archivo', class: 'seccion ancha', tabindex: '0', 'aria-label': 'Archivo del programa fuente' });
    status.append(this.steps, this.fileName);
    this.window.append(bar, textBox, this.messages, status);
    parent.append(this.window);
    this.text = new SourceText(textBox, orben, {
      edited: () => this.edited(),
      marginClicked: (line) => this.toggleAtLine(line),
    });
    this.messages.addEventListener('click', (event) => {
      const li = (event.target as HTMLElement).closest<HTMLElement>('li');
      if (li) this.select(Number(li.dataset.index));
    });
    this.messages.addEventListener('dblclick', (event) => this.activate(event.target as HTMLElement));
    this.messages.addEventListener('keydown', (event) => this.messageKey(event));
    this.restore();
    this.update();
  }

  // ---- the text and its name ------------------------------------------------

  get modified(): boolean {
    return this.text.text !== this.savedText;
  }

  // "sin nombre" until the source has a file, then the file's name.
  shownName(): string {
    return this.name ?? kUnnamed;
  }

  show(): void {
    this.window.hidden = false;
  }

  toggleShown(): void {
    this.window.hidden = !this.window.hidden;
  }

  private present(text: string, name: string | null, handle: FileHandle | null): void {
    this.replacing = true;
    this.text.setText(text);
    this.replacing = false;
    this.name = name;
    this.handle = handle;
    this.savedText = text;
    if (this.loaded) this.ide.sourceEdited();
    this.loaded = false;
    this.setMessages([]);
    this.show();
    this.text.view.focus();
    this.keep();
    this.update();
  }

  private edited(): void {
    if (this.replacing) return;
    if (this.loaded) {
      this.loaded = false;
      this.ide.sourceEdited();
    }
    this.keep();
    this.update();
  }

  private keep(): void {
    const kept: Kept = { text: this.text.text, name: this.name, savedText: this.savedText };
    try {
      localStorage.setItem(kKept, JSON.stringify(kept));
    } catch {
      // Storage refused: the text is not kept.
    }
  }

  private restore(): void {
    try {
      const kept = JSON.parse(localStorage.getItem(kKept) ?? 'null') as Kept | null;
      if (!kept || typeof kept.text !== 'string') return;
      this.replacing = true;
      this.text.setText(kept.text);
      this.replacing = false;
      this.name = typeof kept.name === 'string' ? kept.name : null;
      this.savedText = typeof kept.savedText === 'string' ? kept.savedText : '';
    } catch {
      // Nothing kept, or not readable: an empty source.
    }
  }

  // Before the source is replaced: an unsaved source asks whether to save
  // it. False when the user chose Cancelar (or the save did not happen).
  async settleChanges(): Promise<boolean> {
    if (!this.modified) return true;
    const answer = await boxes.box(boxes.kTitle, `¿Guardar los cambios de ${this.shownName()}?`, [kYes, kNo, kCancelar]);
    if (answer === kYes) return this.save();
    return answer === kNo;
  }

  // ---- Programa: files -----------------------------------------------------

  async newSource(): Promise<void> {
    if (!(await this.settleChanges())) return;
    this.ide.newSource();
    this.present('', null, null);
  }

  async open(): Promise<void> {
    if (!(await this.settleChanges())) return;
    const file = await openFile(kSourceKind, 'DAbrir_Fuente', 'Abrir programa fuente');
    if (!file) return;
    this.present(this.ide.open(file.bytes), file.name, file.handle);
  }

  // A shared source: in the editor without a name, as typed; nothing runs.
  async openShared(source: string): Promise<void> {
    if (!(await this.settleChanges())) return;
    this.ide.newSource();
    this.present('', null, null);
    this.replacing = true;
    this.text.setText(source);
    this.replacing = false;
    this.keep();
    this.update();
  }

  async save(): Promise<boolean> {
    if (this.handle) return this.writeTo(this.handle, this.handle.name);
    return this.saveAs();
  }

  async saveAs(): Promise<boolean> {
    const suggested = this.name ?? `${kUnnamed}.asm`;
    const picked = await pickSaveHandle(kSourceKind, suggested);
    if (picked.cancelled) return false;
    if (picked.handle) return this.writeTo(picked.handle, picked.handle.name);
    const name = await askName('DGuardar_Fuente', 'Guardar programa fuente como', suggested);
    if (!name) return false;
    return this.writeTo(null, name);
  }

  private async writeTo(handle: FileHandle | null, name: string): Promise<boolean> {
    const text = this.text.text;
    const bytes = this.ide.bytesFor(text);
    try {
      if (handle) await writeHandle(handle, bytes);
      else download(bytes, name);
    } catch (e) {
      await boxes.message(`No se pudo escribir ${name}: ${(e as Error).message}`);
      return false;
    }
    this.ide.saved(text);
    this.savedText = text;
    this.name = name;
    this.handle = handle;
    this.keep();
    this.update();
    return true;
  }

  // ---- Programa: assembling and debugging -------------------------------------

  assembleAndLoad(): void {
    const name = this.name ?? `${kUnnamed}.asm`;
    const load = this.ide.assemble(this.text.text, name, this.text.breakpointLines());
    this.setMessages(load.messages.map(plain));
    if (load.loaded) {
      this.loaded = true;
      this.text.setBreakpointLines(load.breakpointLines);
      this.text.setLineAtPC(load.lineAtPC);
    } else {
      this.show();
      const first = this.shown.findIndex((m) => m.error);
      if (first >= 0) {
        this.select(first);
        this.goTo(this.shown[first]);
      }
    }
    this.acted();
  }

  toggleBreakpoint(): void {
    this.toggleAtLine(this.text.cursorLine());
  }

  private toggleAtLine(line: number): void {
    const toggled = this.ide.toggleAtLine(line);
    // Not loaded as it stands: the mark waits for Ensamblar y cargar.
    if (toggled) this.text.setBreakpoint(toggled.line, toggled.set);
    else this.text.setBreakpoint(line, !this.text.breakpointLines().includes(line));
    this.acted();
  }

  // The same from the listing: the breakpoint at `address`.
  toggleAtAddress(address: number): void {
    const toggled = this.ide.toggleAtAddress(address);
    if (toggled.line > 0) this.text.setBreakpoint(toggled.line, toggled.set);
    this.acted();
  }

  runToCursor(): void {
    this.ide.runToLine(this.text.cursorLine());
    this.acted();
  }

  stepBack(): void {
    this.ide.stepBack();
    this.acted();
  }

  // What the debugging told: the checks listed, the line at PC marked.
  follow(state: IdeState, checks: EditorMessage[]): void {
    if (checks.length > 0) this.addMessages(checks.map(plain));
    this.text.setLineAtPC(state.lineAtPC);
    this.steps.textContent = `Pasos: ${state.steps}`;
  }

  // ---- Comprobar con casos -------------------------------------------------------

  async checkCases(): Promise<void> {
    if (!this.ide.state().hasProgram) {
      await boxes.message(this.orben.loadAProgramFirst);
      return;
    }
    const file = await openFile(kCasesKind, 'DAbrir_Casos', 'Comprobar con casos');
    if (!file) return;
    this.showGroup(this.ide.checkCases(file.name, file.bytes));
    this.acted();
  }

  private showGroup(lines: CheckLine[]): void {
    this.shown = this.shown.filter((m) => !m.group);
    for (const line of lines) {
      this.shown.push({ text: line.text, line: 0, column: 0, error: line.failed, group: true, caseIndex: line.caseIndex });
    }
    this.drawMessages();
    this.show();
  }

  // ---- Mensajes_Fuente -------------------------------------------------------------

  private setMessages(messages: Shown[]): void {
    this.shown = messages;
    this.drawMessages();
  }

  private addMessages(messages: Shown[]): void {
    this.shown.push(...messages);
    this.drawMessages();
  }

  private drawMessages(): void {
    this.messages.replaceChildren(
      ...this.shown.map((m, i) => {
        const li = element('li', { id: `Mensajes_Fuente_${i}`, role: 'option', 'aria-selected': 'false' }, m.text);
        li.dataset.index = String(i);
        li.className = m.error ? 'error' : m.group ? 'grupo' : 'aviso';
        return li;
      }),
    );
    this.messages.lastElementChild?.scrollIntoView({ block: 'nearest' });
  }

  private select(index: number): void {
    for (const li of this.messages.children) li.setAttribute('aria-selected', 'false');
    const li = this.messages.children[index];
    if (!li) return;
    li.setAttribute('aria-selected', 'true');
    this.messages.setAttribute('aria-activedescendant', li.id);
    li.scrollIntoView({ block: 'nearest' });
  }

  private selected(): number {
    const li = this.messages.querySelector('[aria-selected="true"]') as HTMLElement | null;
    return li ? Number(li.dataset.index) : -1;
  }

  private messageKey(event: KeyboardEvent): void {
    const steps: Record<string, number> = { ArrowDown: 1, ArrowUp: -1 };
    if (event.key in steps) {
      event.preventDefault();
      this.select(Math.max(0, Math.min(this.shown.length - 1, this.selected() + steps[event.key])));
    } else if (event.key === 'Enter') {
      event.preventDefault();
      const li = this.messages.children[this.selected()] as HTMLElement | undefined;
      if (li) this.activate(li);
    }
  }

  // A message's line in the text, or a failing case prepared for stepping.
  private activate(target: HTMLElement): void {
    const li = target.closest<HTMLElement>('li');
    if (!li) return;
    const index = Number(li.dataset.index);
    this.select(index);
    const m = this.shown[index];
    if (!m) return;
    if (m.group) {
      if (m.caseIndex >= 0 && this.ide.prepareCase(m.caseIndex)) this.acted();
      return;
    }
    this.goTo(m);
  }

  private goTo(m: Shown): void {
    if (m.line > 0) this.text.moveCursorTo(m.line, m.column);
  }

  private update(): void {
    this.title.textContent = `Programa fuente: ${this.shownName()}${this.modified ? '*' : ''}`;
    this.fileName.textContent = this.shownName();
    this.steps.textContent = `Pasos: ${this.ide.state().steps}`;
  }
}

function plain(m: EditorMessage): Shown {
  return { ...m, group: false, caseIndex: -1 };
}
