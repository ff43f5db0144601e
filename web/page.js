// The page around the WebAssembly core, which runs in a worker: this script starts it and the
// browser's store of figures, then runs the buttons and keys. Each part of the page is a module
// of its own: the canvas, the history, the files, the gallery, Variations and Adjust.

import {adjust} from './adjust.js';
import {running, engine, startCore} from './engine.js';
import {downloadLarge, downloadPng, downloadSvg, share} from './files.js';
import {watch} from './canvas.js';
import {gallery} from './gallery.js';
import {act, aside, back, favourites, favouritesOf, figureKey, forward, forwardOrNew, newFigure, showAddress,
        toggleFavourite} from './history.js';
import {openStore, refused} from './store.js';
import {$, canvas, enable, say} from './ui.js';
import {variations} from './variations.js';

const kSwipe = 40;  // px across the canvas that make a swipe

// Full screen: the canvas alone, as large as the screen lets it, on black.
const stage = $('stage');
const toggleFullScreen = () => (document.fullscreenElement ? document.exitFullscreen() : stage.requestFullscreen()).catch(() => {});
if (!document.fullscreenEnabled) $('FullScreen').hidden = true;
// At the window's places the buttons stand in rows beside and under the canvas, in another order
// than elsewhere: the focus goes through them as they stand, row by row.
const inOrder = [...document.querySelectorAll('#buttons button')];
const windowPlaces = matchMedia('(min-width: 840px) and (min-height: 620px) and (pointer: fine)');
const arrange = () => $('buttons').append(...(windowPlaces.matches ? [...inOrder].sort((a, b) => a.offsetTop - b.offsetTop || a.offsetLeft - b.offsetLeft) : inOrder));
windowPlaces.addEventListener('change', arrange);
// "Download large PNG" takes its place from the start where the worker can encode a PNG (the
// page's thread sees what the worker's does), so that nothing moves when the first figure comes.
if (typeof OffscreenCanvasRenderingContext2D !== 'function') $('DownloadLarge').hidden = true;
arrange();

// A swipe across the canvas: to the right goes back, to the left forward, as the arrows do,
// and past the last figure to a new one.
function followSwipes() {
  let from = null;
  canvas.addEventListener('pointerdown', (event) => { from = event; });
  canvas.addEventListener('pointerup', (event) => {
    const [x, y] = [event.clientX - from?.clientX, event.clientY - from?.clientY];
    from = null;
    if (!(Math.abs(x) >= kSwipe && Math.abs(x) > 2 * Math.abs(y)) || $('Command1').disabled) return;
    act(x > 0 ? back : forwardOrNew);
  });
}

async function start() {
  const [problem] = await Promise.all([startCore(), openStore()]);
  if (problem) {
    say(problem, true);
    return;
  }
  if (!refused()) say('');  // the words for a browser without JavaScript
  for (const row of await favouritesOf()) favourites.add(figureKey(row));
  const on = (id, step) => $(id).addEventListener('click', () => act(step));
  // "new" clears what was said about the figure before.
  const pressNew = () => act(() => {
    say('');
    return newFigure();
  });
  $('Command1').addEventListener('click', pressNew);
  on('Back', back);
  on('Forward', forward);
  on('Favourite', toggleFavourite);
  on('Share', share);
  on('DownloadPng', downloadPng);
  on('DownloadSvg', downloadSvg);
  on('DownloadLarge', downloadLarge);
  $('GalleryButton').addEventListener('click', () => gallery.open());
  $('VariationsButton').addEventListener('click', () => variations.open());
  $('AdjustButton').addEventListener('click', () => adjust.open());
  $('FullScreen').addEventListener('click', toggleFullScreen);
  $('Watch').addEventListener('click', () => aside(watch));
  followSwipes();
  // A typed address (back and forward of the browser too, over addresses typed): its figure.
  window.addEventListener('popstate', () => act(showAddress));
  // The keys, when no dialog is open and no control that takes keys has the focus (a button
  // takes none of these).
  const kKeys = {n: pressNew, ArrowLeft: () => act(back), ArrowRight: () => act(forward),
                 f: () => act(toggleFavourite), g: () => gallery.open(), v: () => variations.open(),
                 a: () => adjust.open(), w: () => aside(watch), z: toggleFullScreen};
  document.addEventListener('keydown', (event) => {
    const key = event.key.length === 1 ? event.key.toLowerCase() : event.key;
    if (event.ctrlKey || event.altKey || event.metaKey || $('Command1').disabled || !kKeys[key] ||
        document.querySelector('dialog[open]') ||
        event.target.closest?.('input, textarea, select, [contenteditable], [role="listbox"]')) {
      return;
    }
    kKeys[key]();
    event.preventDefault();
  });
  await act(showAddress);
  if (!running()) return;
  enable(true);
  $('DownloadLarge').hidden = !engine.drawsLarge;
  if (!('serviceWorker' in navigator)) return;
  // A version deployed since this page loaded has taken over; what is on the screen is the last.
  const wasKept = navigator.serviceWorker.controller !== null;
  navigator.serviceWorker.addEventListener('controllerchange', () => {
    if (wasKept) say('A new version of this page is ready: reload the page to use it.');
  });
  navigator.serviceWorker.register('sw.js').catch(() => {});
}

start();
