// Times a figure in the page against the native renderer on this machine; not a test.
//   tools/web.sh build && cmake --build build && node tests/web/measure.mjs [ROUNDS]
// For each figure, ROUNDS times in turn: in the page's worker, performance.now() around 20 calls
// of the core's ShowLink (black canvas, then the figure traced onto the raster: what "new" does
// besides taking draws), over 20; natively, stringart-render --figures 41 less --figures 1, over 40.
// Prints the minimum and the median of those means: the minimum is what other load on the
// machine disturbs least. Also the copy of the raster into the canvas (RGBA in the core, copied
// out of the worker's heap, then putImageData on the page's thread), per figure. Last, the tasks
// on the page's thread during a round of the page with the processor slowed 4 times, at
// densities 1 and 2: the goal is none of 50 ms or more (the tests hold them only to 500 ms).
import {execFileSync} from 'node:child_process';
import path from 'node:path';
import {fileURLToPath} from 'node:url';

import {launchBrowser, openPage, pageThreadTasks, roundOfThePage, serveSite} from './support.mjs';

const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
const render = process.env.STRINGART_RENDER ?? path.join(root, 'build/app/stringart-render');
const rounds = Number(process.argv[2] ?? 6);
const kFigures = [
  '0.1,0.2,0.3,0.4,0.5,0.6,0.7,0.8,0.9,0.15,0.35,0.55',
  '0.25,0.75,0.999023438,0.5,0.125,0.0625,0.3,0.6,0.2,0.8,0.4,0.9',
  '0.9,0.1,0.2,0.6,0.4,0.049,0.99,0.5,0.123456,0.654321,0.999,0.001',
  '0.93930596,0.26992273,0.9504212,0.55078614,0.034173667,0.15119624,0.87111396,0.40697807,' +
      '0.54395765,0.47119933,0.32476306,0.17696303',
  '0.40062237,0.4721896,0.96855545,0.17607123,0.5663166,0.95836693,0.50340754,0.45214266,' +
      '0.7998582,0.5192843,0.62989664,0.8613611',
];
const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const ms = (values) => `${Math.min(...values).toFixed(1)} / ${median(values).toFixed(1)} ms`;

function nativeMs(draws) {
  const run = (figures) => {
    const start = process.hrtime.bigint();
    execFileSync(render, ['--draws', draws, '--figures', String(figures), '-o',
                          '/tmp/stringart-measure.png'], {stdio: 'ignore'});
    return Number(process.hrtime.bigint() - start) / 1e6;
  };
  return (run(41) - run(1)) / 40;
}

// In the page's worker, where the core runs: 20 traces, then the raster copied out as the worker
// hands it to the page; on the page's thread, the raster put into the canvas.
async function browserMs(page, draws) {
  const {trace, copyOut} = await page.workers()[0].evaluate((draws) => {
    // The worker's core, a global of its script.
    const link = `draws=${draws}&directions=1,1,1`;
    const size = link.length + 1, at = core._malloc(size);  // ASCII
    core.HEAPU8.set(new TextEncoder().encode(link), at);
    const t0 = performance.now();
    for (let i = 0; i < 20; ++i) core._ShowLink(at, size - 1);
    const t1 = performance.now();
    core.HEAPU8.slice(core._CanvasRgba(), core._CanvasRgba() + 500 * 500 * 4);
    const t2 = performance.now();
    core._free(at);
    return {trace: (t1 - t0) / 20, copyOut: t2 - t1};
  }, draws);
  const copyIn = await page.evaluate(() => {
    const rgba = new ImageData(500, 500);
    const t0 = performance.now();
    document.getElementById('Picture1').getContext('2d').putImageData(rgba, 0, 0);
    return performance.now() - t0;
  });
  return {trace, copy: copyOut + copyIn};
}

const server = await serveSite(path.join(root, 'build-web/site'));
const browser = await launchBrowser();
const page = await browser.context.newPage();
await openPage(page, server.url);
console.log('figure: minimum / median over the rounds; ratio of the minimums');
for (const [i, draws] of kFigures.entries()) {
  const trace = [], copy = [], native = [];
  for (let r = 0; r < rounds; ++r) {
    const b = await browserMs(page, draws);
    trace.push(b.trace);
    copy.push(b.copy);
    native.push(nativeMs(draws));
  }
  const ratio = Math.min(...trace) / Math.min(...native);
  console.log(`${i + 1}: browser ${ms(trace)}, native ${ms(native)}; ${ratio.toFixed(2)} x; ` +
              `copy into the canvas ${ms(copy)}`);
}
for (const deviceScaleFactor of [1, 2]) {
  const context = await browser.newContext({deviceScaleFactor});
  const page = await context.newPage();
  await openPage(page, server.url, `#draws=${kFigures[0]}&directions=1,1,1`);
  const cdp = await context.newCDPSession(page);
  await cdp.send('Emulation.setCPUThrottlingRate', {rate: 4});
  const tasks = await pageThreadTasks(cdp, () => roundOfThePage(page, deviceScaleFactor));
  const long = tasks.filter((ms) => ms >= 50).map(Math.round);
  console.log(`the page's thread, processor slowed 4 times, density ${deviceScaleFactor}: ${tasks.length} ` +
              `tasks, the longest ${Math.max(...tasks).toFixed(1)} ms; of 50 ms or more: ${long.length ? long.join(', ') : 'none'}`);
  await context.close();
}
await browser.close();
await server.close();
