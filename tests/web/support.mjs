// What the browser tests share: the site served on 127.0.0.1, Debian's chromium driven headless
// through playwright-core, the canvas's pixels, and PNG files read back (pixels and text chunks).
import {execFileSync} from 'node:child_process';
import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';
import {after, before} from 'node:test';
import zlib from 'node:zlib';
import {chromium} from 'playwright-core';

export const kSize = 500;  // the canvas's width and height, pixels

// Where things are; run_browser_tests.sh sets these.
export const site = process.env.STRINGART_SITE;
export const render = process.env.STRINGART_RENDER;
const chromiumPath = process.env.STRINGART_CHROMIUM || '/usr/bin/chromium';

const kTypes = {'.html': 'text/html', '.js': 'text/javascript', '.css': 'text/css',
                '.wasm': 'application/wasm', '.svg': 'image/svg+xml',
                '.webmanifest': 'application/manifest+json'};

// Serves the folder `root` on 127.0.0.1 at a free port; resolves to {url, close}.
export async function serveSite(folder) {
  const root = path.resolve(folder);
  const server = http.createServer((request, response) => {
    const name = new URL(request.url, 'http://x').pathname.replace(/^\/$/, '/index.html');
    const file = path.join(root, path.normalize(name));
    if (!file.startsWith(root + path.sep) || !fs.existsSync(file)) {
      response.writeHead(404).end();
      return;
    }
    response.writeHead(200, {'Content-Type': kTypes[path.extname(file)] ?? 'application/octet-stream'});
    response.end(fs.readFileSync(file));
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  return {
    url: `http://127.0.0.1:${server.address().port}/`,
    close: () => new Promise((resolve) => server.close(resolve)),
  };
}

const kLaunch = {
  executablePath: chromiumPath,
  headless: true,
  args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
         '--disable-background-networking', '--disable-component-update', '--disable-sync'],
};
// The smallest window that gets the window's places, with a mouse.
const kContext = {viewport: {width: 840, height: 620}, acceptDownloads: true};
// How long a wait on the page may take before it fails, ms: the tests wait on conditions, and a
// busy 2-core machine traced a figure in the worker for seconds where a quiet one takes 20 ms.
const kPatience = 120_000;
const patient = (context) => { context.setDefaultTimeout(kPatience); return context; };

// Headless chromium, quiet towards the network; resolves to {context, newContext, close}:
// `context` at 840 x 620, `newContext(options)` makes others (sizes, devices, offline), each a
// fresh profile.
export async function launchBrowser() {
  const browser = await chromium.launch(kLaunch);
  const newContext = async (options = {}) => patient(await browser.newContext({...kContext, ...options}));
  return {context: await newContext(), newContext, close: () => browser.close()};
}

// Headless chromium on the profile in `folder`, which outlasts it: what the page keeps stays
// there for the next launch. Resolves to the browser's one context.
export const launchProfile = async (folder) =>
  patient(await chromium.launchPersistentContext(folder, {...kLaunch, ...kContext}));

// Collects what the page reports as errors: console errors and uncaught exceptions.
export function watchErrors(page) {
  const errors = [];
  page.on('console', (m) => { if (m.type() === 'error') errors.push(`console: ${m.text()}`); });
  page.on('pageerror', (e) => errors.push(`exception: ${e.message}`));
  return errors;
}

// Opens the page at `fragment` (with '#', or '') and waits until it shows a figure.
export async function openPage(page, url, fragment = '') {
  await page.goto(url + fragment);
  await waitForFigure(page);
}

// Waits until the page has started and finished what it was doing, its address handled: "new"
// is enabled and the canvas no longer busy.
export async function waitForFigure(page) {
  await page.waitForFunction(() => !document.getElementById('Command1').disabled &&
                                   document.getElementById('Picture1').getAttribute('aria-busy') !== 'true');
}

// The canvas's pixels as RGBA bytes, rows top to bottom: its backing store, `size` a side.
export async function canvasPixels(page, size = kSize) {
  const base64 = await page.evaluate((size) => {
    const rgba = document.getElementById('Picture1').getContext('2d').getImageData(0, 0, size, size).data;
    let binary = '';
    for (let i = 0; i < rgba.length; i += 0x8000) {
      binary += String.fromCharCode.apply(null, rgba.subarray(i, i + 0x8000));
    }
    return btoa(binary);
  }, size);
  return Buffer.from(base64, 'base64');
}

// Closes the open dialog and waits for the page to take keys again: while a figure is drawn
// they are ignored, and so are they until the focus has left the closed dialog (its list takes
// keys of its own), which the dialog's close event gives back a moment after it closes.
export async function closeDialog(page) {
  await page.keyboard.press('Escape');
  await page.waitForFunction(() => !document.querySelector('dialog[open]') &&
                                   !document.activeElement?.closest('dialog'));
  await waitForFigure(page);
}

// The tasks on the page's thread while `act` runs, each as its thread's CPU time in Chromium's
// trace, ms: what a slowed processor stretches, and the machine's other work far less than the
// wall-clock time of long-task entries.
export async function pageThreadTasks(cdp, act) {
  const events = [];
  const collect = ({value}) => events.push(...value);
  cdp.on('Tracing.dataCollected', collect);
  await cdp.send('Tracing.start', {categories: 'devtools.timeline,disabled-by-default-devtools.timeline'});
  try {
    await act();
  } finally {
    const ended = new Promise((resolve) => cdp.once('Tracing.tracingComplete', resolve));
    await cdp.send('Tracing.end');
    await ended;
    cdp.off('Tracing.dataCollected', collect);
  }
  const main = new Set(events.filter((e) => e.name === 'thread_name' && e.args.name === 'CrRendererMain').map((e) => e.tid));
  return events.filter((e) => e.name === 'RunTask' && main.has(e.tid) && e.tdur !== undefined).map((e) => e.tdur / 1000);
}

// A visitor's round of the page, as keys: three new figures, back and forward, a variation
// chosen and a slider moved and at rest, their dialogs open. Each key is followed by what it
// led to; at a density over 1 the anti-aliased canvas is waited for too.
export async function roundOfThePage(page, deviceScaleFactor) {
  const press = async (keys) => {
    for (const key of keys) {
      await page.keyboard.press(key);
      await page.waitForTimeout(key === 'PageUp' ? 700 : 100);  // a slider's rest is a time
      await waitForFigure(page);
    }
    if (deviceScaleFactor > 1) await page.waitForFunction((side) => Picture1.width === side, 500 * deviceScaleFactor);
  };
  await press(['n', 'n', 'n', 'ArrowLeft', 'ArrowLeft', 'ArrowRight']);
  for (const [open, keys] of [['v', ['ArrowRight', 'Enter']], ['a', ['ArrowRight', 'ArrowRight', 'PageUp']]]) {
    await page.keyboard.press(open);
    await waitForFigure(page);
    await press(keys);
    await closeDialog(page);
  }
}

// How many pixels are not black.
export function litPixels(rgba) {
  let lit = 0;
  for (let i = 0; i < rgba.length; i += 4) lit += rgba[i] | rgba[i + 1] | rgba[i + 2] ? 1 : 0;
  return lit;
}

// Reads an 8-bit RGB or RGBA PNG without interlacing: {width, height, rgba, text}, `text` holding
// its tEXt and zTXt chunks by keyword.
export function readPng(bytes) {
  if (!bytes.subarray(0, 8).equals(Buffer.from([137, 80, 78, 71, 13, 10, 26, 10]))) {
    throw new Error('not a PNG');
  }
  let width = 0, height = 0, channels = 0;
  const idat = [], text = {};
  for (let at = 8; at < bytes.length;) {
    const length = bytes.readUInt32BE(at), type = bytes.toString('latin1', at + 4, at + 8);
    const data = bytes.subarray(at + 8, at + 8 + length);
    at += 12 + length;
    if (type === 'IHDR') {
      width = data.readUInt32BE(0);
      height = data.readUInt32BE(4);
      const [depth, colour, , , interlace] = data.subarray(8);
      channels = {2: 3, 6: 4}[colour];
      if (depth !== 8 || !channels || interlace !== 0) throw new Error('unexpected PNG kind');
    } else if (type === 'IDAT') {
      idat.push(data);
    } else if (type === 'tEXt' || type === 'zTXt') {
      const nul = data.indexOf(0);
      const keyword = data.toString('latin1', 0, nul);
      text[keyword] = type === 'tEXt' ? data.toString('latin1', nul + 1)
                                      : zlib.inflateSync(data.subarray(nul + 2)).toString('latin1');
    }
  }
  const raw = zlib.inflateSync(Buffer.concat(idat));
  const stride = width * channels, rgba = Buffer.alloc(width * height * 4);
  let previous = Buffer.alloc(stride);
  for (let y = 0; y < height; ++y) {
    const filter = raw[y * (stride + 1)];
    const row = Buffer.from(raw.subarray(y * (stride + 1) + 1, (y + 1) * (stride + 1)));
    for (let i = 0; i < stride; ++i) {
      const a = i >= channels ? row[i - channels] : 0, b = previous[i];
      const c = i >= channels ? previous[i - channels] : 0;
      const p = a + b - c, pa = Math.abs(p - a), pb = Math.abs(p - b), pc = Math.abs(p - c);
      const predicted = [0, a, b, (a + b) >> 1, pa <= pb && pa <= pc ? a : pb <= pc ? b : c][filter];
      row[i] = (row[i] + predicted) & 0xff;
    }
    for (let x = 0; x < width; ++x) {
      for (let k = 0; k < 3; ++k) rgba[(y * width + x) * 4 + k] = row[x * channels + k];
      rgba[(y * width + x) * 4 + 3] = channels === 4 ? row[x * channels + 3] : 255;
    }
    previous = row;
  }
  return {width, height, rgba, text};
}

// stringart-render's PNG of one figure, read back; with `size` (N or WxH) its anti-aliased one.
export function renderPng(draws, directions, size) {
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'stringart-render-'));
  try {
    const file = path.join(folder, 'figure.png');
    execFileSync(render, ['--draws', draws, '--directions', directions, ...(size ? ['--size', size] : []), '-o', file]);
    return readPng(fs.readFileSync(file));
  } finally {
    fs.rmSync(folder, {recursive: true, force: true});
  }
}

// Where two RGBA rasters differ: how many pixels and the first one, for the failure message.
export function compareRasters(got, want) {
  let differing = 0, first = '';
  for (let i = 0; i < want.length; i += 4) {
    if (got.readUInt32BE(i) !== want.readUInt32BE(i)) {
      if (!differing) {
        first = `first at (${(i / 4) % kSize}, ${Math.floor(i / 4 / kSize)}): page ` +
                `${got.subarray(i, i + 4).toString('hex')}, renderer ${want.subarray(i, i + 4).toString('hex')}`;
      }
      ++differing;
    }
  }
  return {differing, first};
}

// The mean difference of two RGBA pictures' colour channels, in levels of 255.
export function meanDifference(got, want) {
  let sum = 0;
  for (let i = 0; i < want.length; ++i) sum += i % 4 === 3 ? 0 : Math.abs(got[i] - want[i]);
  return sum / (want.length * 3 / 4);
}

// A figures file of `count` valid figures, one a line as the page writes them, every tenth a
// favourite: 145,637 weigh 30 MB, a large journal's.
export function figuresFile(count) {
  const lines = [];
  for (let i = 0; i < count; ++i) {
    const draws = Array.from({length: 12}, (_, k) => `0.${String((i * 7919 + k * 104729) % 99999989).padStart(8, '0')}`);
    lines.push(JSON.stringify({draws: draws.join(','), directions: i % 3 ? '1,1,1' : '-1,1,-1', favourite: i % 10 === 0,
                               shown_at: 1700000000 + i, note: i % 7 ? '' : `figure ${i}`}));
  }
  return `[\n${lines.join(',\n')}\n]\n`;
}

// The draws and directions the page's address names.
export async function shownFigure(page) {
  const hash = await page.evaluate(() => location.hash);
  const [, draws, directions] = hash.match(/^#draws=([^&]+)&directions=(-?1,-?1,-?1)$/) ?? [];
  if (!draws) throw new Error(`the address names no figure: ${hash}`);
  return [draws, directions];
}

// Fails unless the canvas is stringart-render's figure of the address to the pixel, saying how
// to make both.
export async function assertExact(page, after) {
  const [draws, directions] = await shownFigure(page);
  const {differing, first} = compareRasters(await canvasPixels(page), renderPng(draws, directions).rgba);
  if (differing) {
    throw new Error(`after ${after}: ${differing} pixels differ, ${first}; reproduce: stringart-render ` +
                    `--draws ${draws} --directions ${directions} -o f.png, and the page at ` +
                    `#draws=${draws}&directions=${directions}`);
  }
}

// Serves the site and starts a browser before the tests of the enclosing describe, and stops both
// after them; the returned object holds them meanwhile.
export function useSiteInBrowser() {
  const env = {browser: null, server: null};
  before(async () => {
    env.server = await serveSite(site);
    env.browser = await launchBrowser();
  });
  after(async () => {
    await env.browser?.close();
    await env.server?.close();
  });
  return env;
}
