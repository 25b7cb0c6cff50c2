// A program shared as a link: the source compressed (deflate) into the
// link's fragment, which browsers never send to a server.
const kKey = 'fuente=';
// The most a link carries, compressed.
export const kLargestShared = 16 * 1024;

// The most a shared source unpacks to: a link is never a bomb.
const kLargestUnpacked = 1 << 20;

// The bytes through the stream; null once they pass `limit`.
async function through(bytes: Uint8Array, stream: CompressionStream | DecompressionStream, limit = Infinity): Promise<Uint8Array | null> {
  const reader = new Blob([bytes.slice()]).stream().pipeThrough(stream).getReader();
  const parts: Uint8Array[] = [];
  let size = 0;
  for (;;) {
    const { done, value } = await reader.read();
    if (done) break;
    size += value.length;
    if (size > limit) {
      await reader.cancel();
      return null;
    }
    parts.push(value);
  }
  const all = new Uint8Array(size);
  let at = 0;
  for (const part of parts) {
    all.set(part, at);
    at += part.length;
  }
  return all;
}

function toBase64Url(bytes: Uint8Array): string {
  let text = '';
  for (let i = 0; i < bytes.length; i += 0x8000) text += String.fromCharCode(...bytes.subarray(i, i + 0x8000));
  return btoa(text).replace(/\+/g, '-').replace(/\//g, '_').replace(/=+$/, '');
}

function fromBase64Url(text: string): Uint8Array {
  const raw = atob(text.replace(/-/g, '+').replace(/_/g, '/'));
  return Uint8Array.from(raw, (c) => c.charCodeAt(0));
}

// The link to this page with `source` in its fragment; null when the
// source compressed is over kLargestShared.
export async function shareLink(source: string, page: string): Promise<string | null> {
  const packed = await through(new TextEncoder().encode(source), new CompressionStream('deflate-raw'));
  if (!packed || packed.length > kLargestShared) return null;
  return `${page.replace(/#.*$/, '')}#${kKey}${toBase64Url(packed)}`;
}

// The source a fragment carries; null for a fragment of none or one that
// does not unpack.
export async function sharedSource(fragment: string): Promise<string | null> {
  const at = fragment.indexOf(kKey);
  if (at < 0) return null;
  try {
    const packed = fromBase64Url(fragment.slice(at + kKey.length));
    if (packed.length > kLargestShared) return null;
    const source = await through(packed, new DecompressionStream('deflate-raw'), kLargestUnpacked);
    return source ? new TextDecoder('utf-8', { fatal: true }).decode(source) : null;
  } catch {
    return null;
  }
}
