// Variations: the figure on the canvas in the middle and eight near it, each as near as the
// strength says, as the window's Variations draws them.

import {view} from './canvas.js';
import {ask, engine} from './engine.js';
import {act, join, showRow} from './history.js';
import {dialogOf, moved, paintTile, select, tileSide} from './lists.js';
import {$} from './ui.js';

export const variations = (() => {
  const {dialog, open} = dialogOf('Variations', {modal: true});
  const grid = $('VariationsGrid');
  const strength = $('Strength');
  const kCentre = 4, kSteps = 200;
  // The slider's steps multiply the strength by one factor, subtle to wild, as the window's do.
  const strengthAt = (step) => {
    const [subtle, wild] = engine.strengths;
    return subtle * (wild / subtle) ** (step / kSteps);
  };
  const stepOf = (value) => {
    const [subtle, wild] = engine.strengths;
    return Math.round(kSteps * Math.log(value / subtle) / Math.log(wild / subtle));
  };
  const showStrength = () => {
    const value = strengthAt(Number(strength.value)).toFixed(3);
    strength.setAttribute('aria-valuetext', value);
    $('StrengthValue').value = value;
  };
  let figures = [], selected = kCentre;

  for (let i = 0; i < 9; ++i) {
    const option = document.createElement('div');
    option.role = 'option';
    option.id = `variation-${i}`;
    option.setAttribute('aria-label', i === kCentre ? 'The figure on the canvas' : `Variation ${i < kCentre ? i + 1 : i}`);
    option.innerHTML = '<canvas width="1" height="1"></canvas>';
    option.addEventListener('click', () => {
      selected = i;
      select(grid, i);
      choose();
    });
    grid.append(option);
  }
  // The figure on the canvas in the middle and eight near it, each traced and scaled down.
  async function shuffle() {
    const centre = {draws: view.shown.draws, directions: view.shown.directions};
    const answer = await ask({op: 'vary', ...centre, strength: strengthAt(Number(strength.value)), count: 8});
    figures = answer.draws.map((draws) => ({draws, directions: centre.directions}));
    figures.splice(kCentre, 0, centre);
    selected = kCentre;
    select(grid, selected);
    const side = tileSide(parseFloat(getComputedStyle(grid.children[0]).width) || 160);
    const asked = figures;
    // Three at a time, the middle row first, so that a figure asked for meanwhile waits little.
    for (const part of [[3, 4, 5], [0, 1, 2], [6, 7, 8]]) {
      const {tiles} = await ask({op: 'tiles', side, figures: part.map((i) => asked[i])});
      if (figures !== asked) return;
      part.forEach((i, k) => paintTile(grid.children[i], tiles[k], side));
    }
  }
  // The selected figure on the canvas, joining the history; the grid moves to it.
  function choose() {
    const figure = figures[selected];
    if (selected === kCentre || !figure) return;
    act(async () => {
      await showRow(figure);
      await join();
      await shuffle();
    });
  }
  grid.addEventListener('keydown', (event) => {
    if (event.key === 'Enter') {
      choose();
    } else if (event.key === ' ') {
      act(shuffle);
    } else {
      const next = moved(grid, selected, event.key);
      if (next === selected) return;
      selected = next;
      select(grid, selected);
    }
    event.preventDefault();
  });
  strength.addEventListener('input', showStrength);
  strength.addEventListener('change', () => act(shuffle));
  return {
    open() {
      strength.min = '0';
      strength.max = String(kSteps);
      if (!dialog.dataset.opened) strength.value = String(stepOf(engine.strengths[2]));
      showStrength();
      dialog.dataset.opened = '1';
      open(grid);
      act(shuffle);
    },
  };
})();
