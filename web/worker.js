// The page's worker: the WebAssembly core off the page's thread. The build appends this script to
// emscripten's loader (StringartCore), so that the worker is one file. The page hands it the
// compiled module once (it fetched it with the HTML) and then asks for one thing at a time:
//   {id, op, ...} -> {id, ...answer}, or {id, failed} when the core aborted and cannot go on.
// Pixels come back as transferred ArrayBuffers of RGBA bytes, rows top to bottom.
let core = null;

const text = (pointer) => core.UTF8ToString(pointer);

// Calls the core's `name` with each string as (pointer, length) of UTF-8, freed afterwards.
function withTexts(name, ...strings) {
  const places = [];
  try {
    const args = [];
    for (const string of strings) {
      const utf8 = new TextEncoder().encode(string);
      const where = core._malloc(utf8.length + 1);
      if (!where) throw new RangeError('no room in the core for the text');
      places.push(where);
      core.HEAPU8.set(utf8, where);
      args.push(where, utf8.length);
    }
    return text(core[`_${name}`](...args));
  } finally {
    places.forEach((where) => core._free(where));
  }
}

// The core's bytes at `pointer` copied out, to be transferred.
const bytes = (pointer, length) => core.HEAPU8.slice(pointer, pointer + length).buffer;

// What the page keeps of the figure on the core's canvas.
function shown() {
  const [draws, directions, end, link, name, remake] = [0, 1, 2, 3, 4, 5].map((k) => text(core._Shown(k)));
  return {draws, directions, end, link, name, remake};
}

const kSide = 500;  // the canvas's width and height, pixels
// Reads a figure as the renderer's options take it; '' when it reads, else why not.
const read = ({draws, directions}) => withTexts('ReadFigure', String(draws), String(directions));

// Traces a figure: {draws, directions}, {link} (a fragment), or {fresh: directions} for "new".
function trace(figure) {
  const error = 'link' in figure ? withTexts('ShowLink', figure.link)
              : 'fresh' in figure ? withTexts('TraceFresh', figure.fresh)
              : read(figure) || (core._TraceRead(), '');
  if (error) return {error};
  return {figure: shown()};
}


// The figure on the core's canvas as stringart-render writes it to an .svg file, written by the
// core and copied out of its memory.
function svgDocument() {
  const at = core._SvgText();
  return new Blob([core.HEAPU8.subarray(at, core.HEAPU8.indexOf(0, at))], {type: 'image/svg+xml'});
}

// ---- Figures files, read and written here, off the page's thread ----
// A figures file is a JSON array of {draws, directions, favourite, shown_at, note}, the window's
// format. Reading checks all of it before it keeps any; keeping is one transaction of the page's
// store, so that a file cancelled halfway, or refused, leaves the store as it was. The work goes
// in batches, the page told how far it got after each, and a cancel read in between.

const kBatch = 2000;  // figures checked, kept or written between two looks at the page's messages
const cancelled = new Set();  // the ids of transfers the visitor cancelled
const pause = () => new Promise((resolve) => setTimeout(resolve, 0));
const told = (request) => new Promise((resolve, reject) => {
  request.onsuccess = () => resolve(request.result);
  request.onerror = () => reject(request.error);
});
const figureKey = (row) => `${row.draws} ${row.directions}`;

// The line of `text` on which its top list's item `index` (from 0) starts.
function lineOfItem(text, index) {
  let depth = 0, line = 1, count = -1, starting = false;
  for (let at = 0; at < text.length; ++at) {
    const c = text[at];
    if (c === '\n') ++line;
    if (c === ' ' || c === '\n' || c === '\t' || c === '\r') continue;
    if (starting) {
      starting = false;
      if (++count === index) return line;
    }
    if (c === '"') {
      // A JSON string holds no line break of its own.
      for (++at; at < text.length && text[at] !== '"'; ++at) if (text[at] === '\\') ++at;
    } else if (c === '[' || c === '{') {
      starting = ++depth === 1;
    } else if (c === ']' || c === '}') {
      --depth;
    } else if (c === ',' && depth === 1) {
      starting = true;
    }
  }
  return line;
}

// One item of a figures file as the window checks it: the row to keep, in the renderer's
// spelling, or what is wrong. "draws" is needed; the others default to rising directions, no
// favourite, shown now and no note; keys besides these are passed over.
function checkFigure(item) {
  const kNoteMax = 4000;  // bytes of UTF-8 in a note the window keeps
  const kLatestShownAt = 253402300799;  // the end of the year 9999
  const kLongestText = 4096;  // characters of draws the core is handed; twelve take under 200
  if (item === null || typeof item !== 'object' || Array.isArray(item)) return 'it is not an object';
  if (!('draws' in item)) return 'it has no "draws"';
  const {draws, directions = '1,1,1', favourite = false, shown_at = Math.floor(Date.now() / 1000), note = ''} = item;
  for (const [key, value] of Object.entries({draws, directions, note})) {
    if (typeof value !== 'string') return `"${key}" is not text`;
  }
  if (typeof favourite !== 'boolean') return '"favourite" is not true or false';
  if (!Number.isInteger(shown_at)) return '"shown_at" is not a whole number of seconds';
  if (shown_at < 0 || shown_at > kLatestShownAt) return '"shown_at" is not a time from 1970 to 9999';
  if (new TextEncoder().encode(note).length > kNoteMax) return `the note is longer than ${kNoteMax} bytes`;
  if (/[\0-\x1f\x7f-\x9f]/.test(note)) return 'the note holds a control character';
  if (draws.length > kLongestText || directions.length > kLongestText) return 'its draws or directions are far too long';
  const error = read({draws, directions});
  if (error) return error;
  return {draws: text(core._ReadForm(0)), directions: text(core._ReadForm(1)), favourite, shown_at, note};
}

// The page's store, which the page has opened (and made) already.
const openStore = () => new Promise((resolve, reject) => {
  const opening = indexedDB.open('stringart', 1);
  opening.onupgradeneeded = () => opening.transaction.abort();
  opening.onsuccess = () => resolve(opening.result);
  opening.onerror = () => reject(opening.error);
});

// The figures of a file not among those `kept` (a map by figureKey, which takes them) become
// `fresh` rows; a figure kept already takes the file's mark, and its note when it has none, as
// the window opens one, and is among `changed`. `favourites` are the keys the file marks.
function merge(figures, kept) {
  const fresh = [], changed = [], favourites = [];
  for (const row of figures.sort((a, b) => a.shown_at - b.shown_at)) {
    const key = figureKey(row);
    const known = kept.get(key);
    if (!known) {
      if (row.favourite) row.marked_at = row.shown_at;
      fresh.push(row);
      kept.set(key, row);
    } else {
      const mark = row.favourite && !known.favourite, note = row.note && !known.note;
      if (mark) Object.assign(known, {favourite: true, marked_at: Date.now() / 1000});
      if (note) known.note = row.note;
      if (mark || note) changed.push(known);
    }
    if (row.favourite) favourites.push(key);
  }
  return {fresh, changed, favourites, already: figures.length - fresh.length};
}

// Reads and checks the file in batches (the first half of the progress), then keeps the figures
// not kept yet in one transaction of the store (the second half), or, without a store, merges
// them with the rows the page keeps itself (`known`). {fresh, already, favourites} (and
// `known` changed, without a store), {cancelled}, or {error} for the first thing wrong, with its
// line.
async function importFigures({id, file, known}) {
  const words = await file.text();
  let list;
  try {
    list = JSON.parse(words);
  } catch (error) {
    const at = /position (\d+)/.exec(error?.message)?.[1];
    return {error: `it is not JSON${at === undefined ? '' : ` (line ${words.slice(0, Number(at)).split('\n').length})`}`};
  }
  if (!Array.isArray(list)) return {error: 'it is not a list of figures'};
  const figures = [];
  for (let i = 0; i < list.length; ++i) {
    if (i % kBatch === 0) {
      postMessage({id, progress: i / list.length / 2});
      await pause();
      if (cancelled.delete(id)) return {cancelled: true};
    }
    const figure = checkFigure(list[i]);
    if (typeof figure === 'string') return {error: `figure ${i + 1}, on line ${lineOfItem(words, i)}: ${figure}`};
    figures.push(figure);
  }
  if (known) return {...merge(figures, new Map(known.map((row) => [figureKey(row), row]))), known};

  const store = await openStore();
  try {
    const transaction = store.transaction('figures', 'readwrite');
    const finished = new Promise((resolve, reject) => {
      transaction.oncomplete = resolve;
      transaction.onabort = transaction.onerror = () => reject(transaction.error);
    });
    finished.catch(() => {});
    const rows = transaction.objectStore('figures');
    const {fresh, changed, favourites, already} =
        merge(figures, new Map((await told(rows.getAll())).map((row) => [figureKey(row), row])));
    const writes = [...fresh.map((row) => () => rows.add(row)), ...changed.map((row) => () => rows.put(row))];
    // The next batch is asked for as the last one is done, which keeps the transaction open;
    // the page's messages are read in between.
    for (let i = 0; i < writes.length; i += kBatch) {
      let last = null;
      for (const write of writes.slice(i, i + kBatch)) last = write();
      await told(last);
      postMessage({id, progress: 0.5 + (i + kBatch) / writes.length / 2});
      if (cancelled.delete(id)) {
        transaction.abort();
        return {cancelled: true};
      }
    }
    await finished;
    return {fresh: fresh.length, already, favourites};
  } catch (error) {
    return {error: error?.name === 'QuotaExceededError' ? 'the browser has no room left' : String(error?.message ?? error)};
  } finally {
    store.close();
  }
}

// Every kept figure, oldest first, as the figures file the window writes, read in batches; or
// the `rows` the page keeps itself, without a store.
async function exportFigures({id, rows}) {
  const lines = [];
  const write = (part) => {
    for (const {draws, directions, favourite, shown_at, note} of part) {
      lines.push(JSON.stringify({draws, directions, favourite: Boolean(favourite), shown_at, note: note ?? ''}));
    }
  };
  const file = () => ({file: new Blob([`[\n${lines.join(',\n')}\n]\n`], {type: 'application/json'}), count: lines.length});
  if (rows) {
    write(rows);
    return file();
  }
  const store = await openStore();
  try {
    const inStore = (use) => use(store.transaction('figures').objectStore('figures'));
    const total = await told(inStore((kept) => kept.count()));
    for (let last = null; ;) {
      const from = last === null ? null : IDBKeyRange.lowerBound(last, true);
      const part = await told(inStore((kept) => kept.getAll(from, kBatch)));
      write(part);
      postMessage({id, progress: lines.length / Math.max(1, total)});
      if (cancelled.delete(id)) return {cancelled: true};
      if (part.length < kBatch) return file();
      last = part[part.length - 1].id;
    }
  } finally {
    store.close();
  }
}

const ops = {
  show(message) {
    const answer = trace(message);
    if (answer.error) return answer;
    answer.rgba = bytes(core._CanvasRgba(), kSide * kSide * 4);
    return answer;
  },
  // Figures scaled down to side x side tiles, exactly as the window's gallery and Variations
  // scale them.
  tiles({figures, side}) {
    return {tiles: figures.map((figure) => {
      const answer = trace(figure);
      return answer.error ? null : {name: answer.figure.name, rgba: bytes(core._TileRgba(side), side * side * 4)};
    })};
  },
  // The figure watched as it is drawn: with `start` it is traced and its segments counted
  // (`total`); the watch's canvas after its first `to` segments.
  watch(figure) {
    const answer = figure.start ? trace(figure) : {};
    if (answer.error) return answer;
    if (figure.start) answer.total = core._Watch();
    answer.rgba = bytes(core._WatchTo(figure.to), kSide * kSide * 4);
    return answer;
  },
  // Figures near `draws`, each draw moved by at most `strength`.
  vary({draws, directions, strength, count}) {
    const error = read({draws, directions});
    if (error) return {error};
    return {draws: Array.from({length: count}, () => text(core._VaryRead(strength)))};
  },
  // A figures file read and checked whole, then kept.
  import: importFigures,
  // Every kept figure as a figures file, {file, count}, or {cancelled}.
  export: exportFigures,
  // The transfer `target` stops where it is: a file half read keeps nothing.
  cancel({target}) {
    cancelled.add(target);
    return {};
  },
  svg(figure) {
    const answer = trace(figure);
    return answer.error ? answer : {name: answer.figure.name, svg: svgDocument()};
  },
  // The figure anti-aliased at width x height, as stringart-render --size WxH draws it: a bitmap
  // for the canvas, or with `png` the PNG's bytes, encoded here off the page's thread.
  async smooth(figure) {
    const answer = trace(figure);
    if (answer.error) return answer;
    const {width, height, png} = figure;
    const at = core._DrawSmooth(width, height);
    if (!at) return {error: `${width} x ${height} pixels are more than the page draws`};
    const pixels = new ImageData(new Uint8ClampedArray(core.HEAPU8.buffer, at, width * height * 4), width, height);
    if (!png) return {...answer, width, bitmap: await createImageBitmap(pixels)};
    const picture = new OffscreenCanvas(width, height);
    picture.getContext('2d').putImageData(pixels, 0, 0);
    return {...answer, png: await picture.convertToBlob()};
  },
};

self.onmessage = async ({data}) => {
  const {id, op} = data;
  if (op === 'start') {
    try {
      core = await StringartCore({instantiateWasm(imports, receive) {
        WebAssembly.instantiate(data.module, imports).then((instance) => receive(instance));
        return {};
      }});
      core._SeedVariations(...data.seed);
      const strengths = [0, 1, 2].map((which) => core._VariationStrength(which));
      postMessage({id, strengths, smooth: typeof createImageBitmap === 'function',
                   large: typeof OffscreenCanvasRenderingContext2D === 'function'});
    } catch (error) {
      postMessage({id, failed: String(error?.message ?? error)});
    }
    return;
  }
  try {
    const answer = await ops[op](data);
    const transfer = [answer.rgba, answer.bitmap, ...(answer.tiles ?? []).map((tile) => tile?.rgba)].filter(Boolean);
    postMessage({id, ...answer}, transfer);
  } catch (error) {
    // An abort leaves the core unusable: the page starts another worker.
    postMessage({id, failed: String(error?.message ?? error)});
  }
};
