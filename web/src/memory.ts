// Memoria: the memory grid, one word per row, its digits and its text, as
// a view of the machine's memory (the rows in sight only).
import type { Machine } from '@module/orben_web.js';

const kRows = 12;
const kWords = 0xf000;

const hex = (n: number, width: number) => n.toString(16).toUpperCase().padStart(width, '0');

function shown(code: number): string {
  return code >= 0x20 && code < 0x7f ? String.fromCharCode(code) : '.';
}

export class MemoryView {
  private top = 0;

  constructor(
    private readonly grid: HTMLElement,
    private readonly machine: Machine,
  ) {
    grid.addEventListener('wheel', (event) => {
      event.preventDefault();
      this.scroll(Math.sign(event.deltaY) * 3);
    });
    grid.addEventListener('keydown', (event) => {
      const steps: Record<string, number> = { ArrowDown: 1, ArrowUp: -1, PageDown: kRows, PageUp: -kRows };
      if (event.key in steps) {
        event.preventDefault();
        this.scroll(steps[event.key]);
      }
    });
  }

  private scroll(rows: number): void {
    this.top = Math.max(0, Math.min(kWords - kRows, this.top + rows));
    this.draw();
  }

  draw(): void {
    const words = this.machine.memoryWords(this.top, kRows);
    const rows: HTMLElement[] = [];
    for (let r = 0; r < kRows; ++r) {
      const word = words.slice(4 * r, 4 * r + 4);
      const row = document.createElement('div');
      row.setAttribute('role', 'row');
      const address = document.createElement('span');
      address.setAttribute('role', 'rowheader');
      address.textContent = `H${hex(this.top + r, 4)}`;
      const digits = document.createElement('span');
      digits.setAttribute('role', 'gridcell');
      digits.textContent = word;
      const text = document.createElement('span');
      text.setAttribute('role', 'gridcell');
      const value = parseInt(word, 16);
      text.textContent = Number.isNaN(value) ? '' : shown(value >> 8) + shown(value & 0xff);
      row.append(address, digits, text);
      rows.push(row);
    }
    this.grid.replaceChildren(...rows);
    this.grid.dataset.top = hex(this.top, 4);
  }
}
