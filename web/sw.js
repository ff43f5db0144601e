// Keeps the page's files so that it reloads and works offline. The cache is named by the build's
// content: a deployed build that changes any file is a new sw.js, which the browser installs on
// the next visit; it fetches the new files, takes over and drops the old ones.
'use strict';

const kCache = 'stringart-@VERSION@';
const kFiles = ['./', @FILES@];

self.addEventListener('install', (event) => {
  // 'reload' skips the HTTP cache, which may still hold the last version's files.
  event.waitUntil(caches.open(kCache)
                      .then((cache) => cache.addAll(kFiles.map((f) => new Request(f, {cache: 'reload'}))))
                      .then(() => self.skipWaiting()));
});

self.addEventListener('activate', (event) => {
  event.waitUntil(caches.keys()
                      .then((names) => Promise.all(names.filter((n) => n.startsWith('stringart-') && n !== kCache)
                                                       .map((n) => caches.delete(n))))
                      .then(() => self.clients.claim()));
});

// The kept files from the cache (the address's query ignored), everything else from the network.
self.addEventListener('fetch', (event) => {
  if (event.request.method !== 'GET') return;
  event.respondWith(caches.open(kCache)
                        .then((cache) => cache.match(event.request, {ignoreSearch: true}))
                        .then((kept) => kept ?? fetch(event.request)));
});
