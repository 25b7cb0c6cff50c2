import { fileURLToPath } from 'node:url';
import { defineConfig } from 'vite';
import { precache } from './tools/precache.mjs';

// The site is a folder of static files that works from any folder of any
// web server: every path in it is relative. Its service worker is
// written last, over every file of it.
const root = fileURLToPath(new URL('.', import.meta.url));
export default defineConfig({
  root,
  base: './',
  plugins: [precache()],
  resolve: {
    alias: {
      '@module': fileURLToPath(new URL('../build-wasm/src/web', import.meta.url)),
    },
  },
  build: {
    outDir: fileURLToPath(new URL('../build-web/site', import.meta.url)),
    emptyOutDir: true,
    target: 'es2022',
    assetsInlineLimit: 0,
    modulePreload: { polyfill: false },
  },
});
