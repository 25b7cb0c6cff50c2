// Memoria: the memory grid, one word per row, its digits and its text, as
// a view of the machine's memory (the rows in sight only). The keys follow
// the grid's own table in the module: a hexadecimal digit over the digit
// under the caret, a printable character over the byte in the text, the
// caret keys, Tab between the areas; each key-down and key-up is told to
// the machine, which lists an edited word again in the disassembler mode.
import type { GridCaret, Machine, OrbenModule } from '@module/orben_web.js';

const kRows = 12;
const kWords = 0xf000;

const hex = (n: number, width: number) => n.toString(16).toUpperCase().padStart(width, '0');

function shown(code: number): string {
  return code >= 0x20 && code <= 0x7f ? String.fromCharCode(code) : '.';
}

export class MemoryView {
  private top = 0;
  private caret: GridCaret = { byte: 0, area: 0, nibble: 0 };
  // The bytes the user's typing changed, marked until Insert or until the
  // whole memory is replaced.
  private marked = new Set<number>();
  private revision = -1;
  // The rows the last step changed, framed until the next step.
  private changedRows = new Set<number>();

  constructor(
    private readonly grid: HTMLElement,
    private readonly orben: OrbenModule,
    private readonly machine: Machine,
    // After a key the machine acted on: the page is drawn again.
    private readonly acted: () => void,
  ) {
    grid.addEventListener('wheel', (event) => {
      event.preventDefault();
      this.scrollTo(this.top + Math.sign(event.deltaY) * 3);
      this.draw();
    });
    grid.addEventListener('keydown', (event) => this.keyDown(event));
    // Every key's release, as the desktop's grid tells its window.
    grid.addEventListener('keyup', () => {
      this.orben.gridKeyUp(this.machine);
      this.acted();
    });
    grid.addEventListener('focus', () => this.draw());
    grid.addEventListener('blur', () => this.draw());
    grid.addEventListener('mousedown', (event) => {
      const cell = (event.target as HTMLElement).closest<HTMLElement>('[data-byte]');
      if (!cell) return;
      this.caret = { byte: Number(cell.dataset.byte), area: Number(cell.dataset.area), nibble: Number(cell.dataset.nibble) };
      this.draw();
    });
  }

  setChangedRows(rows: number[]): void {
    this.changedRows = new Set(rows);
  }

  private scrollTo(row: number): void {
    this.top = Math.max(0, Math.min(kWords - kRows, row));
  }

  // The caret's row brought into sight.
  private follow(): void {
    const row = Math.floor(this.caret.byte / 2);
    if (row < this.top) this.scrollTo(row);
    else if (row >= this.top + kRows) this.scrollTo(row - kRows + 1);
  }

  private keyDown(event: KeyboardEvent): void {
    // The browser keeps Ctrl+Tab: Tab from the text and Shift+Tab from
    // the digits leave the grid; Ctrl+T switches areas both ways.
    if (event.key === 'Tab' && event.shiftKey !== (this.caret.area === 1)) return;
    if (event.altKey || event.metaKey) return;
    const switchArea = event.key === 'Tab' || (event.ctrlKey && event.key.toLowerCase() === 't');
    const paging = !event.ctrlKey && (event.key === 'PageUp' || event.key === 'PageDown');
    const moved = this.orben.gridMove(this.machine, this.caret, switchArea ? 'Tab' : event.key, event.ctrlKey, this.top, kRows);
    if (moved) {
      event.preventDefault();
      if (paging) this.scrollTo(this.top + (event.key === 'PageUp' ? -kRows : kRows));
      this.caret = moved;
      this.follow();
      this.draw();
      return;
    }
    if (event.ctrlKey) return;
    this.orben.gridKeyDown(this.machine, this.caret.byte);
    if (event.key === 'Backspace') {
      event.preventDefault();
      this.caret = this.orben.gridBack(this.machine, this.caret);
    } else if (event.key === 'Insert') {
      this.marked.clear();
    } else if (event.key.length === 1) {
      event.preventDefault();
      const typed = this.orben.gridType(this.machine, this.caret, event.key);
      if (typed) {
        if (typed.changed) this.marked.add(this.caret.byte);
        this.caret = typed.caret;
      }
    }
    this.follow();
    this.acted();
  }

  private cell(row: number, column: number, text: string, label: string): HTMLElement {
    const cell = document.createElement('span');
    cell.setAttribute('role', 'gridcell');
    cell.id = `Memoria_${row}_${column}`;
    cell.setAttribute('aria-label', `${label} ${text}`);
    return cell;
  }

  private character(text: string, byte: number, area: number, nibble: number): HTMLElement {
    const c = document.createElement('span');
    c.textContent = text;
    c.dataset.byte = String(byte);
    c.dataset.area = String(area);
    c.dataset.nibble = String(nibble);
    const { caret } = this;
    if (caret.byte === byte) {
      const here = caret.area === area && (area === 1 || caret.nibble === nibble);
      c.className = here && document.activeElement === this.grid ? 'cursor' : 'marco';
    }
    if (this.marked.has(byte) && !c.classList.contains('cursor')) c.classList.add('cambiada');
    return c;
  }

  draw(): void {
    const revision = this.machine.state().memoryRevision;
    if (revision !== this.revision) {
      this.revision = revision;
      this.marked.clear();
      this.caret = { byte: 0, area: 0, nibble: 0 };
      this.top = 0;
    }
    const words = this.machine.memoryWords(this.top, kRows);
    const rows: HTMLElement[] = [];
    for (let r = 0; r < kRows; ++r) {
      const address = this.top + r;
      const word = words.slice(4 * r, 4 * r + 4);
      const row = document.createElement('div');
      row.setAttribute('role', 'row');
      if (this.changedRows.has(address)) row.dataset.cambiado = 'true';
      const label = `H${hex(address, 4)}:`;
      const header = document.createElement('span');
      header.setAttribute('role', 'rowheader');
      header.textContent = label;
      const value = parseInt(word, 16);
      const bytes = Number.isNaN(value) ? [] : [value >> 8, value & 0xff];
      const text = bytes.map(shown).join('');
      const digits = this.cell(address, 0, word, label);
      const letters = this.cell(address, 1, text, label);
      bytes.forEach((b, i) => {
        const at = 2 * address + i;
        digits.append(this.character(hex(b, 2)[0], at, 0, 0), this.character(hex(b, 2)[1], at, 0, 1));
        letters.append(this.character(shown(b), at, 1, 0));
      });
      row.append(header, digits, letters);
      rows.push(row);
    }
    this.grid.replaceChildren(...rows);
    this.grid.dataset.top = hex(this.top, 4);
    const caretRow = Math.floor(this.caret.byte / 2);
    this.grid.dataset.caret = `${hex(this.caret.byte, 5)}:${this.caret.area}:${this.caret.nibble}`;
    if (caretRow >= this.top && caretRow < this.top + kRows) {
      this.grid.setAttribute('aria-activedescendant', `Memoria_${caretRow}_${this.caret.area}`);
    } else {
      this.grid.removeAttribute('aria-activedescendant');
    }
  }
}
