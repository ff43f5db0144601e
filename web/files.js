// The figure leaving the page: the exact PNG, the SVG, the large PNG, and its shared link.

import {view} from './canvas.js';
import {ask} from './engine.js';
import {kSize, say} from './ui.js';

export function download(blob, name = blob.name) {
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

// A PNG of the figure as a file named as the program proposes, carrying the command that makes
// it again.
async function figureFile(blob, {remake, name}, size) {
  const png = new Uint8Array(await blob.arrayBuffer());
  const kAfterHeader = 33;  // signature (8) and the IHDR chunk (25)
  return new File([png.subarray(0, kAfterHeader), textChunk('Software', 'stringart'),
                   textChunk('Comment', remake + (size ? ` --size ${size}` : '')),
                   png.subarray(kAfterHeader)], `figure-${name}${size ? `-${size}` : ''}.png`, {type: 'image/png'});
}

// The exact raster, whatever the canvas holds, as a PNG file.
function exactPng() {
  const figure = view.shown;
  const raster = document.createElement('canvas');
  raster.width = raster.height = kSize;
  raster.getContext('2d').putImageData(view.exact, 0, 0);
  return new Promise((resolve) => raster.toBlob((blob) => resolve(figureFile(blob, figure)), 'image/png'));
}
export const downloadPng = async () => download(await exactPng());

export async function downloadSvg() {
  say('Writing the SVG (8 MB of text)…');
  const answer = await ask({op: 'svg', draws: view.shown.draws, directions: view.shown.directions});
  download(answer.svg, `figure-${answer.name}.svg`);
  say('');
}

// The figure anti-aliased at the screen's size in device pixels, or at 4K (turned as the
// screen is) where the screen has fewer pixels.
export async function downloadLarge() {
  let [width, height] = [screen.width, screen.height].map((side) => Math.round(side * devicePixelRatio));
  if (width * height < 3840 * 2160) [width, height] = width < height ? [2160, 3840] : [3840, 2160];
  say(`Drawing the PNG of ${width} x ${height} pixels…`);
  const answer = await ask({op: 'smooth', draws: view.shown.draws, directions: view.shown.directions, width, height, png: true});
  if (answer.error) throw new Error(answer.error);
  download(await figureFile(answer.png, answer.figure, width === height ? width : `${width}x${height}`));
  say('');
}

// The figure's PNG with its link to the system's sharing where it takes files; elsewhere the PNG
// is downloaded, and the link shared or copied.
export async function share() {
  const link = location.href.replace(/#.*$/, '') + `#${view.shown.link}`;
  const png = await exactPng();
  const files = navigator.canShare?.({files: [png]}) ? [png] : [];
  if (!files.length) download(png);
  if (navigator.share) {
    try {
      await navigator.share({title: document.title, url: link, ...(files.length && {files})});
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
