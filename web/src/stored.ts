// What a reload keeps, in the browser's local storage: the last object
// file loaded (its name and bytes) and the speed chosen. Nothing leaves
// the browser.
const kProgram = 'orben.programa';
const kSpeed = 'orben.velocidad';
// A larger file is loaded but not kept: local storage holds a few MB.
const kLargestKept = 1 << 20;

function toBase64(bytes: Uint8Array): string {
  let text = '';
  for (let i = 0; i < bytes.length; i += 0x8000) text += String.fromCharCode(...bytes.subarray(i, i + 0x8000));
  return btoa(text);
}

function fromBase64(text: string): Uint8Array {
  const raw = atob(text);
  const bytes = new Uint8Array(raw.length);
  for (let i = 0; i < raw.length; ++i) bytes[i] = raw.charCodeAt(i);
  return bytes;
}

export class Stored {
  private read(key: string): string | null {
    try {
      return localStorage.getItem(key);
    } catch {
      return null;
    }
  }

  private write(key: string, value: string | null): void {
    try {
      if (value === null) localStorage.removeItem(key);
      else localStorage.setItem(key, value);
    } catch {
      // Storage refused (full, or private browsing): nothing is kept.
    }
  }

  program(): { name: string; bytes: Uint8Array } | null {
    const text = this.read(kProgram);
    if (!text) return null;
    try {
      const { name, bytes } = JSON.parse(text) as { name: string; bytes: string };
      return { name, bytes: fromBase64(bytes) };
    } catch {
      return null;
    }
  }

  saveProgram(name: string, bytes: Uint8Array): void {
    this.write(kProgram, bytes.length > kLargestKept ? null : JSON.stringify({ name, bytes: toBase64(bytes) }));
  }

  speed(): number | null {
    const text = this.read(kSpeed);
    const item = text === null ? NaN : Number(text);
    return Number.isInteger(item) && item >= -1 && item < 8 ? item : null;
  }

  saveSpeed(item: number): void {
    this.write(kSpeed, String(item));
  }
}
