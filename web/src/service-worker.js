// The site's service worker, written into the site as sw.js with the two
// constants above it: kVersion, a hash of every file of the site, and
// kFiles, those files. It keeps them in one cache named after the version
// and answers from it first, so that the page works with no network once
// it has been seen; a new site is a new version, which takes the old one's
// place. Nothing is asked of any other origin.

const kPrefix = `orben ${self.registration.scope} `;
const kCache = kPrefix + kVersion;

self.addEventListener('install', (event) => {
  event.waitUntil(
    (async () => {
      const cache = await caches.open(kCache);
      // From the server, not from the browser's HTTP cache: all of one version.
      await cache.addAll(kFiles.map((file) => new Request(file, { cache: 'reload' })));
      await self.skipWaiting();
    })(),
  );
});

self.addEventListener('activate', (event) => {
  event.waitUntil(
    (async () => {
      for (const name of await caches.keys()) if (name.startsWith(kPrefix) && name !== kCache) await caches.delete(name);
      await self.clients.claim();
    })(),
  );
});

self.addEventListener('fetch', (event) => {
  const request = event.request;
  if (new URL(request.url).origin !== self.location.origin) {
    event.respondWith(Response.error());
    return;
  }
  if (request.method !== 'GET') return;
  event.respondWith(
    (async () => {
      const cache = await caches.open(kCache);
      const kept = await cache.match(request, { ignoreSearch: request.mode === 'navigate' });
      return kept ?? fetch(request);
    })(),
  );
});
