// The main window's regions, built once: toolbar and menus, the front
// panel with the listing beside it, the internal panel, the status bar.
// Every element that stands for a desktop control has its object name as
// its id.
import type { OrbenModule } from '@module/orben_web.js';
import {
  kDigits,
  kFlagLetters,
  kFrontPageCaption,
  kFrontPanelCaption,
  kInternalPanelCaption,
  kKeypadHint,
  kMenus,
  kPanelButtons,
  kPowerHint,
  kVersionSection,
  shownShortcut,
} from './captions';
import { kPanelLook, SegmentDisplay } from './display';

export function element<K extends keyof HTMLElementTagNameMap>(
  tag: K,
  attributes: Record<string, string> = {},
  text?: string,
): HTMLElementTagNameMap[K] {
  const e = document.createElement(tag);
  for (const [k, v] of Object.entries(attributes)) e.setAttribute(k, v);
  if (text !== undefined) e.textContent = text;
  return e;
}

// A picture the windows draw, kept in the site as pictures/NAME.png.
export function picture(name: string, id?: string): HTMLImageElement {
  const img = element('img', { src: `pictures/${name}.png`, alt: '', draggable: 'false' });
  if (id) img.id = id;
  return img;
}

function place(e: HTMLElement, x: number, y: number, w?: number, h?: number): HTMLElement {
  e.style.left = `${x}px`;
  e.style.top = `${y}px`;
  if (w !== undefined) e.style.width = `${w}px`;
  if (h !== undefined) e.style.height = `${h}px`;
  return e;
}

// A caption with its '&': the letter after it underlined, and Alt with it
// the button's accelerator.
export function captioned(button: HTMLElement, caption: string): void {
  const at = caption.indexOf('&');
  const plain = caption.replace('&', '');
  button.dataset.caption = caption;
  if (at < 0 || at + 1 >= caption.length) {
    button.textContent = plain;
    return;
  }
  const letter = caption[at + 1];
  button.append(document.createTextNode(caption.slice(0, at)));
  button.append(element('u', {}, letter));
  button.append(document.createTextNode(caption.slice(at + 2)));
  button.dataset.accelerator = letter.toUpperCase();
  button.setAttribute('aria-keyshortcuts', `Alt+${letter.toUpperCase()}`);
  button.setAttribute('aria-label', plain);
}

export interface Page {
  displays: Map<string, SegmentDisplay>;
  listing: HTMLElement;
  internal: HTMLElement;
  status: HTMLElement;
}

function lamp(container: string, off: string, on: string, label: string, colour: string, clickable: boolean): HTMLElement {
  const e = element('span', {
    id: container,
    class: `lampara ${colour}`,
    role: 'checkbox',
    'aria-label': label,
    'data-lit': 'false',
  });
  // A lamp the user cannot switch is an indicator: read, not changed.
  if (clickable) e.tabIndex = 0;
  else e.setAttribute('aria-readonly', 'true');
  const lit = picture(`lampara_${colour}_encendida`, on);
  lit.className = 'encendida';
  const dark = picture(`lampara_${colour}_apagada`, off);
  dark.className = 'apagada';
  e.append(dark, lit);
  return e;
}

// A panel button; with a glyph, the glyph 3 pixels from its left edge and
// the caption centred in the rest, the disabled look its own picture.
function panelButton(id: string, caption: string, x: number, y: number, w: number, h: number, glyph = false): HTMLButtonElement {
  const b = element('button', { id, type: 'button', class: 'live' });
  captioned(b, caption);
  if (glyph) {
    b.classList.add('con-glifo');
    const text = element('span', { class: 'leyenda' });
    text.append(...b.childNodes);
    const normal = picture(`glifo_${id}`);
    normal.className = 'glifo';
    const disabled = picture(`glifo_${id}_inactivo`);
    disabled.className = 'glifo inactivo';
    b.append(normal, disabled, text);
  }
  place(b, x, y, w, h);
  return b;
}

export function buildPage(orben: OrbenModule, root: HTMLElement): Page {
  const displays = new Map<string, SegmentDisplay>();
  const display = (parent: HTMLElement, id: string, label: string, x: number, y: number, editable = false) => {
    const d = new SegmentDisplay(orben, id, label, kPanelLook);
    place(d.canvas, x, y);
    if (editable) {
      d.canvas.tabIndex = 0;
      d.canvas.setAttribute('role', 'button');
      d.canvas.classList.add('editable');
    }
    parent.append(d.canvas);
    displays.set(id, d);
    return d;
  };
  const label = (parent: HTMLElement, text: string, x: number, y: number, cls = 'titulo', id?: string) => {
    const l = element('span', { class: cls }, text);
    if (id) l.id = id;
    place(l, x, y);
    parent.append(l);
    return l;
  };

  // The toolbar and its menus.
  const bar = element('div', { id: 'Menu_Botones', role: 'toolbar', 'aria-label': 'Menu' });
  for (const menu of kMenus) {
    const wrap = element('div', { class: 'desplegable' });
    const button = element('button', { id: menu.button, type: 'button', 'aria-haspopup': 'menu', 'aria-expanded': 'false' });
    button.append(picture(`icono_${kMenus.indexOf(menu)}`), element('span', {}, menu.caption), element('span', { class: 'flecha', 'aria-hidden': 'true' }));
    const list = element('div', { id: menu.menu, role: 'menu', hidden: '' });
    for (const item of menu.items) {
      if (item.separator) {
        list.append(element('hr', { id: item.id, role: 'separator' }));
        continue;
      }
      const entry = element('button', { id: item.id, type: 'button', role: item.checkable ? 'menuitemcheckbox' : 'menuitem' }, item.caption ?? '');
      if (item.checkable) entry.setAttribute('aria-checked', 'false');
      if (item.shortcut) {
        entry.setAttribute('aria-keyshortcuts', item.shortcut);
        entry.dataset.atajo = shownShortcut(item.shortcut);
      }
      list.append(entry);
    }
    wrap.append(button, list);
    bar.append(wrap);
  }

  // The front panel's page: the listing at its left, the panel at its right.
  const pages = element('section', { id: 'Ficha_PF' });
  const tabs = element('div', { role: 'tablist' });
  tabs.append(element('div', { class: 'pestana', role: 'tab', 'aria-selected': 'true' }, kFrontPageCaption));
  pages.append(tabs);
  const page = element('div', { id: 'TPanel_Frontal', role: 'tabpanel' });
  const listing = element('ul', { id: 'Listado', role: 'listbox', 'aria-label': 'Listado', tabindex: '0' });
  const front = element('div', { id: 'PPanel_Frontal', role: 'region', 'aria-label': kFrontPanelCaption });

  const left = element('div', { id: 'Contenedor_PF_Izquierda', class: 'parte' });
  const onOff = panelButton('BOnOff', 'On/Off', 4, 6, 108, 31, true);
  onOff.title = kPowerHint;
  left.append(onOff, place(lamp('Lampara_On', 'LOff', 'LOn', 'Encendido', 'verde', false), 120, 11));
  left.append(panelButton('BPasoPaso', '&Paso a paso', 4, 43, 108, 31, true));
  left.append(place(lamp('Lampara_PP', 'LPP_Off', 'LPP', 'Paso a paso', 'ambar', false), 120, 48));
  left.append(place(picture('chip'), 45, 80), place(picture('procesador'), 0, 126));
  kFlagLetters.forEach((f, i) => {
    const x = 15 + 30 * i + 4;
    left.append(place(lamp(`Lampara_P${f}`, `P${f}_OFF`, `P${f}_ON`, f, 'roja', true), x, 138));
    // The letter on the processor repeats the lamp's name.
    label(left, f, x + 6, 162, 'titulo letra-blanca').setAttribute('aria-hidden', 'true');
  });
  label(left, 'IR', 14, 201);
  display(left, 'PIR', 'IR', 46, 196);
  label(left, 'PC', 14, 233);
  display(left, 'PPC', 'PC', 46, 228, true);

  const centre = element('div', { id: 'Contenedor_PF_Centro', class: 'parte' });
  const title = label(centre, 'TUKA-2', 0, 8, 'titulo grande', 'LTUKA2');
  title.style.width = '148px';
  const keypad = display(centre, 'Teclado', 'Teclado', (148 - 67) >> 1, 98, true);
  keypad.canvas.title = kKeypadHint;
  for (let digit = 0; digit < 16; ++digit) {
    const hex = kDigits[digit];
    const key = panelButton(`T${hex}`, `&${hex}`, 7 + 34 * (digit % 4), 132 + 31 * Math.floor(digit / 4), 32, digit >= 12 ? 30 : 29);
    key.classList.add('tecla');
    centre.append(key);
  }

  const right = element('div', { id: 'Contenedor_PF_Derecha', class: 'parte' });
  label(right, 'D/OP1', 4, 11);
  display(right, 'POP1', 'D/OP1', 54, 6);
  label(right, 'C/OP2', 4, 43);
  display(right, 'POP2', 'C/OP2', 54, 38);
  for (const b of kPanelButtons) right.append(panelButton(b.id, b.caption, b.x, b.y, b.w, b.h, true));

  front.append(left, centre, right);
  page.append(listing, front);
  pages.append(page);

  // The internal panel: registers, flags, memory, ports.
  const internal = element('div', { id: 'Panel_Interno', role: 'region', 'aria-label': kInternalPanelCaption });
  const part = (id: string, title: string, width: number) => {
    const p = element('div', { id, class: 'parte interna' });
    p.style.width = `${width}px`;
    label(p, title, 8, 3);
    internal.append(p);
    return p;
  };
  const labelled = (parent: HTMLElement, name: string, text: string, x: number, y: number, editable = false) => {
    label(parent, text, x, y + 6, 'registro', text === name ? `L${name}` : text);
    display(parent, name, text, x + 24, y, editable);
  };
  const registers = part('Panel_Registros', 'Unidad de Procesamiento', 544);
  for (let n = 0; n < 16; ++n) {
    labelled(registers, `R${kDigits[n]}`, `r${kDigits[n]}`, 8 + 96 * Math.floor(n / 8), 24 + 27 * (n % 8), true);
  }
  registers.append(place(picture('alu'), 204, 24));
  labelled(registers, 'AR', 'AR', 208, 114);
  labelled(registers, 'DR', 'DR', 208, 145);
  const ff = place(element('fieldset', { id: 'GroupBox_FF', class: 'grupo' }), 204, 178, 124, 58);
  ff.append(element('legend', {}, 'FF'));
  kFlagLetters.forEach((f, i) => {
    ff.append(place(lamp(`Lampara_${f}`, `${f}_OFF`, `${f}_ON`, f, 'roja', true), 10 + 28 * i, 16));
    label(ff, f, 17 + 28 * i, 38, 'registro', `L${f}`);
  });
  registers.append(ff);
  label(registers, 'Procesamiento de Instrucciones', 342, 24, 'titulo mediano');
  const uc = place(element('fieldset', { id: 'GroupBox_UC', class: 'grupo' }), 342, 48, 190, 92);
  uc.append(element('legend', {}, 'Unidad de Control'));
  labelled(uc, 'IR', 'IR', 40, 22);
  labelled(uc, 'PC', 'PC', 40, 56, true);
  registers.append(uc);

  const memory = part('Panel_Memoria', 'Memoria', 210);
  const grid = place(element('div', { id: 'Memoria', role: 'grid', 'aria-label': 'Memoria', tabindex: '0' }), 8, 24, 194, 208);
  memory.append(grid);

  const ports = part('Panel_Puertos', 'Puertos de Entrada y Salida', 200);
  ports.querySelector('.titulo')?.classList.add('mediano');
  labelled(ports, 'IP1', 'IP1', 12, 40, true);
  labelled(ports, 'IP2', 'IP2', 12, 76, true);
  labelled(ports, 'OP1', 'OP1', 12, 128);
  labelled(ports, 'OP2', 'OP2', 12, 164);

  // The status bar.
  const status = element('footer', { id: 'Barra_Estado' });
  status.append(element('span', { class: 'seccion ancha' }, kVersionSection), element('span', { class: 'seccion' }));

  root.append(bar, pages, internal, status);
  return { displays, listing, internal, status };
}
