// The page around the WebAssembly core. The core traces every figure, holds the raster and checks
// every address; this script copies the raster into the canvas, keeps the address naming the
// figure on the canvas (so back and forward move through the figures of the visit) and handles
// the buttons.
'use strict';

(async () => {
  const kSize = 500;  // the canvas's width and height, pixels
  const canvas = document.getElementById('Picture1');
  const context = canvas.getContext('2d', {alpha: false});
  context.imageSmoothingEnabled = false;
  const message = document.getElementById('message');
  const buttons = ['Command1', 'CopyLink', 'DownloadPng'].map((id) => document.getElementById(id));
  const [newButton, copyButton, downloadButton] = buttons;

  function say(words, isError = false) {
    message.textContent = words;
    message.className = isError ? 'error' : '';
  }

  let core;
  try {
    core = await StringartCore();
  } catch (error) {
    say(`The figure could not start in this browser: ${error}`, true);
    return;
  }
  window.stringartCore = core;  // for measuring the tracer from the browser's console
  const text = (pointer) => core.UTF8ToString(pointer);
  let shown = null;  // the fragment naming the figure on the canvas, with its '#'

  function paint() {
    const rgba = new Uint8ClampedArray(core.HEAPU8.buffer, core._CanvasRgba(), kSize * kSize * 4);
    context.putImageData(new ImageData(rgba.slice(), kSize, kSize), 0, 0);
    shown = '#' + text(core._ShownLink());
  }

  function newFigure(addToHistory) {
    core._NewFigure();
    paint();
    history[addToHistory ? 'pushState' : 'replaceState'](null, '', shown);
  }

  // Hands the fragment to the core, which shows its figure or says why it names none.
  function showLink(fragment) {
    let link;
    try {
      link = decodeURIComponent(fragment);
    } catch {
      return 'its percent-escapes are broken';
    }
    const size = core.lengthBytesUTF8(link) + 1;
    const at = core._malloc(size);
    if (!at) return 'it is too long';
    try {
      core.stringToUTF8(link, at, size);
      return text(core._ShowLink(at, size - 1));
    } finally {
      core._free(at);
    }
  }

  // Shows the figure the address names; a bad address gets a message and a fresh figure.
  function showAddress() {
    if (location.hash === shown) return;
    say('');
    if (location.hash.length > 1) {
      const error = showLink(location.hash.slice(1));
      if (error === '') {
        paint();
        history.replaceState(null, '', shown);  // the address in the core's own spelling
        return;
      }
      say(`This address names no figure: ${error}. Here is a fresh one.`, true);
    }
    newFigure(false);
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

  // The canvas as PNG, carrying the command that makes the figure again, as the program saves it.
  function downloadPng() {
    const remake = text(core._ShownRemakeCommand());
    canvas.toBlob(async (blob) => {
      const png = new Uint8Array(await blob.arrayBuffer());
      const kAfterHeader = 33;  // signature (8) and the IHDR chunk (25)
      const file = new Blob([png.subarray(0, kAfterHeader), textChunk('Software', 'stringart'),
                             textChunk('Comment', remake), png.subarray(kAfterHeader)],
                            {type: 'image/png'});
      const link = document.createElement('a');
      link.href = URL.createObjectURL(file);
      link.download = 'stringart.png';
      link.click();
      setTimeout(() => URL.revokeObjectURL(link.href), 60000);
    }, 'image/png');
  }

  async function copyLink() {
    try {
      await navigator.clipboard.writeText(location.href);
      say(`Link copied: ${location.href}`);
    } catch {
      say(`Copy this link: ${location.href}`);
    }
  }

  newButton.addEventListener('click', () => {
    say('');
    newFigure(true);
  });
  copyButton.addEventListener('click', copyLink);
  downloadButton.addEventListener('click', downloadPng);
  window.addEventListener('popstate', showAddress);
  window.addEventListener('hashchange', showAddress);
  showAddress();
  for (const button of buttons) button.disabled = false;
})();
