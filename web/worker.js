// The page's worker: the WebAssembly core off the page's thread. The build appends this script to
// emscripten's loader (StringartCore), so that the worker is one file. The page hands it the
// compiled module once (it fetched it with the HTML) and then asks for one thing at a time:
//   {id, op, ...} -> {id, ...answer}, or {id, failed} when the core aborted and cannot go on.
// Pixels come back as transferred ArrayBuffers of RGBA bytes, rows top to bottom.
'use strict';

let core = null;

const text = (pointer) => core.UTF8ToString(pointer);

// Calls the core's `name` with each string as (pointer, length) of UTF-8, freed afterwards.
function withTexts(name, ...strings) {
  const places = [];
  try {
    const args = [];
    for (const string of strings) {
      const size = core.lengthBytesUTF8(string) + 1;
      const where = core._malloc(size);
      if (!where) throw new RangeError('no room in the core for the text');
      places.push(where);
      core.stringToUTF8(string, where, size);
      args.push(where, size - 1);
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
  return new Blob([core.HEAPU8.subarray(at, at + core._SvgLength())], {type: 'image/svg+xml'});
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
  // Figures near `draws`, each draw moved by at most `strength`.
  vary({draws, directions, strength, count}) {
    const error = read({draws, directions});
    if (error) return {error};
    return {draws: Array.from({length: count}, () => text(core._VaryRead(strength)))};
  },
  // A figures file read and checked whole, as the window checks it: {figures} in the renderer's
  // spelling, or {error} for the first thing wrong. "draws" is needed; the others default to
  // rising directions, no favourite, shown now and no note; keys besides these are passed over.
  async open({file}) {
    let list;
    try {
      list = JSON.parse(await file.text());
    } catch {
      return {error: 'it is not JSON'};
    }
    if (!Array.isArray(list)) return {error: 'it is not a list of figures'};
    const kNoteMax = 4000;  // bytes of UTF-8 in a note the window keeps
    const kLatestShownAt = 253402300799;  // the end of the year 9999
    const kLongestText = 4096;  // characters of draws the core is handed; twelve take under 200
    const figures = [];
    for (const [i, item] of list.entries()) {
      const wrong = (why) => ({error: `figure ${i + 1}: ${why}`});
      if (item === null || typeof item !== 'object' || Array.isArray(item)) return wrong('it is not an object');
      if (!('draws' in item)) return wrong('it has no "draws"');
      const {draws, directions = '1,1,1', favourite = false, shown_at = Math.floor(Date.now() / 1000), note = ''} = item;
      for (const [key, value] of Object.entries({draws, directions, note})) {
        if (typeof value !== 'string') return wrong(`"${key}" is not text`);
      }
      if (typeof favourite !== 'boolean') return wrong('"favourite" is not true or false');
      if (!Number.isInteger(shown_at)) return wrong('"shown_at" is not a whole number of seconds');
      if (shown_at < 0 || shown_at > kLatestShownAt) return wrong('"shown_at" is not a time from 1970 to 9999');
      if (new TextEncoder().encode(note).length > kNoteMax) return wrong(`the note is longer than ${kNoteMax} bytes`);
      if (/[\0-\x1f\x7f-\x9f]/.test(note)) return wrong('the note holds a control character');
      if (draws.length > kLongestText || directions.length > kLongestText) return wrong('its draws or directions are far too long');
      const error = read({draws, directions});
      if (error) return wrong(error);
      figures.push({draws: text(core._ReadForm(0)), directions: text(core._ReadForm(1)), favourite, shown_at, note});
    }
    return {figures};
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
      self.stringartCore = core;  // for measuring the tracer from the worker's console
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
