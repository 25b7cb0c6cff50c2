// The page's dialogs for saving: the name of a file to download (where
// the browser has no save picker of its own) and TDiag_Guardar_Memoria,
// the range of memory to save as an object file.
import { close, message, openModal, toolWindow } from './boxes';
import { kCancelar } from './captions';
import { element } from './page';

function field(id: string, caption: string, spoken: string, value: string): [HTMLElement, HTMLInputElement] {
  const label = element('label', { for: id }, caption);
  const input = element('input', { id, type: 'text', 'aria-label': spoken, spellcheck: 'false', autocomplete: 'off' });
  input.value = value;
  return [label, input];
}

function buttons(save: string, spokenSave: string): [HTMLElement, HTMLButtonElement, HTMLButtonElement] {
  const row = element('div', { class: 'botones' });
  const ok = element('button', { id: 'Guardar', type: 'submit', 'aria-label': spokenSave }, save);
  const cancel = element('button', { id: 'Cancelar', type: 'button' }, kCancelar);
  row.append(ok, cancel);
  return [row, ok, cancel];
}

// A form in a tool window: resolves with `answer()` once Guardar's check
// passes, with null after Cancelar or Escape.
function formDialog<T>(id: string, title: string, rows: HTMLElement[], first: HTMLInputElement, check: () => Promise<T | null>): Promise<T | null> {
  return new Promise((resolve) => {
    const [dialog, body] = toolWindow(id, title);
    const form = element('form', { class: 'campos', method: 'dialog' });
    const [row, , cancel] = buttons('Guardar…', 'Guardar en un archivo');
    form.append(...rows, row);
    body.append(form);
    const end = (answer: T | null) => {
      close(dialog);
      resolve(answer);
    };
    form.addEventListener('submit', (event) => {
      event.preventDefault();
      void check().then((answer) => {
        if (answer !== null) end(answer);
        else first.focus();
      });
    });
    cancel.addEventListener('click', () => end(null));
    dialog.addEventListener('cancel', (event) => {
      event.preventDefault();
      end(null);
    });
    openModal(dialog);
    first.focus();
    first.select();
  });
}

// The name to download a file under; null when cancelled or empty.
export function askName(id: string, title: string, suggested: string): Promise<string | null> {
  const [label, input] = field(`${id}_Nombre`, 'Nombre del archivo:', 'Nombre del archivo', suggested);
  return formDialog(id, title, [label, input], input, async () => {
    const name = input.value.trim();
    return name === '' ? null : name;
  });
}

// TDiag_Guardar_Memoria: the first and last addresses, as typed, once
// `refusal` (the machine's check of them) has nothing against them.
export function askMemoryRange(first: string, last: string, refusal: (first: string, last: string) => string): Promise<{ first: string; last: string } | null> {
  const [l1, desde] = field('Desde', 'Primera dirección:', 'Primera dirección', first);
  const [l2, hasta] = field('Hasta', 'Última dirección:', 'Última dirección', last);
  return formDialog('TDiag_Guardar_Memoria', 'Guardar memoria como programa objeto', [l1, desde, l2, hasta], desde, async () => {
    const refused = refusal(desde.value, hasta.value);
    if (refused === '') return { first: desde.value, last: hasta.value };
    await message(refused);
    return null;
  });
}
