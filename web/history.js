// The figures of the visit and of earlier ones: the history that back and forward move through,
// "new", the address, favourites, and the visitor's actions one after another.

import {paint, onPaint, view} from './canvas.js';
import {ask, CoreFailed, startCore} from './engine.js';
import {keep, keptBefore, keptFavourites, keptPage, refused, rewrite} from './store.js';
import {$, canvas, clipQuote, enable, kLongestQuote, message, say} from './ui.js';

// Characters after '#' handed to the core at most; a figure's link has under 300.
const kLongestAddress = 4096;
const favouriteButton = $('Favourite');

export const figureKey = (row) => `${row.draws} ${row.directions}`;
const now = () => Math.floor(Date.now() / 1000);
// The rows reached this visit, earlier visits' first, each once, and the one on the canvas.
export const visit = {trail: [], at: -1};
export const favourites = new Set();  // figureKey of every favourite
export const showFavourite = () => favouriteButton.setAttribute('aria-pressed', String(favourites.has(figureKey(view.shown))));
onPaint(showFavourite);

// The favourites, from the rows of the visit for a browser that keeps nothing.
export const favouritesOf = () => keptFavourites(visit.trail.filter((row) => row.favourite));

// Shows `row` (draws and directions) on the canvas.
export async function showRow(row, options) {
  const answer = await ask({op: 'show', draws: row.draws, directions: row.directions});
  if (answer.error) throw new Error(answer.error);
  paint(answer, options);
}
// The figure on the canvas joins the history at its end, and the store, as shown anew.
export async function join() {
  const {shown} = view;
  const row = {draws: shown.draws, directions: shown.directions, favourite: false, shown_at: now(), note: ''};
  visit.trail.push(row);
  visit.at = visit.trail.length - 1;
  await keep(row);
}
// As join, but a page reloaded (or opened again) at the address of the newest figure kept goes
// on from that row rather than keeping the figure a second time.
async function joinUnlessKept() {
  const [newest] = visit.trail.length ? [] : await keptPage(undefined, 1) ?? [];
  if (!newest || figureKey(newest) !== figureKey(view.shown)) {
    await join();
    return;
  }
  visit.trail.push(newest);
  visit.at = 0;
}
export async function newFigure(options) {
  paint(await ask({op: 'show', fresh: view.shown?.end ?? '1,1,1'}), options);
  await join();
}
export async function back() {
  const {trail} = visit;
  if (visit.at > 0) {
    await showRow(trail[--visit.at]);
    return;
  }
  // Before the first figure of the visit: the figures of earlier visits, newest first.
  const earlier = await keptBefore(trail[0]?.id);
  if (!earlier) return;
  trail.unshift(earlier);
  visit.at = 0;
  await showRow(earlier);
}
export async function forward() {
  if (visit.at < visit.trail.length - 1) await showRow(visit.trail[++visit.at]);
}
// Forward, and past the last figure a new one.
export async function forwardOrNew() {
  if (visit.at < visit.trail.length - 1) return forward();
  say('');
  await newFigure();
}

// The visitor's actions run one after another, each finished before the next starts; the
// canvas is busy meanwhile.
let actions = Promise.resolve(), waiting = 0;
export function act(step) {
  if (!waiting++) canvas.setAttribute('aria-busy', 'true');
  return (actions = actions.then(() => guarded(step)).finally(() => {
    if (!--waiting) canvas.setAttribute('aria-busy', 'false');
  }));
}

// Runs `step` beside the visitor's actions, which go on meanwhile (a long transfer of figures);
// should the core abort, it is started again as in an action.
export const aside = (step) => step().catch((error) => act(() => { throw error; }));

// Runs `step`. Should the core abort (it cannot go on after that), starts a fresh one with a
// fresh figure and says what happened.
let restarting = false;
async function guarded(step) {
  if (restarting) return;
  try {
    await step();
  } catch (error) {
    if (!(error instanceof CoreFailed)) {
      say(String(error?.message ?? error), true);
      return;
    }
    restarting = true;
    enable(false);
    const problem = await startCore();
    restarting = false;
    if (problem) {
      say(problem, true);
      return;
    }
    await newFigure();
    enable(true);
    const why = error.message.replace(/\. Build with.*$/s, '');
    say(`The drawing engine failed (${why.slice(0, kLongestQuote)}) and was started again; ` +
        'here is a fresh figure.', true);
  }
}

// ---- Addresses ----

// Shows the figure of the fragment, also as a chat or a sentence spoils a link: "&amp;" for
// "&", a full stop, a bracket or a quote after it. '' when shown, else why the fragment names
// no figure.
async function showFragment(fragment) {
  if (fragment.length > kLongestAddress) {
    return `it is ${fragment.length.toLocaleString('en')} characters long, and a figure's link has under 300`;
  }
  let link;
  try {
    link = decodeURIComponent(fragment);
  } catch {
    return 'its percent-escapes are broken';
  }
  let answer = await ask({op: 'show', link});
  if (answer.error) {
    const mended = link.replace(/&amp;/gi, '&').replace(/[\s.,;:!?'"”’»)\]}>]+$/u, '');
    if (mended === link) return answer.error;
    const again = await ask({op: 'show', link: mended});
    if (again.error) return answer.error;
    answer = again;
  }
  paint(answer);
  return '';
}

// Shows the figure the address names, in the core's spelling, as a new figure of the history.
// An address that names none stays for the visitor to mend, with a message and a fresh figure
// meanwhile.
export async function showAddress() {
  if (view.shown && location.hash === `#${view.shown.link}`) return;
  if (location.hash.length <= 1) {
    await newFigure();
    return;
  }
  const error = await showFragment(location.hash.slice(1));
  if (error === '') {
    if (message.className === 'error' && !refused()) say('');
    await joinUnlessKept();
    return;
  }
  await newFigure({keepAddress: true});
  say(`This address names no figure: ${clipQuote(error)}. It is left as it was for you to mend; ` +
      'here is a fresh figure meanwhile.', true);
}

// ---- Favourites ----

export async function toggleFavourite() {
  const key = figureKey(view.shown);
  const row = visit.trail[visit.at];
  if (favourites.has(key)) {
    // Unmarks the figure wherever it is kept.
    favourites.delete(key);
    const marked = (await favouritesOf()).filter((r) => figureKey(r) === key);
    for (const r of [row, ...marked]) {
      r.favourite = false;
      delete r.marked_at;
    }
    await rewrite(marked.filter((r) => r.id !== row.id).concat(row.id === undefined ? [] : [row]));
  } else {
    favourites.add(key);
    Object.assign(row, {favourite: true, marked_at: Date.now() / 1000});
    if (row.id !== undefined) await rewrite([row]);
  }
  showFavourite();
}
