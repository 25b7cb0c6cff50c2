// The Vite plugin that writes the site's service worker: once the site is
// written, every file in it is listed and hashed into sw.js, the worker of
// src/service-worker.js with its version and its list of files.
import { createHash } from 'node:crypto';
import { readdirSync, readFileSync, writeFileSync } from 'node:fs';
import { join, relative, resolve, sep } from 'node:path';
import { fileURLToPath } from 'node:url';

const kWorker = 'sw.js';
const kBody = fileURLToPath(new URL('../src/service-worker.js', import.meta.url));

function filesUnder(folder) {
  return readdirSync(folder, { withFileTypes: true, recursive: true })
    .filter((entry) => entry.isFile())
    .map((entry) => relative(folder, join(entry.parentPath ?? entry.path, entry.name)).split(sep).join('/'))
    .filter((path) => path !== kWorker)
    .sort();
}

// The worker for the site in `folder`: its files by their relative URLs,
// the folder itself first (the address the page is opened at).
export function workerFor(folder) {
  const files = filesUnder(folder);
  const hash = createHash('sha256');
  for (const path of files) hash.update(`${path}\0`).update(readFileSync(join(folder, path))).update('\0');
  const version = hash.digest('hex').slice(0, 16);
  const urls = ['./', ...files.map((path) => `./${path}`)];
  return `const kVersion = '${version}';\nconst kFiles = ${JSON.stringify(urls, null, 2)};\n\n${readFileSync(kBody, 'utf8')}`;
}

export function precache() {
  let outDir = '';
  return {
    name: 'orben-precache',
    apply: 'build',
    configResolved(config) {
      outDir = resolve(config.root, config.build.outDir);
    },
    closeBundle() {
      writeFileSync(join(outDir, kWorker), workerFor(outDir));
    },
  };
}
