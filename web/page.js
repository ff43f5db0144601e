// The page around the WebAssembly core, which runs in a worker (stringart.js): the core traces
// every figure, checks every address and figures file, names figures and scales them down; this
// script keeps the history of figures and the browser's store of them, paints the canvas, runs
// the buttons, keys and dialogs, and starts the core again should it ever abort. The page's
// thread never traces, so that it stays free for the visitor.
'use strict';

(async () => {
  const kSize = 500;  // the canvas's width and height, pixels
  // Characters after '#' handed to the core at most; a figure's link has under 300.
  const kLongestAddress = 4096;
  const kLongestQuote = 80;  // characters of an address quoted in a message
  const kLongestFile = 32 << 20;  // bytes of a figures file read at most, as the window reads
  const kPositions = 1 << 24;  // an Adjust slider's positions: a draw is position / kPositions
  const kRestMs = 500;  // an Adjust slider still this long joins its figure to the history
  // The window's names of the twelve draws, in draw order.
  const kDrawNames = ['pivot phase', 'arm phase', 'red start', 'green start', 'blue start', 'red step',
                      'green step', 'blue step', 'pivot x factor', 'pivot y factor', 'arm x factor',
                      'arm y factor'];
  const $ = (id) => document.getElementById(id);
  const canvas = $('Picture1');
  const context = canvas.getContext('2d', {alpha: false});
  const message = $('message');
  const buttons = [...document.querySelectorAll('#buttons button')];
  const favouriteButton = $('Favourite');

  function say(words, isError = false) {
    message.textContent = words;
    message.className = isError ? 'error' : '';
  }
  const enable = (on) => buttons.forEach((button) => { button.disabled = !on; });

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

  // ---- The core, in its worker ----

  const kNoDownload = 'The page could not download its drawing engine. Check the connection and reload the page.';
  class CoreFailed extends Error {}
  let worker = null;
  let compiled = null;  // the core's WebAssembly module, compiled once for every worker
  let strengths = [0.005, 0.5, 0.05];  // Variations: subtle, wild, to start with (the core says)
  let drawsSmooth = false;  // whether the worker hands anti-aliased pictures to the canvas
  let drawsLarge = false;  // and encodes them as PNG
  let nextId = 0;
  const answers = new Map();  // what each question waits for, by its id
  const later = [];  // questions that wait until the worker has nothing else to do
  let asking = 0;  // questions the worker has not answered yet

  function post(question, transfer = []) {
    const id = ++nextId;
    ++asking;
    return new Promise((resolve) => {
      answers.set(id, resolve);
      worker.postMessage({id, ...question}, transfer);
    }).then((answer) => {
      --asking;
      pump();
      if (answer.failed !== undefined) throw new CoreFailed(answer.failed);
      return answer;
    });
  }
  // Asks the core at once; resolves to its answer, throws CoreFailed when it aborted.
  const ask = (question) => post(question);
  // Asks the core when it is idle: tiles wait behind whatever the visitor asked for.
  const askLater = (question) => new Promise((resolve, reject) => {
    later.push({question, resolve, reject});
    pump();
  });
  function pump() {
    if (asking || !later.length || !worker) return;
    const {question, resolve, reject} = later.shift();
    post(question).then(resolve, reject);
  }

  // Starts a core; resolves to '' or to what keeps it from starting, in the visitor's words.
  async function startCore() {
    worker?.terminate();
    worker = null;
    answers.forEach((resolve) => resolve({failed: 'stopped'}));
    answers.clear();
    if (location.protocol === 'file:') {
      return 'This page was opened as a file, and browsers do not let a file load the drawing ' +
             'engine it needs. Open it from a web server instead: tools/web.sh serve, then ' +
             'http://127.0.0.1:8000/.';
    }
    if (typeof WebAssembly !== 'object' || typeof Worker !== 'function') {
      return 'This browser cannot run WebAssembly, which the page draws with, or has it turned ' +
             'off. Open the page in a current Firefox, Chrome, Safari or Edge.';
    }
    // The worker's script downloads while the core compiles.
    worker = new Worker('stringart.js');
    let unloaded = false;
    worker.onmessage = ({data}) => {
      const resolve = answers.get(data.id);
      answers.delete(data.id);
      resolve?.(data);
    };
    // The script missing, or broken: every question still waiting fails.
    worker.onerror = (event) => {
      event.preventDefault();
      unloaded = true;
      answers.forEach((resolve) => resolve({failed: 'load'}));
      answers.clear();
    };
    try {
      if (!compiled) {
        // Matches the preload in index.html, so that the core is fetched once.
        const response = await fetch('stringart.wasm', {credentials: 'same-origin', mode: 'cors'});
        if (!response.ok) return kNoDownload;
        compiled = await WebAssembly.compile(await response.arrayBuffer());
      }
    } catch (error) {
      return error instanceof TypeError ? kNoDownload : `The drawing engine could not start in this browser (${error}).`;
    }
    if (unloaded) return kNoDownload;
    asking = 0;
    try {
      const started = await ask({op: 'start', module: compiled, seed: [...crypto.getRandomValues(new Uint32Array(2))]});
      strengths = started.strengths;
      drawsSmooth = started.smooth;
      drawsLarge = started.large;
    } catch (error) {
      return error.message === 'load' ? kNoDownload : `The drawing engine could not start in this browser (${error.message}).`;
    }
    return '';
  }

  // ---- The browser's store of figures ----
  // One object store "figures" of rows {id, draws, directions, favourite, shown_at, marked_at,
  // note}, as the window's journal keeps them; ids grow with every figure kept. marked_at is
  // there only while the figure is a favourite, so that the index "marked" lists the favourites.

  let store = null;  // the open database, or null where the browser refuses to keep figures
  function refuse(why) {
    if (store === false) return;
    store = false;
    say(`This browser keeps no figures for this page (${why}); the page works on, but this visit's figures go when it closes.`, true);
  }
  const done = (request) => new Promise((resolve, reject) => {
    request.onsuccess = () => resolve(request.result);
    request.onerror = () => reject(request.error);
  });
  async function openStore() {
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
  async function inStore(mode, use, otherwise) {
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
  const keep = (row) => inStore('readwrite', async (figures) => { row.id = await done(figures.add(row)); });
  const rewrite = (rows) => inStore('readwrite', (figures) => Promise.all(rows.map((row) => done(figures.put(row)))));
  // The kept row before `id`, the newest first; null when there is none.
  const keptBefore = (id) => id === undefined ? null : inStore('readonly', async (figures) =>
    (await done(figures.openCursor(IDBKeyRange.upperBound(id, true), 'prev')))?.value ?? null, null);
  // Up to `count` rows, newest first, before `id` (from the newest when undefined).
  const keptPage = (id, count) => inStore('readonly', (figures) => new Promise((resolve, reject) => {
    const rows = [];
    const cursor = figures.openCursor(id === undefined ? null : IDBKeyRange.upperBound(id, true), 'prev');
    cursor.onerror = () => reject(cursor.error);
    cursor.onsuccess = () => {
      if (!cursor.result || rows.length >= count) return resolve(rows);
      rows.push(cursor.result.value);
      cursor.result.continue();
    };
  }), null);
  // Every kept row, oldest first, fetched a thousand at a time.
  async function keptAll() {
    if (!store) return trail.filter((row) => row.id === undefined);
    const rows = [];
    for (;;) {
      const from = rows.length ? IDBKeyRange.lowerBound(rows[rows.length - 1].id, true) : null;
      const part = await inStore('readonly', (figures) => done(figures.getAll(from, 1000)), []);
      rows.push(...part);
      if (part.length < 1000) return rows;
    }
  }
  const keptFavourites = () => inStore('readonly', (figures) => done(figures.index('marked').getAll()),
                                       trail.filter((row) => row.favourite));

  // ---- The history and the canvas ----

  const figureKey = (row) => `${row.draws} ${row.directions}`;
  const now = () => Math.floor(Date.now() / 1000);
  const trail = [];  // the rows reached this visit, earlier visits' first, each once
  let at = -1;  // the row on the canvas, in trail
  let shown = null;  // the figure on the canvas: {draws, directions, end, link, name, remake}
  let exact = null;  // its 500 x 500 raster, as ImageData
  const favourites = new Set();  // figureKey of every favourite

  function paint(answer, {keepAddress = false} = {}) {
    exact = new ImageData(new Uint8ClampedArray(answer.rgba), kSize, kSize);
    shown = answer.figure;
    paintExact();
    sharpen();
    const name = shown.name;
    document.title = `stringart: figure ${name}`;
    canvas.setAttribute('aria-label', `String-art figure ${name}`);
    $('drawn').textContent = `Figure ${name} drawn.`;
    favouriteButton.setAttribute('aria-pressed', String(favourites.has(figureKey(shown))));
    if (!keepAddress) history.replaceState(null, '', `#${shown.link}`);
    adjust.follow();
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
    const side = deviceSide();
    if (!shown) return;
    if (devicePixelRatio <= 1 || side <= kSize || !drawsSmooth) {
      if (canvas.width !== kSize) paintExact();
      return;
    }
    const question = {op: 'smooth', draws: shown.draws, directions: shown.directions, width: side, height: side};
    if (later.includes(sharpening)) {
      sharpening.question = question;
      return;
    }
    sharpening = {question, reject() {}, resolve({figure, width, bitmap}) {
      if (bitmap && figure.link === shown.link && width === deviceSide()) {
        canvas.width = canvas.height = width;
        context.drawImage(bitmap, 0, 0);
        fitRendering();
      }
      bitmap?.close();
    }};
    later.push(sharpening);
    pump();
  }
  function paintExact() {
    canvas.width = canvas.height = kSize;
    context.putImageData(exact, 0, 0);
    fitRendering();
  }

  // Shows `row` (draws and directions) on the canvas.
  async function showRow(row, options) {
    const answer = await ask({op: 'show', draws: row.draws, directions: row.directions});
    if (answer.error) throw new Error(answer.error);
    paint(answer, options);
  }
  // The figure on the canvas joins the history at its end, and the store, as shown anew.
  async function join() {
    const row = {draws: shown.draws, directions: shown.directions, favourite: false, shown_at: now(), note: ''};
    trail.push(row);
    at = trail.length - 1;
    await keep(row);
  }
  async function newFigure(options) {
    paint(await ask({op: 'show', fresh: shown?.end ?? '1,1,1'}), options);
    await join();
  }
  async function back() {
    if (at > 0) {
      await showRow(trail[--at]);
      return;
    }
    // Before the first figure of the visit: the figures of earlier visits, newest first.
    const earlier = await keptBefore(trail[0]?.id);
    if (!earlier) return;
    trail.unshift(earlier);
    at = 0;
    await showRow(earlier);
  }
  async function forward() {
    if (at < trail.length - 1) await showRow(trail[++at]);
  }

  // The visitor's actions run one after another, each finished before the next starts; the
  // canvas is busy meanwhile.
  let actions = Promise.resolve(), waiting = 0;
  function act(step) {
    if (!waiting++) canvas.setAttribute('aria-busy', 'true');
    return (actions = actions.then(() => guarded(step)).finally(() => {
      if (!--waiting) canvas.setAttribute('aria-busy', 'false');
    }));
  }

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

  // The core's reason with its one quote of the address cut to kLongestQuote characters.
  function clipQuote(error) {
    const open = error.indexOf("'"), close = error.lastIndexOf("'");
    const quote = [...error.slice(open + 1, close)];
    if (open < 0 || quote.length <= kLongestQuote) return error;
    return `${error.slice(0, open + 1)}${quote.slice(0, kLongestQuote - 1).join('')}…${error.slice(close)}`;
  }

  // Shows the figure the address names, in the core's spelling, as a new figure of the history.
  // An address that names none stays for the visitor to mend, with a message and a fresh figure
  // meanwhile.
  async function showAddress() {
    if (shown && location.hash === `#${shown.link}`) return;
    if (location.hash.length <= 1) {
      await newFigure();
      return;
    }
    const error = await showFragment(location.hash.slice(1));
    if (error === '') {
      if (message.className === 'error' && store !== false) say('');
      await join();
      return;
    }
    await newFigure({keepAddress: true});
    say(`This address names no figure: ${clipQuote(error)}. It is left as it was for you to mend; ` +
        'here is a fresh figure meanwhile.', true);
  }

  // ---- Favourites ----

  async function toggleFavourite() {
    const key = figureKey(shown);
    const row = trail[at];
    if (favourites.has(key)) {
      // Unmarks the figure wherever it is kept.
      favourites.delete(key);
      const marked = (await keptFavourites()).filter((r) => figureKey(r) === key);
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
    favouriteButton.setAttribute('aria-pressed', String(favourites.has(key)));
  }

  // ---- Files ----

  function download(blob, name) {
    const link = document.createElement('a');
    link.href = URL.createObjectURL(blob);
    link.download = name;
    link.click();
    setTimeout(() => URL.revokeObjectURL(link.href), 60000);
  }

  const crcTable = Array.from({length: 256}, (_, n) => {
    for (let k = 0; k < 8; ++k) n = n & 1 ? 0xedb88320 ^ (n >>> 1) : n >>> 1;
    return n >>> 0;
  });
  function crc32(bytes) {
    let c = 0xffffffff;
    for (const b of bytes) c = crcTable[(c ^ b) & 0xff] ^ (c >>> 8);
    return (c ^ 0xffffffff) >>> 0;
  }

  // A PNG tEXt chunk: keyword, NUL, text (both plain ASCII here).
  function textChunk(keyword, words) {
    const data = new TextEncoder().encode(`${keyword}\0${words}`);
    const chunk = new Uint8Array(12 + data.length);
    const view = new DataView(chunk.buffer);
    view.setUint32(0, data.length);
    chunk.set(new TextEncoder().encode('tEXt'), 4);
    chunk.set(data, 8);
    view.setUint32(8 + data.length, crc32(chunk.subarray(4, 8 + data.length)));
    return chunk;
  }

  // A PNG of the figure under the name the program proposes for it, carrying the command that
  // makes it again.
  async function downloadFigure(blob, {remake, name}, size) {
    const png = new Uint8Array(await blob.arrayBuffer());
    const kAfterHeader = 33;  // signature (8) and the IHDR chunk (25)
    download(new Blob([png.subarray(0, kAfterHeader), textChunk('Software', 'stringart'),
                       textChunk('Comment', remake + (size ? ` --size ${size}` : '')),
                       png.subarray(kAfterHeader)], {type: 'image/png'}),
             `figure-${name}${size ? `-${size}` : ''}.png`);
  }

  // The exact raster, whatever the canvas holds.
  function downloadPng() {
    const figure = shown;
    const raster = document.createElement('canvas');
    raster.width = raster.height = kSize;
    raster.getContext('2d').putImageData(exact, 0, 0);
    return new Promise((resolve) => raster.toBlob((blob) => resolve(downloadFigure(blob, figure)), 'image/png'));
  }

  async function downloadSvg() {
    say('Writing the SVG (8 MB of text)…');
    const answer = await ask({op: 'svg', draws: shown.draws, directions: shown.directions});
    download(answer.svg, `figure-${answer.name}.svg`);
    say('');
  }

  // The figure anti-aliased at the screen's size in device pixels, or at 4K (turned as the
  // screen is) where the screen has fewer pixels.
  async function downloadLarge() {
    let [width, height] = [screen.width, screen.height].map((side) => Math.round(side * devicePixelRatio));
    if (width * height < 3840 * 2160) [width, height] = width < height ? [2160, 3840] : [3840, 2160];
    say(`Drawing the PNG of ${width} x ${height} pixels…`);
    const answer = await ask({op: 'smooth', draws: shown.draws, directions: shown.directions, width, height, png: true});
    if (answer.error) throw new Error(answer.error);
    await downloadFigure(answer.png, answer.figure, width === height ? width : `${width}x${height}`);
    say('');
  }

  async function share() {
    const link = location.href.replace(/#.*$/, '') + `#${shown.link}`;
    if (navigator.share) {
      try {
        await navigator.share({title: document.title, url: link});
        return;
      } catch (error) {
        if (error?.name === 'AbortError') return;  // the visitor changed their mind
      }
    }
    try {
      await navigator.clipboard.writeText(link);
      say(`Link copied: ${link}`);
    } catch {
      say(`Copy this link: ${link}`);
    }
  }

  // The figures file: a JSON array of {draws, directions, favourite, shown_at, note}, the draws
  // and directions as stringart-render's options take them; the window reads and writes the same.
  async function saveFigures() {
    const rows = await keptAll();
    const lines = rows.map(({draws, directions, favourite, shown_at, note}) =>
      JSON.stringify({draws, directions, favourite: Boolean(favourite), shown_at, note: note ?? ''}));
    const day = new Date();
    const date = [day.getFullYear(), day.getMonth() + 1, day.getDate()].map((n) => String(n).padStart(2, '0')).join('-');
    download(new Blob([`[\n${lines.join(',\n')}\n]\n`], {type: 'application/json'}), `figures-${date}.json`);
    say(`Saved ${rows.length} figure${rows.length === 1 ? '' : 's'} as figures-${date}.json.`);
  }

  // Reads a figures file and keeps the figures not kept yet, favourites marked as the file marks
  // them; a file that is not wholly right changes nothing.
  async function openFigures(file) {
    const quoted = JSON.stringify(file.name.length > kLongestQuote ? `${file.name.slice(0, kLongestQuote - 1)}…` : file.name);
    const refused = (why) => say(`${quoted} was not opened, and nothing changed: ${why}.`, true);
    if (file.size > kLongestFile) return refused(`it is larger than ${kLongestFile >> 20} MiB`);
    const answer = await ask({op: 'open', file});
    if (answer.error) return refused(clipQuote(answer.error));
    const kept = new Map((await keptAll()).map((row) => [figureKey(row), row]));
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
    if (store) {
      await inStore('readwrite', (figures) => Promise.all(added.map((row) => done(figures.add(row)))));
      await rewrite(marked);
    } else {
      trail.unshift(...added);
      at += added.length;
    }
    favouriteButton.setAttribute('aria-pressed', String(favourites.has(figureKey(shown))));
    say(`Opened ${quoted}: ${added.length} new figure${added.length === 1 ? '' : 's'}, ` +
        `${answer.figures.length - added.length} already kept.`);
    if (gallery.dialog.open) await gallery.fill();
  }

  // ---- Tiles: figures scaled down, in listboxes of options ----

  // Paints `answer`'s side x side RGBA into the tile's canvas.
  function paintTile(option, tile, side) {
    const picture = option.querySelector('canvas');
    picture.width = picture.height = side;
    picture.getContext('2d').putImageData(new ImageData(new Uint8ClampedArray(tile.rgba), side, side), 0, 0);
    option.dataset.name = tile.name;
  }
  const tileSide = (css) => Math.min(kSize, Math.round(css * devicePixelRatio));

  // Arrow keys in a grid of options: moves `selected` by the key, or returns it unchanged.
  function moved(list, selected, key) {
    const options = [...list.children];
    const columns = Math.max(1, options.filter((o) => o.offsetTop === options[0].offsetTop).length);
    const step = {ArrowLeft: -1, ArrowRight: 1, ArrowUp: -columns, ArrowDown: columns}[key];
    if (key === 'Home') return 0;
    if (key === 'End') return options.length - 1;
    if (step === undefined) return selected;
    const next = selected + step;
    return next >= 0 && next < options.length ? next : selected;
  }
  function select(list, index) {
    [...list.children].forEach((option, i) => option.setAttribute('aria-selected', String(i === index)));
    const option = list.children[index];
    if (!option) return;
    list.setAttribute('aria-activedescendant', option.id);
    option.scrollIntoView({block: 'nearest'});
  }

  // A dialog that gives focus back to where it was when it closes.
  function dialogOf(id, {modal}) {
    const dialog = $(id);
    let before = null;
    dialog.querySelector('.close').addEventListener('click', () => dialog.close());
    dialog.addEventListener('close', () => before?.focus?.());
    return {
      dialog,
      open(focus) {
        for (const other of document.querySelectorAll('dialog[open]')) other.close();
        before = document.activeElement;
        if (modal) dialog.showModal(); else dialog.show();
        focus.focus();
      },
    };
  }

  // ---- The gallery ----

  const gallery = (() => {
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

    function addOptions(from) {
      for (let i = from; i < rows.length; ++i) {
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
    // Adds the next page of "All" to the list, unless the list was filled anew meanwhile.
    async function grow() {
      if (tab !== 'all' || !more) return;
      const from = rows.length, filled = fills;
      const page = store ? await keptPage(rows[from - 1]?.id, kPage)
                         : (from ? [] : [...trail].reverse());
      if (filled !== fills || rows.length !== from) return;
      more = Boolean(store) && page.length === kPage;
      rows.push(...page);
      addOptions(from);
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
        const marked = (await keptFavourites()).sort((a, b) => b.marked_at - a.marked_at)
            .filter((row) => !seen.has(figureKey(row)) && seen.add(figureKey(row)));
        if (filled !== fills) return;
        rows = marked;
        addOptions(0);
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
    list.addEventListener('keydown', async (event) => {
      if (event.key === 'Enter' || event.key === ' ') {
        choose(selected);
      } else {
        const next = moved(list, selected, event.key);
        if (next === selected && event.key !== 'Home') return;
        selected = next;
        select(list, selected);
        if (selected >= rows.length - 6) await grow();
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
    $('SaveFigures').addEventListener('click', () => act(saveFigures));
    $('OpenFigures').addEventListener('click', () => $('FiguresFile').click());
    $('FiguresFile').addEventListener('change', (event) => {
      const [file] = event.target.files;
      event.target.value = '';
      if (file) act(() => openFigures(file));
    });
    return {
      dialog,
      fill,
      async open() {
        tab = favourites.size ? 'favourites' : 'all';
        open(list);
        await fill();
      },
    };
  })();

  // ---- Variations ----

  const variations = (() => {
    const {dialog, open} = dialogOf('Variations', {modal: true});
    const grid = $('VariationsGrid');
    const strength = $('Strength');
    const kCentre = 4, kSteps = 200;
    // The slider's steps multiply the strength by one factor, subtle to wild, as the window's do.
    const strengthAt = (step) => strengths[0] * (strengths[1] / strengths[0]) ** (step / kSteps);
    const stepOf = (value) => Math.round(kSteps * Math.log(value / strengths[0]) / Math.log(strengths[1] / strengths[0]));
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
      const centre = {draws: shown.draws, directions: shown.directions};
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
        if (!dialog.dataset.opened) strength.value = String(stepOf(strengths[2]));
        showStrength();
        dialog.dataset.opened = '1';
        open(grid);
        act(shuffle);
      },
    };
  })();

  // ---- Adjust ----

  const adjust = (() => {
    const {dialog, open} = dialogOf('Adjust', {modal: false});
    const sliders = [], outputs = [];
    const toggles = [...dialog.querySelectorAll('.rising')];
    let draws = [], directions = [], rest = 0, previewing = null, wanted = null;

    for (const [i, name] of kDrawNames.entries()) {
      const row = document.createElement('div');
      row.className = 'slider';
      row.innerHTML = `<label for="draw-${i}"></label><input id="draw-${i}" type="range" min="0" max="${kPositions - 1}" step="1"><output for="draw-${i}"></output>`;
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

    // The sliders, texts and toggles from the figure on the canvas.
    function load() {
      draws = shown.draws.split(',');
      directions = shown.directions.split(',');
      draws.forEach((draw, i) => {
        // The position below the draw: a draw the program made (24 bits) sits on one exactly.
        sliders[i].value = String(Math.min(kPositions - 1, Math.floor(Number(draw) * kPositions)));
        outputs[i].textContent = draw;
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
        if (shown && trail[at] && figureKey(shown) !== figureKey(trail[at])) await join();
      });
    }
    return {
      open() {
        load();
        open(sliders[0]);
      },
      // Another figure came to the canvas: the controls show it, unless it came from them.
      follow() {
        if (dialog.open && !previewing) load();
        if (dialog.open) shown.draws.split(',').forEach((draw, i) => { outputs[i].textContent = draw; });
      },
    };
  })();

  // ---- Starting ----

  const [problem] = await Promise.all([startCore(), openStore()]);
  if (problem) {
    say(problem, true);
    return;
  }
  if (store !== false) say('');  // the words for a browser without JavaScript
  for (const row of await keptFavourites()) favourites.add(figureKey(row));
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
  // A typed address (back and forward of the browser too, over addresses typed): its figure.
  window.addEventListener('popstate', () => act(showAddress));
  // The keys, when no dialog is open and no control that takes keys has the focus (a button
  // takes none of these).
  const kKeys = {n: pressNew, ArrowLeft: () => act(back), ArrowRight: () => act(forward),
                 f: () => act(toggleFavourite), g: () => gallery.open(), v: () => variations.open(),
                 a: () => adjust.open()};
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
  if (!worker) return;
  enable(true);
  $('DownloadLarge').hidden = !drawsLarge;
  if (!('serviceWorker' in navigator)) return;
  // A version deployed since this page loaded has taken over; what is on the screen is the last.
  const wasKept = navigator.serviceWorker.controller !== null;
  navigator.serviceWorker.addEventListener('controllerchange', () => {
    if (wasKept) say('A new version of this page is ready: reload the page to use it.');
  });
  navigator.serviceWorker.register('sw.js').catch(() => {});
})();
