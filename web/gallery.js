// The gallery ("Figures"): the kept figures as thumbnails, the favourites or all of them, and
// the figures file saved and opened from there.

import {view} from './canvas.js';
import {askLater} from './engine.js';
import {openFigures, saveFigures} from './figures-file.js';
import {act, aside, favourites, favouritesOf, figureKey, join, showRow, visit} from './history.js';
import {dialogOf, moved, paintTile, select, tileSide} from './lists.js';
import {done, inStore, keeping, keptPage} from './store.js';
import {$} from './ui.js';

export const gallery = (() => {
  const {dialog, open} = dialogOf('Gallery', {modal: true});
  const list = $('GalleryList');
  const tabs = {favourites: $('FavouritesTab'), all: $('AllTab')};
  const kPage = 60;  // rows added to the list at a time
  let tab = 'favourites', rows = [], selected = 0, more = true;
  let fills = 0;  // how often the list was filled: a fill or a page that comes late is dropped
  const thumbs = new IntersectionObserver((entries) => {
    for (const {isIntersecting, target} of entries) {
      if (!isIntersecting || target.dataset.asked) continue;
      target.dataset.asked = '1';
      const row = rows[Number(target.dataset.index)];
      const side = tileSide(100);
      askLater({op: 'tiles', side, figures: [row]}).then(({tiles: [tile]}) => {
        if (tile) paintTile(target, tile, side);
      }, () => {});
    }
  }, {root: list, rootMargin: '200px'});

  function addOptions(from, to) {
    for (let i = from; i < to; ++i) {
      const row = rows[i];
      const option = document.createElement('div');
      option.role = 'option';
      option.id = `figure-${i}`;
      option.dataset.index = String(i);
      // Read out as "Favourite figure shown 9 Dec, 14:05"; shown as "★ 9 Dec, 14:05".
      option.innerHTML = '<canvas width="1" height="1"></canvas><span><span class="unseen"></span><span aria-hidden="true"></span></span>';
      const [said, star] = option.lastChild.children;
      said.textContent = `${row.favourite ? 'Favourite figure' : 'Figure'} shown `;
      star.textContent = row.favourite ? '★ ' : '';
      option.lastChild.append(new Date(row.shown_at * 1000).toLocaleString('en-GB', {day: 'numeric', month: 'short', hour: '2-digit', minute: '2-digit'}));
      option.addEventListener('click', () => choose(i));
      list.append(option);
      thumbs.observe(option);
    }
  }
  // Adds the next page to the list: of the favourites, all read already (there may be tens of
  // thousands), or of "All" from the store, unless the list was filled anew meanwhile.
  async function grow() {
    const from = list.children.length, filled = fills;
    if (tab === 'favourites') {
      addOptions(from, Math.min(rows.length, from + kPage));
      return;
    }
    if (!more) return;
    const page = keeping() ? await keptPage(rows[from - 1]?.id, kPage)
                           : (from ? [] : [...visit.trail].reverse());
    if (filled !== fills || rows.length !== from) return;
    more = keeping() && page.length === kPage;
    rows.push(...page);
    addOptions(from, rows.length);
  }
  async function fill() {
    const filled = ++fills;
    for (const [name, button] of Object.entries(tabs)) button.setAttribute('aria-selected', String(name === tab));
    list.setAttribute('aria-label', tab === 'all' ? 'All figures' : 'Favourites');
    list.replaceChildren();
    [rows, selected, more] = [[], 0, true];
    if (tab === 'favourites') {
      // Each favourite once, most recently marked first.
      const seen = new Set();
      const marked = (await favouritesOf()).sort((a, b) => b.marked_at - a.marked_at)
          .filter((row) => !seen.has(figureKey(row)) && seen.add(figureKey(row)));
      if (filled !== fills) return;
      rows = marked;
      await grow();
    } else {
      await grow();
      if (filled !== fills) return;
    }
    $('GalleryNote').textContent = rows.length ? 'Arrows move, Enter or a tap shows the figure, Esc closes.'
      : tab === 'all' ? 'No figures kept yet.' : 'No favourites yet: F or "Favourite" marks the figure on the canvas.';
    select(list, 0);
  }
  function choose(index) {
    const row = rows[index];
    if (!row) return;
    dialog.close();
    act(async () => {
      await showRow(row);
      await join();
    });
  }
  // Delete takes the selected figure out of the store; "Undo" (or Ctrl+Z) puts it back.
  let undo = null;
  const undoButton = $('Undo');
  const undone = undoButton.onclick = () => {
    undo?.();
    undo = null;
    undoButton.hidden = true;
  };
  list.addEventListener('keydown', async (event) => {
    const row = rows[selected];
    if (event.key === 'Enter' || event.key === ' ') {
      choose(selected);
    } else if (event.key === 'Delete' && row?.id !== undefined) {
      await inStore('readwrite', (figures) => done(figures.delete(row.id)));
      undo = () => inStore('readwrite', (figures) => done(figures.put(row))).then(fill);
      undoButton.hidden = false;
      await fill();
    } else if (event.key === 'z' && event.ctrlKey) {
      undone();
    } else {
      const next = moved(list, selected, event.key);
      if (next === selected && event.key !== 'Home') return;
      selected = next;
      select(list, selected);
      if (selected >= list.children.length - 6) await grow();
    }
    event.preventDefault();
  });
  list.addEventListener('scroll', () => {
    if (list.scrollTop + list.clientHeight > list.scrollHeight - 300) grow();
  });
  for (const [name, button] of Object.entries(tabs)) {
    button.addEventListener('click', () => {
      tab = name;
      fill();
    });
  }
  $('SaveFigures').addEventListener('click', () => aside(saveFigures));
  $('OpenFigures').addEventListener('click', () => $('FiguresFile').click());
  $('FiguresFile').addEventListener('change', (event) => {
    const [file] = event.target.files;
    event.target.value = '';
    if (file) {
      aside(async () => {
        await openFigures(file);
        if (dialog.open) await fill();
      });
    }
  });
  return {
    dialog,
    fill,
    async open() {
      tab = favourites.size ? 'favourites' : 'all';
      undoButton.hidden = true;
      open(list);
      await fill();
    },
  };
})();
