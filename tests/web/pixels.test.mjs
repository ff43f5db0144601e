// A figure named by the page's address has exactly the pixels of stringart-render's PNG of the
// same draws and directions, at a phone's size (twice the pixels), a tablet's, a desktop's and a
// narrow window's in turn; at each, nothing scrolls sideways, the window's places hold on the
// desktop, and elsewhere the canvas is sharp with finger-sized buttons under it. On the phone the
// exact raster is the one "Download PNG" gives, and the canvas holds the device's pixels: the
// figure anti-aliased as stringart-render --size N draws it.
import assert from 'node:assert/strict';
import {describe, test} from 'node:test';

import fs from 'node:fs';

import {canvasPixels, compareRasters, litPixels, meanDifference, openPage, readPng, renderPng, useSiteInBrowser,
        watchErrors} from './support.mjs';

// Figures that exercise the arithmetic's edges, with the start directions.
const kFigures = [
  ['0.1,0.2,0.3,0.4,0.5,0.6,0.7,0.8,0.9,0.15,0.35,0.55', '1,1,1'],
  // Red starts at 255.75, above 255.5, and falls from there.
  ['0.25,0.75,0.999023438,0.5,0.125,0.0625,0.3,0.6,0.2,0.8,0.4,0.9', '1,1,1'],
  // Every channel above 255.5 at the start, every direction falling.
  ['0.5,0.5,0.99999994,0.998046875,0.9990234,0.01,0.02,0.03,0.7,0.3,0.55,0.45', '-1,-1,-1'],
  ['0.9,0.1,0.2,0.6,0.4,0.049,0.99,0.5,0.123456,0.654321,0.999,0.001', '-1,1,-1'],
  // Phases zero and every frequency factor at -3; colours mid-way with no step.
  ['0,0,0.5,0.25,0.75,0,0,0,0,0,0,0', '1,-1,1'],
  // The largest draw, 1 - 2^-24, for phases, steps and a factor.
  ['0.99999994,0.99999994,0.5,0.5,0.5,0.99999994,0.99999994,0.99999994,0.99999994,0.01,0.75,0.25',
   '1,1,-1'],
  // The second figure of stringart-render --seed 43210.5 --figures 2: draws as the program makes them.
  ['0.93930596,0.26992273,0.9504212,0.55078614,0.034173667,0.15119624,0.87111396,0.40697807,' +
       '0.54395765,0.47119933,0.32476306,0.17696303', '1,-1,1'],
];

const phone = {viewport: {width: 375, height: 667}, deviceScaleFactor: 2, isMobile: true, hasTouch: true};
const kSizes = [phone, {viewport: {width: 768, height: 1024}}, {viewport: {width: 1280, height: 800}},
                {viewport: {width: 320, height: 480}}];

async function checkLayout(page, {viewport: {width}, deviceScaleFactor = 1}, side) {
  const {scrollWidth, canvas, buttons, command, sharp} = await page.evaluate(() => {
    const box = (e) => e.getBoundingClientRect().toJSON(), picture = document.getElementById('Picture1');
    return {scrollWidth: document.scrollingElement.scrollWidth, canvas: box(picture),
            buttons: [...document.querySelectorAll('button')].map(box), command: box(document.getElementById('Command1')),
            sharp: [picture.width, picture.height, getComputedStyle(picture).imageRendering]};
  });
  assert.ok(scrollWidth <= width, `${width} px wide: scrolls sideways to ${scrollWidth} px`);
  assert.deepEqual(sharp, side ? [side, side, 'pixelated']
                               : [500, 500, canvas.width * deviceScaleFactor >= 500 ? 'pixelated' : 'auto']);
  if (width >= 840) {
    assert.deepEqual([canvas.x, canvas.y, canvas.width, canvas.height], [56, 64, 500, 500]);
    assert.deepEqual([command.x, command.y, command.width, command.height], [576, 544, 57, 17]);
    return;
  }
  assert.ok(canvas.width === canvas.height, JSON.stringify(canvas));
  for (const b of buttons.filter((b) => b.width)) {
    assert.ok(b.width >= 44 && b.height >= 44 && b.top >= canvas.bottom && b.right <= width, JSON.stringify(b));
  }
}

async function downloadedPng(page) {
  const [download] = await Promise.all([page.waitForEvent('download'), page.click('#DownloadPng')]);
  return readPng(fs.readFileSync(await download.path())).rgba;
}

describe('the canvas against stringart-render', () => {
  const env = useSiteInBrowser();

  for (const [i, [draws, directions]] of kFigures.entries()) {
    const size = kSizes[i % kSizes.length];
    test(`draws ${draws} directions ${directions} at ${JSON.stringify(size)}`, async () => {
      const context = await env.browser.newContext(size);
      const page = await context.newPage();
      const errors = watchErrors(page);
      await openPage(page, env.server.url, `#draws=${draws}&directions=${directions}`);
      const want = renderPng(draws, directions);
      assert.ok(litPixels(want.rgba) > 10000, 'the renderer drew next to nothing');
      const dense = (size.deviceScaleFactor ?? 1) > 1;
      const exact = dense ? await downloadedPng(page) : await canvasPixels(page);
      const {differing, first} = compareRasters(exact, want.rgba);
      assert.equal(differing, 0,
                   `${differing} pixels differ, ${first}; reproduce: stringart-render --draws ${draws} ` +
                       `--directions ${directions} -o f.png, and open the page at ` +
                       `#draws=${draws}&directions=${directions}`);
      let side;
      if (dense) {
        side = await page.evaluate(() => {
          const box = Picture1.getBoundingClientRect();
          return Math.round(Math.min(box.width, box.height) * devicePixelRatio);
        });
        await page.waitForFunction((side) => Picture1.width === side, side);
        const difference = meanDifference(await canvasPixels(page, side), renderPng(draws, directions, String(side)).rgba);
        assert.ok(difference <= 3, `the canvas differs from stringart-render --size ${side} by ${difference} levels`);
      }
      await checkLayout(page, size, side);
      assert.deepEqual(errors, []);
      await context.close();
    });
  }
});
