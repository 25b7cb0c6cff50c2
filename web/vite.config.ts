import { fileURLToPath } from 'node:url';
import { defineConfig } from 'vite';

// The site is a folder of static files that works from any folder of any
// web server: every path in it is relative.
const root = fileURLToPath(new URL('.', import.meta.url));
export default defineConfig({
  root,
  base: './',
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
