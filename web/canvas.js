// The canvas: the figure on it, painted from the core's exact raster, and, where the screen has
// more pixels than the raster, drawn again anti-aliased at the device's pixels.

import {ask, engine, isQueued, queue} from './engine.js';
import {$, canvas, kSize} from './ui.js';

const context = canvas.getContext('2d', {alpha: false});
// The figure on the canvas: {draws, directions, end, link, name, remake}, and its 500 x 500
// raster as ImageData.
export const view = {shown: null, exact: null};
const painted = [];  // what follows each figure painted
export const onPaint = (follow) => painted.push(follow);

// Nearest pixels where the canvas is enlarged on the screen, so lines stay sharp; smoothing
// where it is shrunk, so one-pixel lines do not drop out.
function fitRendering() {
  const shown = canvas.getBoundingClientRect().width * devicePixelRatio;
  canvas.style.imageRendering = shown >= canvas.width ? 'pixelated' : 'auto';
}
// A new size or density draws the figure again once it has settled.
let resized = 0;
const sharpenSoon = () => {
  fitRendering();
  clearTimeout(resized);
  resized = setTimeout(sharpen, 200);
};
new ResizeObserver(sharpenSoon).observe(canvas);
(function watchDensity() {
  matchMedia(`(resolution: ${devicePixelRatio}dppx)`).addEventListener('change', () => {
    watchDensity();
    sharpenSoon();
  }, {once: true});
})();

export function paint(answer, {keepAddress = false} = {}) {
  view.exact = new ImageData(new Uint8ClampedArray(answer.rgba), kSize, kSize);
  const shown = view.shown = answer.figure;
  paintExact();
  sharpen();
  const name = shown.name;
  document.title = `stringart: figure ${name}`;
  canvas.setAttribute('aria-label', `String-art figure ${name}`);
  $('drawn').textContent = `Figure ${name} drawn.`;
  if (!keepAddress) history.replaceState(null, '', `#${shown.link}`);
  painted.forEach((follow) => follow(shown));
  if (!performance.getEntriesByName('stringart-lit').length) performance.mark('stringart-lit');
}

// Where the screen has more pixels than the raster, the canvas takes the device's pixels and
// the figure anti-aliased at that size, drawn when the worker has nothing else to do; the exact
// raster stays for "Download PNG". Of the pictures asked for meanwhile only the last is drawn.
let sharpening = null;
const deviceSide = () => {
  const box = canvas.getBoundingClientRect();
  return Math.round(Math.min(box.width, box.height) * devicePixelRatio);
};
function sharpen() {
  const side = deviceSide(), {shown} = view;
  if (!shown) return;
  if (devicePixelRatio <= 1 || side <= kSize || !engine.drawsSmooth) {
    if (canvas.width !== kSize) paintExact();
    return;
  }
  const question = {op: 'smooth', draws: shown.draws, directions: shown.directions, width: side, height: side};
  if (isQueued(sharpening)) {
    sharpening.question = question;
    return;
  }
  sharpening = {question, reject() {}, resolve({figure, width, bitmap}) {
    if (bitmap && figure.link === view.shown.link && width === deviceSide() && !watching) {
      canvas.width = canvas.height = width;
      context.drawImage(bitmap, 0, 0);
      fitRendering();
    }
    bitmap?.close();
  }};
  queue(sharpening);
}
function paintExact() {
  canvas.width = canvas.height = kSize;
  context.putImageData(view.exact, 0, 0);
  fitRendering();
}

// "Watch it drawn": the figure on the canvas drawn again before the eyes, its strokes in the
// order they were traced over eight seconds, as the window's tracing clip shows them. Pressed
// again, or another figure, ends it; the canvas then shows the figure whole.
const kWatchMs = 8000;
let watching = null;
export async function watch() {
  const {shown} = view, button = $('Watch');
  if (watching || !shown) {
    watching = null;
    return;
  }
  const token = watching = {};
  button.setAttribute('aria-pressed', 'true');
  try {
    const figure = {op: 'watch', draws: shown.draws, directions: shown.directions};
    let answer = await ask({...figure, start: true, to: 0}), to = 0;
    const {total} = answer, started = performance.now();
    while (watching === token && view.shown === shown) {
      if (canvas.width !== kSize) canvas.width = canvas.height = kSize;
      fitRendering();
      context.putImageData(new ImageData(new Uint8ClampedArray(answer.rgba), kSize, kSize), 0, 0);
      if (to === total) break;
      await new Promise(requestAnimationFrame);
      to = Math.min(total, Math.ceil(total * (performance.now() - started) / kWatchMs));
      answer = await ask({...figure, to});
    }
  } finally {
    if (watching === token) watching = null;
    button.setAttribute('aria-pressed', 'false');
    if (view.shown === shown) {
      paintExact();
      sharpen();
    }
  }
}
