// TForm2 and TForm3: the first 64 input and output ports, in-page windows
// that the Entorno menu hides and shows. Two pages each, 0..1F and 20..3F,
// four columns of eight ports.
import type { OrbenModule } from '@module/orben_web.js';
import { kPortHint } from './captions';
import type { Look, SegmentDisplay } from './display';
import { element } from './page';

type DisplayClass = typeof SegmentDisplay;

interface Kind {
  id: string;
  title: string;
  prefix: string;
  spoken: string;
  input: boolean;
}

const kKinds: Kind[] = [
  { id: 'TForm2', title: 'Los 64 primeros puertos de entrada:', prefix: 'PIN_', spoken: 'Puerto de entrada ', input: true },
  { id: 'TForm3', title: 'Los 64 primeros puertos de salida:', prefix: 'PO_', spoken: 'Puerto de salida ', input: false },
];

const hex2 = (n: number) => n.toString(16).toUpperCase().padStart(2, '0');

export class PortWindows {
  private readonly displays: [SegmentDisplay, number][] = [];

  constructor(orben: OrbenModule, root: HTMLElement, look: Look, Display: DisplayClass, edit: (name: string) => void) {
    for (const kind of kKinds) {
      const win = element('section', { id: kind.id, class: 'ventana', role: 'dialog', 'aria-labelledby': `${kind.id}_titulo`, hidden: '' });
      const bar = element('header', { class: 'barra' });
      bar.append(element('h2', { id: `${kind.id}_titulo` }, kind.title));
      const closer = element('button', { type: 'button', class: 'cerrar', 'aria-label': 'Cerrar' }, '×');
      closer.addEventListener('click', () => (win.hidden = true));
      bar.append(closer);
      win.append(bar);
      const tabs = element('div', { id: `${kind.id}_PageControl1`, class: 'pestanas', role: 'tablist' });
      const sheets: HTMLElement[] = [];
      ['0..1F', '20..3F'].forEach((caption, page) => {
        const tab = element('button', { type: 'button', role: 'tab', 'aria-selected': String(page === 0) }, caption);
        const sheet = element('div', { id: `${kind.id}_TabSheet${page + 1}`, class: 'hoja', role: 'tabpanel' });
        if (page > 0) sheet.hidden = true;
        for (let column = 0; column < 4; ++column) {
          for (let row = 0; row < 8; ++row) {
            const port = 32 * page + 8 * column + row;
            const name = `${kind.prefix}${hex2(port)}`;
            const cell = element('div', { id: `Panel_${name}`, class: 'puerto' });
            cell.style.gridColumn = String(column + 1);
            cell.style.gridRow = String(row + 1);
            const highlighted = port === 1 || (!kind.input && port === 2);
            cell.append(element('span', { id: `Label_${name}`, class: highlighted ? 'numero destacado' : 'numero' }, hex2(port)));
            const d = new Display(orben, name, `${kind.spoken}${hex2(port)}`, look, kind.input && port === 0 ? 55 : 54, 21);
            if (kind.input) {
              d.canvas.tabIndex = 0;
              d.canvas.setAttribute('role', 'button');
              d.canvas.classList.add('editable');
              d.canvas.addEventListener('click', () => edit(name));
              d.canvas.addEventListener('keydown', (event) => {
                if ((event.key === 'Enter' || event.key === ' ') && !event.repeat) {
                  event.preventDefault();
                  event.stopPropagation();
                  edit(name);
                }
              });
            }
            cell.append(d.canvas);
            sheet.append(cell);
            this.displays.push([d, orben.cellOf(name)]);
          }
        }
        if (kind.input) sheet.append(element('p', { id: `Ayuda_${kind.id}_TabSheet${page + 1}`, class: 'ayuda' }, kPortHint));
        tab.addEventListener('click', () => {
          sheets.forEach((s, i) => (s.hidden = i !== page));
          for (const t of tabs.children) t.setAttribute('aria-selected', String(t === tab));
        });
        tabs.append(tab);
        sheets.push(sheet);
      });
      win.append(tabs, ...sheets);
      root.append(win);
    }
  }

  toggle(id: string): void {
    const win = document.getElementById(id) as HTMLElement;
    win.hidden = !win.hidden;
  }

  draw(cells: string[]): void {
    // Hidden windows too: a display draws again only when its value changes.
    for (const [display, cell] of this.displays) display.show(cells[cell] ?? '');
  }
}
