// The page's modal windows: the message box, the question box, the value
// entry dialog and the speed dialog. Each resolves with its answer; the
// machine is called afterwards with it.
import { element, picture } from './page';
export { kAppTitle as kTitle } from './captions';
import { kAppTitle, kCancelar, kNo, kOk, kVale, kValuePrompt, kValueTitle, kYes } from './captions';

export function openModal(dialog: HTMLDialogElement): void {
  document.body.append(dialog);
  dialog.showModal();
}

export function close(dialog: HTMLDialogElement): void {
  dialog.close();
  dialog.remove();
}

// The text of a box: each '\r' a line break.
function boxText(text: string): HTMLElement {
  const p = element('p', { class: 'texto' });
  text.split('\r').forEach((line, i) => {
    if (i > 0) p.append(element('br'));
    p.append(document.createTextNode(line));
  });
  return p;
}

// A box with the title and the text and one button per caption; resolves
// with the caption chosen (Escape: the last).
let shown = 0;

export function box(title: string, text: string, buttons: string[], role = 'alertdialog'): Promise<string> {
  return new Promise((resolve) => {
    const dialog = element('dialog', { class: 'caja', role, 'aria-labelledby': 'caja-titulo', 'data-n': String(++shown) });
    dialog.append(element('h2', { id: 'caja-titulo' }, title), boxText(text));
    const row = element('div', { class: 'botones' });
    for (const caption of buttons) {
      const button = element('button', { type: 'button' }, caption);
      button.addEventListener('click', () => {
        close(dialog);
        resolve(caption);
      });
      row.append(button);
    }
    dialog.append(row);
    dialog.addEventListener('cancel', (event) => {
      event.preventDefault();
      close(dialog);
      resolve(buttons[buttons.length - 1]);
    });
    openModal(dialog);
    (row.firstElementChild as HTMLElement).focus();
  });
}

export async function message(text: string, extra?: string): Promise<string> {
  return box(kAppTitle, text, extra ? [kOk, extra] : [kOk]);
}

export async function askYesNo(title: string, text: string): Promise<boolean> {
  return (await box(title, text, [kYes, kNo])) === kYes;
}

export function toolWindow(id: string, title: string): [HTMLDialogElement, HTMLElement] {
  const dialog = element('dialog', { id, class: 'herramienta', 'aria-labelledby': `${id}-titulo` });
  dialog.append(element('h2', { id: `${id}-titulo` }, title));
  const body = element('div', { class: 'cuerpo' });
  dialog.append(body);
  return [dialog, body];
}

// ¡Vale! and Cancelar with their glyphs, as the desktop's dialogs show them.
function liveButton(id: string, caption: string): HTMLButtonElement {
  const button = element('button', { id, type: 'button', class: 'live con-glifo' });
  const glyph = picture(`glifo_${id}`);
  glyph.className = 'glifo';
  button.append(glyph, element('span', { class: 'leyenda' }, caption));
  return button;
}

// TDiag_Editar_Registro: four digits, "0000" at first; each hexadecimal
// digit typed shifts them left. Resolves with them after ¡Vale!, with
// null after Cancelar or Escape.
export function askValue(makeEditor: () => { canvas: HTMLCanvasElement; show(v: string): void }): Promise<string | null> {
  return new Promise((resolve) => {
    const [dialog, body] = toolWindow('TDiag_Editar_Registro', kValueTitle);
    const group = element('fieldset', { id: 'GroupBox1' });
    group.append(element('legend', {}, kValuePrompt));
    const editor = makeEditor();
    editor.canvas.setAttribute('role', 'textbox');
    editor.canvas.setAttribute('aria-readonly', 'false');
    let value = '0000';
    editor.show(value);
    group.append(editor.canvas);
    const vale = liveButton('LiveButton1', kVale);
    const cancel = liveButton('LiveButton2', kCancelar);
    body.append(group, vale, cancel);
    const end = (answer: string | null) => {
      close(dialog);
      resolve(answer);
    };
    vale.addEventListener('click', () => end(value));
    cancel.addEventListener('click', () => end(null));
    dialog.addEventListener('cancel', (event) => {
      event.preventDefault();
      end(null);
    });
    dialog.addEventListener('keydown', (event) => {
      if (event.ctrlKey || event.altKey || event.metaKey || event.key.length !== 1) return;
      if (!/[0-9a-fA-F]/.test(event.key)) return;
      event.preventDefault();
      value = value.slice(1) + event.key.toUpperCase();
      editor.show(value);
    });
    openModal(dialog);
    vale.focus();
  });
}

// TForm4: the eight choices, `selected` marked. Resolves with the item
// marked (-1 none) after ¡Vale!, with null after Cancelar.
export function askSpeed(title: string, prompt: string, choices: string[], selected: number): Promise<number | null> {
  return new Promise((resolve) => {
    const [dialog, body] = toolWindow('TForm4', title);
    const group = element('fieldset', { id: 'RadioGroup1', role: 'radiogroup' });
    group.append(element('legend', {}, prompt));
    choices.forEach((caption, i) => {
      const label = element('label');
      const radio = element('input', { type: 'radio', name: 'RadioGroup1', id: `RadioGroup1_${i}`, value: String(i) });
      radio.checked = i === selected;
      label.append(radio, document.createTextNode(caption));
      group.append(label);
    });
    const vale = liveButton('LiveButton1', kVale);
    const cancel = liveButton('LiveButton2', kCancelar);
    body.append(group, vale, cancel);
    const end = (answer: number | null) => {
      close(dialog);
      resolve(answer);
    };
    vale.addEventListener('click', () => {
      const checked = group.querySelector<HTMLInputElement>('input:checked');
      end(checked ? Number(checked.value) : -1);
    });
    cancel.addEventListener('click', () => end(null));
    dialog.addEventListener('cancel', (event) => {
      event.preventDefault();
      end(null);
    });
    openModal(dialog);
    (group.querySelector<HTMLInputElement>('input:checked') ?? vale).focus();
  });
}
