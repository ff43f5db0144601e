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


// ---- The SVG: stringart-render's document, byte for byte ----
// The core records the segments; the text is written here, because the core's float text runs
// the C library's printf and strtof a few times a number, which takes a minute for the 840,000
// numbers of a figure in WebAssembly. floatText writes what the core's FloatToText writes.

const float = new Float32Array(1), floatBits = new Uint32Array(float.buffer);

// The float next to `x` (> 0) upwards or downwards.
function nextFloat(x, up) {
  float[0] = x;
  floatBits[0] += up ? 1 : -1;
  return float[0];
}

// The sign of the decimal `digits` x 10^`exponent` less the double `d`, exactly.
function compareExact(digits, exponent, d) {
  let mantissa = d, twos = 0;
  while (!Number.isInteger(mantissa)) {
    mantissa *= 2;
    --twos;
  }
  const ten = 10n ** BigInt(Math.abs(exponent)), two = 2n ** BigInt(Math.abs(twos));
  const left = BigInt(digits) * (exponent > 0 ? ten : 1n) * (twos < 0 ? two : 1n);
  const right = BigInt(mantissa) * (exponent < 0 ? ten : 1n);
  return left > right ? 1 : left < right ? -1 : 0;
}

// Whether `digits` x 10^`exponent` reads as the float `x` (> 0), rounded once to float as strtof
// rounds. A double rounded to float rounds twice, which errs only where the double lies exactly
// half way between two floats: there the decimal is weighed exactly.
function readsAs(digits, exponent, x) {
  const d = Number(`${digits}e${exponent}`), f = Math.fround(d);
  if (f === d) return f === x;
  const g = nextFloat(f, d > f);
  if (d !== (f + g) / 2) return f === x;
  const side = compareExact(digits, exponent, d);
  return (side === 0 ? f : side > 0 === g > f ? g : f) === x;
}

// The p significant digits nearest to `x` (> 0) and the power of ten of the first, as printf's
// %.*e rounds: half way to the even one, where JavaScript rounds up.
function nearestDigits(x, p) {
  const [mantissa, power] = x.toExponential(p - 1).split('e');
  let digits = mantissa.replace('.', '');
  const exponent = Number(power);
  if (digits.at(-1) % 2) {
    // Rounded up to an odd digit: half way when x is exactly the p + 1 digits that end in 5.
    const [longMantissa, longPower] = x.toExponential(p).split('e');
    const longer = longMantissa.replace('.', '');
    if (Number(longPower) === exponent && longer.endsWith('5') && compareExact(longer, exponent - p, x) === 0) {
      digits = String(Number(digits) - 1);
    }
  }
  return {digits, exponent};
}

// The p-digit decimal one unit in the last place above (by 1) or below (-1) `d`.
function neighbour({digits, exponent}, by) {
  const p = digits.length, low = 10 ** (p - 1), n = Number(digits) + by;
  if (n === low * 10) return {digits: String(low), exponent: exponent + 1};
  if (n < low) return {digits: '9'.repeat(p), exponent: exponent - 1};
  return {digits: String(n), exponent};
}

const reads = ({digits, exponent}, x) => readsAs(digits, exponent - digits.length + 1, x);

// The p-digit decimal that reads back as `x` (> 0), the nearer of two, or null when none does.
function digitsThatRead(x, p) {
  const nearest = nearestDigits(x, p);
  if (reads(nearest, x)) return nearest;
  // Beside a power of two the float's rounding interval is lopsided.
  const below = Number(`${nearest.digits}e${nearest.exponent - p + 1}`) < x;
  const other = neighbour(nearest, below ? 1 : -1);
  return reads(other, x) ? other : null;
}

// The fewest digits that read back as `x` (> 0). Whether p digits can is monotone in p (the
// p-digit decimals are among the p + 1-digit ones), so halving finds the fewest; 9 always can.
function shortestDigits(x) {
  let low = 1, high = 9, found = null;
  while (low < high) {
    const p = (low + high) >> 1;
    const digits = digitsThatRead(x, p);
    if (digits) [high, found] = [p, digits];
    else low = p + 1;
  }
  return found?.digits.length === high ? found : digitsThatRead(x, high);
}

// The shortest text that reads back as the float `x`, fixed or scientific (an exponent of at
// least two digits), whichever is shorter; fixed on a tie.
function floatText(x) {
  let text = written.get(x);
  if (text === undefined) written.set(x, text = writeFloat(x));
  return text;
}
// A figure's three strokes a step share their coordinates two by two.
const written = new Map();
function writeFloat(x) {
  if (x === 0) return Object.is(x, -0) ? '-0' : '0';
  const sign = x < 0 ? '-' : '';
  x = Math.abs(x);
  let {digits, exponent: e} = shortestDigits(x);
  digits = digits.replace(/(.)0+$/, '$1');
  const p = digits.length;
  const scientific = `${digits[0]}${p > 1 ? `.${digits.slice(1)}` : ''}e${e < 0 ? '-' : '+'}${String(Math.abs(e)).padStart(2, '0')}`;
  const fixed = e < 0 ? `0.${'0'.repeat(-e - 1)}${digits}`
              : p <= e + 1 ? BigInt(x).toString()
              : `${digits.slice(0, e + 1)}.${digits.slice(e + 1)}`;
  return sign + (fixed.length <= scientific.length ? fixed : scientific);
}

// The figure on the core's canvas as stringart-render writes it to an .svg file: the background,
// then a path for each run of segments of one colour, its command in the metadata.
function svgDocument(remake) {
  const count = core._RecordSegments();
  const words = new Uint32Array(core.HEAPU8.buffer, core._RecordedSegments(), count).slice();
  const coordinates = new Float32Array(words.buffer);
  const colour = (word) => `#${(word & 0xffffff).toString(16).padStart(6, '0')}`;
  const note = remake.replace(/&/g, '&amp;').replace(/</g, '&lt;').replace(/>/g, '&gt;');
  const parts = ['<?xml version="1.0" encoding="UTF-8"?>\n<svg xmlns="http://www.w3.org/2000/svg" ' +
                 `width="${kSide}" height="${kSide}" viewBox="0 0 ${kSide} ${kSide}">\n<metadata>${note}</metadata>\n` +
                 `<rect width="${kSide}" height="${kSide}" fill="${colour(words[0])}"/>\n` +
                 '<g transform="translate(0.5 0.5)" fill="none" stroke-width="1" stroke-linecap="square">\n'];
  for (let i = 1; i < count;) {
    const run = words[i + 4];
    let path = `<path stroke="${colour(run)}" d="`;
    for (; i < count && words[i + 4] === run; i += 5) {
      const [x1, y1, x2, y2] = coordinates.subarray(i, i + 4);
      path += `M${floatText(x1)} ${floatText(y1)}L${floatText(x2)} ${floatText(y2)}`;
    }
    parts.push(`${path}"/>\n`);
  }
  parts.push('</g>\n</svg>\n');
  written.clear();
  return new Blob(parts, {type: 'image/svg+xml'});
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
    return answer.error ? answer : {name: answer.figure.name, svg: svgDocument(answer.figure.remake)};
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
