// The figures file: a JSON array of {draws, directions, favourite, shown_at, note}, the draws
// and directions as stringart-render's options take them; the window reads and writes the same.

import {ask} from './engine.js';
import {download} from './files.js';
import {favourites, figureKey, showFavourite, unkept, visit} from './history.js';
import {done, inStore, keeping, keptAll, rewrite} from './store.js';
import {clipQuote, kLongestQuote, say} from './ui.js';

const kLongestFile = 32 << 20;  // bytes of a figures file read at most, as the window reads

export async function saveFigures() {
  const rows = await keptAll(unkept());
  const lines = rows.map(({draws, directions, favourite, shown_at, note}) =>
    JSON.stringify({draws, directions, favourite: Boolean(favourite), shown_at, note: note ?? ''}));
  const day = new Date();
  const date = [day.getFullYear(), day.getMonth() + 1, day.getDate()].map((n) => String(n).padStart(2, '0')).join('-');
  download(new Blob([`[\n${lines.join(',\n')}\n]\n`], {type: 'application/json'}), `figures-${date}.json`);
  say(`Saved ${rows.length} figure${rows.length === 1 ? '' : 's'} as figures-${date}.json.`);
}

// Reads a figures file and keeps the figures not kept yet, favourites marked as the file marks
// them; a file that is not wholly right changes nothing.
export async function openFigures(file) {
  const quoted = JSON.stringify(file.name.length > kLongestQuote ? `${file.name.slice(0, kLongestQuote - 1)}…` : file.name);
  const refused = (why) => say(`${quoted} was not opened, and nothing changed: ${why}.`, true);
  if (file.size > kLongestFile) return refused(`it is larger than ${kLongestFile >> 20} MiB`);
  const answer = await ask({op: 'open', file});
  if (answer.error) return refused(clipQuote(answer.error));
  const kept = new Map((await keptAll(unkept())).map((row) => [figureKey(row), row]));
  const added = [], marked = [];
  for (const row of answer.figures.sort((a, b) => a.shown_at - b.shown_at)) {
    const key = figureKey(row);
    const known = kept.get(key);
    if (!known) {
      if (row.favourite) row.marked_at = row.shown_at;
      added.push(row);
      kept.set(key, row);
    } else {
      // As the window opens one: a figure kept already takes the file's mark, and its note
      // when it has none.
      const mark = row.favourite && !favourites.has(key), note = row.note && !known.note;
      if (mark) Object.assign(known, {favourite: true, marked_at: Date.now() / 1000});
      if (note) known.note = row.note;
      if (mark || note) marked.push(known);
    }
    if (row.favourite) favourites.add(key);
  }
  if (keeping()) {
    await inStore('readwrite', (figures) => Promise.all(added.map((row) => done(figures.add(row)))));
    await rewrite(marked);
  } else {
    visit.trail.unshift(...added);
    visit.at += added.length;
  }
  showFavourite();
  say(`Opened ${quoted}: ${added.length} new figure${added.length === 1 ? '' : 's'}, ` +
      `${answer.figures.length - added.length} already kept.`);
}
