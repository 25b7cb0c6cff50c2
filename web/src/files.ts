// Opening and saving files from the page: through the browser's file
// system access where it has it (Chromium), so that a file opened can be
// written back where it came from; elsewhere a file picker to open and a
// download to save. Nothing leaves the browser.
import { element } from './page';

// The part of the file system access the page uses.
interface Writable {
  write(data: BufferSource | Blob): Promise<void>;
  close(): Promise<void>;
}
export interface FileHandle {
  readonly name: string;
  getFile(): Promise<File>;
  createWritable(): Promise<Writable>;
}
interface PickerType {
  description: string;
  accept: Record<string, string[]>;
}
interface Pickers {
  showOpenFilePicker?(options: { types: PickerType[]; excludeAcceptAllOption?: boolean }): Promise<FileHandle[]>;
  showSaveFilePicker?(options: { suggestedName: string; types: PickerType[] }): Promise<FileHandle>;
}
const pickers = window as unknown as Pickers;

export interface Kind {
  description: string;
  extensions: string[]; // with their dots, as a picker's filter takes them
}

export interface Opened {
  name: string;
  bytes: Uint8Array;
  handle: FileHandle | null;
}

const isAbort = (e: unknown) => e instanceof DOMException && e.name === 'AbortError';

function pickerTypes(kind: Kind): PickerType[] {
  return [{ description: kind.description, accept: { 'application/octet-stream': kind.extensions } }];
}

// A file chosen to open, read whole; null when none was chosen. `input`
// names the picker that stands for the desktop's dialog where the
// browser has no file system access.
export async function openFile(kind: Kind, input: string, title: string): Promise<Opened | null> {
  if (pickers.showOpenFilePicker) {
    try {
      const [handle] = await pickers.showOpenFilePicker({ types: pickerTypes(kind) });
      const file = await handle.getFile();
      return { name: file.name, bytes: new Uint8Array(await file.arrayBuffer()), handle };
    } catch (e) {
      if (isAbort(e)) return null;
      throw e;
    }
  }
  const picker = element('input', { type: 'file', id: input, title, accept: kind.extensions.join(','), hidden: '' });
  document.body.append(picker);
  try {
    const file = await new Promise<File | null>((resolve) => {
      picker.addEventListener('change', () => resolve(picker.files?.[0] ?? null));
      picker.addEventListener('cancel', () => resolve(null));
      picker.click();
    });
    return file ? { name: file.name, bytes: new Uint8Array(await file.arrayBuffer()), handle: null } : null;
  } finally {
    picker.remove();
  }
}

// Writes `bytes` into the file of `handle`, all at once.
export async function writeHandle(handle: FileHandle, bytes: Uint8Array): Promise<void> {
  const out = await handle.createWritable();
  await out.write(bytes.slice());
  await out.close();
}

// The browser's own save picker; null where it has none or it was
// cancelled (`cancelled` tells which).
export async function pickSaveHandle(kind: Kind, suggested: string): Promise<{ handle: FileHandle | null; cancelled: boolean }> {
  if (!pickers.showSaveFilePicker) return { handle: null, cancelled: false };
  try {
    return { handle: await pickers.showSaveFilePicker({ suggestedName: suggested, types: pickerTypes(kind) }), cancelled: false };
  } catch (e) {
    if (isAbort(e)) return { handle: null, cancelled: true };
    throw e;
  }
}

export function hasSavePicker(): boolean {
  return pickers.showSaveFilePicker !== undefined;
}

// The bytes as a download named `name`.
export function download(bytes: Uint8Array, name: string): void {
  const url = URL.createObjectURL(new Blob([bytes.slice()], { type: 'application/octet-stream' }));
  const link = element('a', { href: url, download: name, hidden: '' });
  document.body.append(link);
  link.click();
  link.remove();
  setTimeout(() => URL.revokeObjectURL(url), 10000);
}
