// The page around the WebAssembly core. The core traces every figure, holds the raster, names
// figures and checks every address; this script copies the raster into the canvas, keeps the
// address naming the figure on the canvas (so back and forward move through the figures of the
// visit), handles the buttons and keys, and starts the core again should it ever abort.
'use strict';

(async () => {
  const kSize = 500;  // the canvas's width and height, pixels
  // Characters after '#' handed to the core at most; a figure's link has under 300.
  const kLongestAddress = 4096;
  const kLongestQuote = 80;  // characters of an address quoted in a message
  const canvas = document.getElementById('Picture1');
  const context = canvas.getContext('2d', {alpha: false});
  context.imageSmoothingEnabled = false;
  const message = document.getElementById('message');
  const drawn = document.getElementById('drawn');
  const buttons = ['Command1', 'CopyLink', 'DownloadPng'].map((id) => document.getElementById(id));
  const [newButton, copyButton, downloadButton] = buttons;

  function say(words, isError = false) {
    message.textContent = words;
    message.className = isError ? 'error' : '';
  }
  const enable = (on) => buttons.forEach((button) => { button.disabled = !on; });

  // Nearest pixels where the canvas is enlarged on the screen, so lines stay sharp; smoothing
  // where it is shrunk, so one-pixel lines do not drop out.
  function fitRendering() {
    const shown = canvas.getBoundingClientRect().width * devicePixelRatio;
    canvas.style.imageRendering = shown >= kSize ? 'pixelated' : 'auto';
  }
  fitRendering();
  window.addEventListener('resize', fitRendering);

  const kNoDownload = 'The page could not download its drawing engine. Check the connection and reload the page.';
  let core = null;
  // Starts a core; resolves to '' or to what keeps it from starting, in the visitor's words.
  async function startCore() {
    core = null;
    if (location.protocol === 'file:') {
      return 'This page was opened as a file, and browsers do not let a file load the drawing ' +
             'engine it needs. Open it from a web server instead: tools/web.sh serve, then ' +
             'http://127.0.0.1:8000/.';
    }
    if (typeof WebAssembly !== 'object') {
      return 'This browser cannot run WebAssembly, which the page draws with, or has it turned ' +
             'off. Open the page in a current Firefox, Chrome, Safari or Edge.';
    }
    if (typeof StringartCore !== 'function') return kNoDownload;
    try {
      core = await StringartCore();
    } catch (error) {
      return /fetch|load/i.test(String(error)) ? kNoDownload
                                               : `The drawing engine could not start in this browser (${error}).`;
    }
    window.stringartCore = core;  // for measuring the tracer from the browser's console
    return '';
  }

  const text = (pointer) => core.UTF8ToString(pointer);
  let shown = null;  // the fragment naming the figure on the canvas, with its '#'
  let at = -1;  // the address's place among the visit's entries, from 0

  function paint() {
    const rgba = new Uint8ClampedArray(core.HEAPU8.buffer, core._CanvasRgba(), kSize * kSize * 4);
    context.putImageData(new ImageData(rgba.slice(), kSize, kSize), 0, 0);
    shown = '#' + text(core._ShownLink());
    const name = text(core._ShownName());
    document.title = `stringart: figure ${name}`;
    canvas.setAttribute('aria-label', `String-art figure ${name}`);
    drawn.textContent = `Figure ${name} drawn.`;
    if (!performance.getEntriesByName('stringart-lit').length) performance.mark('stringart-lit');
  }

  // Hands the link to the core, which shows its figure or says why it names none.
  function showLink(link) {
    const size = core.lengthBytesUTF8(link) + 1;
    const where = core._malloc(size);
    if (!where) return 'it is too long';
    try {
      core.stringToUTF8(link, where, size);
      return text(core._ShowLink(where, size - 1));
    } finally {
      core._free(where);
    }
  }

  // Shows the figure of the fragment, also as a chat or a sentence spoils a link: "&amp;" for
  // "&", a full stop, a bracket or a quote after it. '' when shown, else why the fragment names
  // no figure.
  function showFragment(fragment) {
    if (fragment.length > kLongestAddress) {
      return `it is ${fragment.length.toLocaleString('en')} characters long, and a figure's link has under 300`;
    }
    let link;
    try {
      link = decodeURIComponent(fragment);
    } catch {
      return 'its percent-escapes are broken';
    }
    const error = showLink(link);
    if (error === '') return '';
    const mended = link.replace(/&amp;/gi, '&').replace(/[\s.,;:!?'"”’»)\]}>]+$/u, '');
    return mended !== link && showLink(mended) === '' ? '' : error;
  }

  // The core's reason with its one quote of the address cut to kLongestQuote characters.
  function clipQuote(error) {
    const open = error.indexOf("'"), close = error.lastIndexOf("'");
    const quote = [...error.slice(open + 1, close)];
    if (open < 0 || quote.length <= kLongestQuote) return error;
    return `${error.slice(0, open + 1)}${quote.slice(0, kLongestQuote - 1).join('')}…${error.slice(close)}`;
  }

  function newFigure() {
    core._NewFigure();
    paint();
  }

  // Shows the figure the address names, in the core's spelling. An address that names none
  // stays for the visitor to mend, with a message and a fresh figure meanwhile.
  function showAddress() {
    at = history.state?.at ?? at + 1;  // a typed address is a new entry after this one
    if (location.hash === shown) return;
    if (location.hash.length <= 1) {
      say('');
      newFigure();
      history.replaceState({at}, '', shown);
      return;
    }
    const error = showFragment(location.hash.slice(1));
    if (error === '') {
      say('');
      paint();
      history.replaceState({at}, '', shown);
      return;
    }
    newFigure();
    history.replaceState({at}, '');
    say(`This address names no figure: ${clipQuote(error)}. It is left as it was for you to mend; ` +
        'here is a fresh figure meanwhile.', true);
  }

  // Runs `use` on the core. Should the core abort (it cannot go on after that), starts a fresh
  // one with a fresh figure and says what happened; the address moves on to the fresh figure
  // unless it names none, which stays for the visitor to mend.
  let restarting = false;
  async function guarded(use) {
    if (restarting) return;
    try {
      use();
    } catch (error) {
      restarting = true;
      enable(false);
      const onFigure = location.hash === shown || location.hash.length <= 1;
      const problem = await startCore();
      restarting = false;
      if (problem) {
        say(problem, true);
        return;
      }
      newFigure();
      if (onFigure) history.pushState({at: ++at}, '', shown);
      enable(true);
      const why = String(error?.message ?? error).replace(/\. Build with.*$/s, '');
      say(`The drawing engine failed (${why.slice(0, kLongestQuote)}) and was started again; ` +
          'here is a fresh figure.', true);
    }
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

  // The canvas as PNG, carrying the command that makes the figure again, under the name the
  // program proposes for it.
  function downloadPng() {
    const remake = text(core._ShownRemakeCommand());
    const name = `figure-${text(core._ShownName())}.png`;
    canvas.toBlob(async (blob) => {
      const png = new Uint8Array(await blob.arrayBuffer());
      const kAfterHeader = 33;  // signature (8) and the IHDR chunk (25)
      const file = new Blob([png.subarray(0, kAfterHeader), textChunk('Software', 'stringart'),
                             textChunk('Comment', remake), png.subarray(kAfterHeader)],
                            {type: 'image/png'});
      const link = document.createElement('a');
      link.href = URL.createObjectURL(file);
      link.download = name;
      link.click();
      setTimeout(() => URL.revokeObjectURL(link.href), 60000);
    }, 'image/png');
  }

  async function copyLink() {
    const link = location.href.replace(/#.*$/, '') + shown;
    try {
      await navigator.clipboard.writeText(link);
      say(`Link copied: ${link}`);
    } catch {
      say(`Copy this link: ${link}`);
    }
  }

  function pressNew() {
    guarded(() => {
      say('');
      newFigure();
      history.pushState({at: ++at}, '', shown);
    });
  }

  const problem = await startCore();
  if (problem) {
    say(problem, true);
    return;
  }
  newButton.addEventListener('click', pressNew);
  copyButton.addEventListener('click', copyLink);
  downloadButton.addEventListener('click', () => guarded(downloadPng));
  // Fired for back, forward and a typed address alike (hashchange would follow it and handle an
  // address that names no figure twice).
  window.addEventListener('popstate', () => guarded(showAddress));
  // N for "new", the arrows for back and forward, when no other control takes the keys.
  document.addEventListener('keydown', (event) => {
    const focus = document.activeElement;
    if (event.ctrlKey || event.altKey || event.metaKey || newButton.disabled ||
        (focus && focus !== document.body && !buttons.includes(focus))) {
      return;
    }
    if (event.key === 'n' || event.key === 'N') {
      pressNew();
    } else if (event.key === 'ArrowLeft' && at > 0) {
      history.back();  // not past the visit's first figure, off the page
    } else if (event.key === 'ArrowRight') {
      history.forward();
    } else {
      return;
    }
    event.preventDefault();
  });
  await guarded(showAddress);
  if (!core) return;
  enable(true);
  if (!('serviceWorker' in navigator)) return;
  // A version deployed since this page loaded has taken over; what is on the screen is the last.
  const wasKept = navigator.serviceWorker.controller !== null;
  navigator.serviceWorker.addEventListener('controllerchange', () => {
    if (wasKept) say('A new version of this page is ready: reload the page to use it.');
  });
  navigator.serviceWorker.register('sw.js').catch(() => {});
})();
