// Guardar memoria como programa objeto: the range asked in
// TDiag_Guardar_Memoria, then the file's name (the browser's save picker,
// or a name for a download), then the object file the module makes of
// those words, in the format the name's extension gives.
import type { Ide } from '@module/orben_web.js';
import { message } from './boxes';
import { download, type Kind, pickSaveHandle, writeHandle } from './files';
import { askMemoryRange, askName } from './save_dialogs';

const kObjectKind: Kind = { description: 'Programa objeto', extensions: ['.ehc', '.EHC', '.hex', '.HEX'] };
const kTitle = 'Guardar memoria como programa objeto';

export async function saveMemory(ide: Ide): Promise<void> {
  const range = ide.memoryRange();
  const typed = await askMemoryRange(range.first, range.last, (first, last) => ide.rangeRefusal(first, last));
  if (!typed) return;
  const picked = await pickSaveHandle(kObjectKind, 'memoria.ehc');
  if (picked.cancelled) return;
  const name = picked.handle?.name ?? (await askName('DGuardar_Memoria', kTitle, 'memoria.ehc'));
  if (!name) return;
  const file = ide.memoryObject(typed.first, typed.last, name);
  if (!file.made) {
    await message(file.text);
    return;
  }
  const bytes = new TextEncoder().encode(file.text);
  if (picked.handle) await writeHandle(picked.handle, bytes);
  else download(bytes, name);
}
