// The figures file: a JSON array of {draws, directions, favourite, shown_at, note}, the draws
// and directions as stringart-render's options take them; the window reads and writes the same.
// The core's worker reads, checks, keeps and writes them, a file of any size in batches; the
// gallery shows how far it has got, with a button that cancels.

import {askLong} from './engine.js';
import {download} from './files.js';
import {favourites, showFavourite, visit} from './history.js';
import {keeping} from './store.js';
import {$, clipQuote, kLongestQuote, say} from './ui.js';

const kLongestFile = 32 << 20;  // bytes of a figures file read at most, as the window reads
const shown = {row: $('Transfer'), what: $('TransferWhat'), bar: $('TransferBar')};
const starters = [$('SaveFigures'), $('OpenFigures')];
let stop = null;  // what cancels the transfer under way
$('CancelTransfer').addEventListener('click', () => stop?.());

// Asks the worker for a transfer, one at a time, its progress shown under `words`.
async function transfer(words, question) {
  shown.what.textContent = words;
  shown.bar.value = 0;
  shown.row.hidden = false;
  starters.forEach((button) => { button.disabled = true; });
  const {answer, cancel} = askLong(question, (fraction) => { shown.bar.value = fraction; });
  stop = cancel;
  try {
    return await answer;
  } finally {
    stop = null;
    shown.row.hidden = true;
    starters.forEach((button) => { button.disabled = false; });
  }
}

export async function saveFigures() {
  const day = new Date();
  const date = [day.getFullYear(), day.getMonth() + 1, day.getDate()].map((n) => String(n).padStart(2, '0')).join('-');
  // Without a store the rows of this visit are all there is.
  const answer = await transfer('Saving the figures…', {op: 'export', rows: keeping() ? undefined : visit.trail});
  if (answer.cancelled) return say('The figures were not saved: cancelled.');
  download(answer.file, `figures-${date}.json`);
  say(`Saved ${answer.count} figure${answer.count === 1 ? '' : 's'} as figures-${date}.json.`);
}

// Reads a figures file and keeps the figures not kept yet, favourites marked as the file marks
// them; a file that is not wholly right, or cancelled, changes nothing.
export async function openFigures(file) {
  const quoted = JSON.stringify(file.name.length > kLongestQuote ? `${file.name.slice(0, kLongestQuote - 1)}…` : file.name);
  const refused = (why) => say(`${quoted} was not opened, and nothing changed: ${why}.`, true);
  if (file.size > kLongestFile) return refused(`it is larger than ${kLongestFile >> 20} MiB`);
  // Without a store the rows of this visit are all there is; the new figures go before them.
  const known = keeping() ? undefined : visit.trail.slice();
  const answer = await transfer(`Opening ${quoted}…`, {op: 'import', file, known});
  if (answer.cancelled) return say(`${quoted} was not opened, and nothing changed: cancelled.`);
  if (answer.error) return refused(clipQuote(answer.error));
  answer.favourites.forEach((key) => favourites.add(key));
  const added = known ? answer.fresh.length : answer.fresh;
  if (known) {
    visit.trail.splice(0, known.length, ...answer.fresh, ...answer.known);
    visit.at += added;
  }
  showFavourite();
  say(`Opened ${quoted}: ${added} new figure${added === 1 ? '' : 's'}, ${answer.already} already kept.`);
}
