// The game kept for playing without a network: every file of one release in a cache named
// after that release (its version and the hash of its files, put in by the build), served
// from there before the network. A new release's worker keeps its own files whole first,
// then takes over and removes the older releases' caches; a page of one release never gets
// a file of another from here, and its module's address names its bytes. Nothing here
// touches the table in IndexedDB.
const kCache = 'pelorin-%RELEASE%';
const kFiles = %FILES%;

self.addEventListener('install', (event) => {
  event.waitUntil((async () => {
    const cache = await caches.open(kCache);
    // Past the HTTP cache: the host's files, which are this release's.
    await cache.addAll(kFiles.map((file) => new Request(file, { cache: 'no-cache' })));
    await self.skipWaiting();
  })());
});

self.addEventListener('activate', (event) => {
  event.waitUntil((async () => {
    for (const name of await caches.keys()) {
      if (name.startsWith('pelorin-') && name !== kCache) await caches.delete(name);
    }
  })());
});

self.addEventListener('fetch', (event) => {
  const { request } = event;
  const address = new URL(request.url);
  if (request.method !== 'GET' || address.origin !== self.location.origin) return;
  const navigation = request.mode === 'navigate';
  // The site's folder opens its page, as a web host serves it.
  const key = navigation && address.pathname.endsWith('/') ? new URL('index.html', address).href : request;
  event.respondWith((async () => {
    const kept = await (await caches.open(kCache)).match(key, { ignoreSearch: navigation });
    return kept ?? fetch(request);
  })());
});
