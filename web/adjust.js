// Adjust: the figure's twelve draws as sliders and its start directions as toggles; the canvas
// follows as they move, and the figure joins the history once they rest.

import {onPaint, view} from './canvas.js';
import {act, figureKey, join, showRow, visit} from './history.js';
import {dialogOf} from './lists.js';
import {$, canvas} from './ui.js';

const kPositions = 1 << 24;  // an Adjust slider's positions: a draw is position / kPositions
const kRestMs = 500;
const kFewSliders = 160;  // px of sliders at least, where Adjust lies under the canvas
const kUnderCanvas = matchMedia('(orientation: portrait) and (not ((min-width: 840px) and (min-height: 620px) and (pointer: fine)))');  // an Adjust slider still this long joins its figure to the history
// The window's names of the twelve draws, in draw order.
const kDrawNames = ['pivot phase', 'arm phase', 'red start', 'green start', 'blue start', 'red step',
                    'green step', 'blue step', 'pivot x factor', 'pivot y factor', 'arm x factor',
                    'arm y factor'];

export const adjust = (() => {
  const {dialog, open} = dialogOf('Adjust', {modal: false});
  const sliders = [], outputs = [];
  const toggles = [...dialog.querySelectorAll('.rising')];
  let draws = [], directions = [], rest = 0, previewing = null, wanted = null;

  for (const [i, name] of kDrawNames.entries()) {
    const row = document.createElement('div');
    row.className = 'slider';
    row.innerHTML = `<label for="draw-${i}"></label><input id="draw-${i}" type="range" min="0" max="${kPositions - 1}" step="1"><span aria-hidden="true"></span>`;
    row.firstChild.textContent = name;
    const slider = row.children[1];
    slider.addEventListener('input', () => moveTo(i, Number(slider.value)));
    slider.addEventListener('change', settle);
    // As the window's sliders step: arrows by about 0.001, Page Up and Down by about 0.02.
    slider.addEventListener('keydown', (event) => {
      const step = {ArrowLeft: -1, ArrowDown: -1, ArrowRight: 1, ArrowUp: 1, PageDown: -20, PageUp: 20}[event.key];
      if (!step) return;
      event.preventDefault();
      const position = Math.min(kPositions - 1, Math.max(0, Number(slider.value) + step * Math.floor(kPositions / 1000)));
      slider.value = String(position);
      moveTo(i, position);
    });
    sliders.push(slider);
    outputs.push(row.lastChild);
    $('Sliders').append(row);
  }
  toggles.forEach((toggle, c) => toggle.addEventListener('click', () => {
    directions[c] = directions[c] === '1' ? '-1' : '1';
    preview();
    settle();
  }));
  dialog.addEventListener('keydown', (event) => {
    if (event.key !== 'Escape') return;
    event.preventDefault();
    dialog.close();
  });
  dialog.addEventListener('close', settle);

  // The draw beside its slider, and as a screen reader tells the slider's value: the draw, not
  // its position among sixteen million (the text beside it is not read out again).
  function showDraw(i, draw) {
    outputs[i].textContent = draw;
    sliders[i].setAttribute('aria-valuetext', draw);
  }
  // The sliders, texts and toggles from the figure on the canvas.
  function load() {
    draws = view.shown.draws.split(',');
    directions = view.shown.directions.split(',');
    draws.forEach((draw, i) => {
      // The position below the draw: a draw the program made (24 bits) sits on one exactly.
      sliders[i].value = String(Math.min(kPositions - 1, Math.floor(Number(draw) * kPositions)));
      showDraw(i, draw);
    });
    toggles.forEach((toggle, c) => toggle.setAttribute('aria-pressed', String(directions[c] === '1')));
  }
  function moveTo(i, position) {
    draws[i] = String(position / kPositions);  // exact: 24 bits
    preview();
    clearTimeout(rest);
    rest = setTimeout(settle, kRestMs);
  }
  // The canvas follows at once, without joining the history; previews asked for while one is
  // traced collapse into the last.
  function preview() {
    wanted = {draws: draws.join(','), directions: directions.join(',')};
    previewing ??= act(async () => {
      while (wanted) {
        const figure = wanted;
        wanted = null;
        await showRow(figure);
      }
    }).finally(() => { previewing = null; });
  }
  // The figure on the canvas joins the history, unless it is the one there already.
  async function settle() {
    clearTimeout(rest);
    await previewing;
    act(async () => {
      if (view.shown && visit.trail[visit.at] && figureKey(view.shown) !== figureKey(visit.trail[visit.at])) await join();
    });
  }
  return {
    open() {
      load();
      // Upright on a touch screen it lies over the buttons under the canvas, and over as little
      // of the canvas as leaves room for a few sliders.
      const under = innerHeight - canvas.getBoundingClientRect().bottom;
      dialog.style.maxHeight = kUnderCanvas.matches ? `${Math.max(under, kFewSliders)}px` : '';
      open(sliders[0]);
    },
    // Another figure came to the canvas: the controls show it, unless it came from them.
    follow() {
      if (dialog.open && !previewing) load();
      if (dialog.open) view.shown.draws.split(',').forEach((draw, i) => showDraw(i, draw));
    },
  };
})();

onPaint(adjust.follow);
