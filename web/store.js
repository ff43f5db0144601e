// The browser's store of figures (IndexedDB): one object store "figures" of rows {id, draws,
// directions, favourite, shown_at, marked_at, note}, as the window's journal keeps them; ids grow
// with every figure kept. marked_at is there only while the figure is a favourite, so that the
// index "marked" lists the favourites.

import {say} from './ui.js';

let store = null;  // the open database, or null where the browser refuses to keep figures
// Whether figures are kept; false once the browser refused.
export const keeping = () => Boolean(store);
export const refused = () => store === false;

function refuse(why) {
  if (store === false) return;
  store = false;
  say(`This browser keeps no figures for this page (${why}); the page works on, but this visit's figures go when it closes.`, true);
}
export const done = (request) => new Promise((resolve, reject) => {
  request.onsuccess = () => resolve(request.result);
  request.onerror = () => reject(request.error);
});
export async function openStore() {
  try {
    const opening = indexedDB.open('stringart', 1);
    opening.onupgradeneeded = () => {
      opening.result.createObjectStore('figures', {keyPath: 'id', autoIncrement: true})
          .createIndex('marked', 'marked_at');
    };
    store = await done(opening);
  } catch (error) {
    refuse(error?.name === 'QuotaExceededError' ? 'no room left' : 'private browsing, or storage turned off');
  }
}
// Runs `use(figures)` in a transaction; resolves to its result, or to `otherwise` without a store.
export async function inStore(mode, use, otherwise) {
  if (!store) return otherwise;
  try {
    const transaction = store.transaction('figures', mode);
    const result = await use(transaction.objectStore('figures'));
    await new Promise((resolve, reject) => {
      transaction.oncomplete = resolve;
      transaction.onerror = transaction.onabort = () => reject(transaction.error);
    });
    return result;
  } catch (error) {
    refuse(error?.name === 'QuotaExceededError' ? 'no room left' : String(error?.message ?? error));
    return otherwise;
  }
}
export const keep = (row) => inStore('readwrite', async (figures) => { row.id = await done(figures.add(row)); });
export const rewrite = (rows) => inStore('readwrite', (figures) => Promise.all(rows.map((row) => done(figures.put(row)))));
// The kept row before `id`, the newest first; null when there is none.
export const keptBefore = (id) => id === undefined ? null : inStore('readonly', async (figures) =>
  (await done(figures.openCursor(IDBKeyRange.upperBound(id, true), 'prev')))?.value ?? null, null);
// Up to `count` rows, newest first, before `id` (from the newest when undefined).
export const keptPage = (id, count) => inStore('readonly', (figures) => new Promise((resolve, reject) => {
  const rows = [];
  const cursor = figures.openCursor(id === undefined ? null : IDBKeyRange.upperBound(id, true), 'prev');
  cursor.onerror = () => reject(cursor.error);
  cursor.onsuccess = () => {
    if (!cursor.result || rows.length >= count) return resolve(rows);
    rows.push(cursor.result.value);
    cursor.result.continue();
  };
}), null);
// The favourites kept; `unkept` without a store.
export const keptFavourites = (unkept) => inStore('readonly', (figures) => done(figures.index('marked').getAll()), unkept);
