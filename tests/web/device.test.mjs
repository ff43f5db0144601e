// The page on every kind of device: the whole of it in view at phone, tablet and laptop sizes,
// touch or mouse, the window's places only where a mouse has room; messages that never move the
// canvas; no task on the page's thread that grows with a figure, the processor slowed four times; axe's rules
// kept, light and dark, dialogs open too.
import assert from 'node:assert/strict';
import {createRequire} from 'node:module';
import {describe, test} from 'node:test';

import fs from 'node:fs';

import {canvasPixels, closeDialog, compareRasters, meanDifference, openPage, pageThreadTasks, readPng, renderPng,
        roundOfThePage, useSiteInBrowser, waitForFigure, watchErrors} from './support.mjs';

const kDraws = '0.1,0.2,0.3,0.4,0.5,0.6,0.7,0.8,0.9,0.15,0.35,0.55';
const kSizes = [[320, 568], [375, 667], [667, 375], [844, 390], [768, 1024], [1024, 768]];
const touch = {hasTouch: true, isMobile: true};
// The devices the page's rough edges are checked on, held as their visitors hold them; on the
// small phone the canvas is as tall as fits, where a row of buttons more would shrink it.
const kDevices = [['phone', {width: 375, height: 667}, touch], ['phone on its side', {width: 667, height: 375}, touch],
                  ['tablet', {width: 768, height: 1024}, touch], ['desktop', {width: 1280, height: 800}, {}],
                  ['small phone', {width: 320, height: 568}, touch]];
const axePath = createRequire(import.meta.url).resolve('axe-core/axe.min.js');

// Where the canvas and the visible controls are, and whether anything scrolls.
const layout = (page) => page.evaluate(() => {
  const box = (e) => e.getBoundingClientRect().toJSON();
  const root = document.scrollingElement;
  return {scrolls: root.scrollWidth > innerWidth || root.scrollHeight > innerHeight,
          windowPlaces: matchMedia('(min-width: 840px) and (min-height: 620px) and (pointer: fine)').matches,
          canvas: box(Picture1), stage: box(stage),
          controls: [...document.querySelectorAll('#buttons button')].filter((b) => !b.hidden).map(box)};
});

describe('the page on every device', () => {
  const env = useSiteInBrowser();

  async function withPage(options, use) {
    const context = await env.browser.newContext(options);
    const page = await context.newPage();
    const errors = watchErrors(page);
    try {
      await openPage(page, env.server.url, `#draws=${kDraws}&directions=1,1,1`);
      await use(page, context);
      assert.deepEqual(errors, [], 'errors on the console');
    } finally {
      await context.close();
    }
  }

  test('every size in view: the canvas as large as fits, every control big enough for a finger', async () => {
    for (const [width, height] of kSizes) {
      for (const [kind, options] of [['touch', touch], ['mouse', {}]]) {
        await withPage({viewport: {width, height}, ...options}, async (page) => {
          const where = `${width} x ${height}, ${kind}`;
          const {scrolls, windowPlaces, canvas, stage, controls} = await layout(page);
          assert.ok(!scrolls, `${where}: scrolls`);
          assert.equal(windowPlaces, kind === 'mouse' && width >= 840 && height >= 620, where);
          if (windowPlaces) {
            assert.deepEqual([canvas.x, canvas.y, canvas.width, canvas.height], [56, 64, 500, 500], where);
            return;
          }
          assert.ok(canvas.width === canvas.height && canvas.width === Math.min(stage.width, stage.height) &&
                    canvas.bottom <= height && canvas.right <= width, `${where}: canvas ${JSON.stringify(canvas)}`);
          for (const c of controls) {
            const beside = width > height ? c.left >= canvas.right : c.top >= canvas.bottom;
            assert.ok(c.width >= 44 && c.height >= 44 && beside && c.right <= width && c.bottom <= height,
                      `${where}: control ${JSON.stringify(c)}, canvas ${JSON.stringify(canvas)}`);
          }
        });
      }
    }
  });

  test('messages take a place of their own: the canvas never moves', async () => {
    for (const options of [{viewport: {width: 375, height: 667}, ...touch}, {viewport: {width: 844, height: 390}, ...touch},
                           {viewport: {width: 1280, height: 800}}]) {
      await withPage(options, async (page) => {
        const {canvas} = await layout(page);
        await page.evaluate(() => { location.hash = `#draws=${'0.5,'.repeat(11)}0.${'7'.repeat(300)}x`; });
        await page.waitForFunction(() => message.textContent.startsWith('This address names no figure'));
        await waitForFigure(page);
        assert.deepEqual((await layout(page)).canvas, canvas, `${JSON.stringify(options)}: the canvas moved`);
      });
    }
  });

  test('a dense screen: the canvas holds its pixels, the figure anti-aliased as stringart-render draws it; ' +
       '"Download PNG" the exact raster, "Download large PNG" at 4K', () =>
    withPage({viewport: {width: 1280, height: 800}, deviceScaleFactor: 2}, async (page) => {
      await page.waitForFunction(() => Picture1.width === 1000 && Picture1.height === 1000);
      const smooth = await canvasPixels(page, 1000);
      const difference = meanDifference(smooth, renderPng(kDraws, '1,1,1', '1000').rgba);
      assert.ok(difference <= 3, `the canvas differs from stringart-render --size 1000 by ${difference} levels on average`);
      const downloaded = async (button) => {
        const [download] = await Promise.all([page.waitForEvent('download'), page.click(button)]);
        return [download.suggestedFilename(), readPng(fs.readFileSync(await download.path()))];
      };
      const [exactName, exact] = await downloaded('#DownloadPng');
      assert.equal(compareRasters(exact.rgba, renderPng(kDraws, '1,1,1').rgba).differing, 0);
      const [name, large] = await downloaded('#DownloadLarge');
      assert.deepEqual([name, large.width, large.height], [exactName.replace('.png', '-3840x2160.png'), 3840, 2160]);
      assert.match(large.text.Comment, / --size 3840x2160$/);
      const wide = meanDifference(large.rgba, renderPng(kDraws, '1,1,1', '3840x2160').rgba);
      assert.ok(wide <= 3, `the large PNG differs from stringart-render --size 3840x2160 by ${wide} levels on average`);
    }));

  // The page's thread hands tracing to the worker, so no task on it grows with a figure. The
  // bound is one a busy machine meets; the 50 ms goal is measured by measure.mjs, not asserted.
  test('no task on the page\'s thread over half a second while figures are traced, the processor slowed 4 times, ' +
       'at densities 1 and 2', async () => {
    for (const deviceScaleFactor of [1, 2]) await withPage({deviceScaleFactor}, async (page, context) => {
      const cdp = await context.newCDPSession(page);
      await cdp.send('Emulation.setCPUThrottlingRate', {rate: 4});
      const tasks = await pageThreadTasks(cdp, () => roundOfThePage(page, deviceScaleFactor));
      assert.ok(tasks.length > 100, `only ${tasks.length} tasks traced`);
      const long = tasks.filter((ms) => ms >= 500).map(Math.round);
      assert.deepEqual(long, [], `tasks of 500 ms or more at density ${deviceScaleFactor}, by the thread's time`);
    });
  });

  test('on a phone, upright or on its side, a tablet and a desktop: nothing shifts as the page starts, every ' +
       'label and message is shown whole, Adjust leaves the canvas in view, Variations\' tiles are large enough', async () => {
    // No share sheet and no clipboard: the longest message, the link to copy by hand.
    const noSharing = () => {
      delete Navigator.prototype.share;
      navigator.clipboard.writeText = () => Promise.reject(new Error('denied'));
      window.shifts = 0;
      new PerformanceObserver((list) => {
        for (const shift of list.getEntries()) if (!shift.hadRecentInput) window.shifts += shift.value;
      }).observe({type: 'layout-shift', buffered: true});
    };
    const frames = (page) => page.evaluate(() => new Promise((r) => requestAnimationFrame(() => requestAnimationFrame(r))));
    const box = (page, selector) => page.evaluate((s) => document.querySelector(s).getBoundingClientRect().toJSON(), selector);
    for (const [device, viewport, options] of kDevices) {
      const context = await env.browser.newContext({viewport, ...options});
      await context.addInitScript(noSharing);
      const page = await context.newPage();
      const errors = watchErrors(page);
      try {
        await openPage(page, env.server.url, `#draws=${kDraws}&directions=1,1,1`);
        await frames(page);
        const shifts = await page.evaluate(() => window.shifts);
        assert.ok(shifts <= 0.01, `${device}: layout shifts of ${shifts} as the page started`);
        const cut = await page.evaluate(() => [...document.querySelectorAll('#buttons button')]
            .filter((b) => !b.hidden && b.scrollWidth > b.clientWidth).map((b) => b.textContent));
        assert.deepEqual(cut, [], `${device}: labels wider than their buttons`);
        const order = await page.evaluate(() => [...document.querySelectorAll('#buttons button')].filter((b) => !b.hidden)
            .map((b) => [b.getBoundingClientRect(), b.id]).map(([{top, left}, id]) => ({top, left, id})));
        const reading = [...order].sort((a, b) => a.top - b.top || a.left - b.left);
        assert.deepEqual(order.map((b) => b.id), reading.map((b) => b.id), `${device}: the focus goes through the buttons out of order`);

        const canvas = await box(page, '#Picture1');
        await page.click('#Share');
        await page.waitForFunction(() => message.textContent.startsWith('Copy this link: http'));
        const shown = await page.evaluate(() => ({whole: message.scrollHeight <= message.clientHeight + 1,
                                                  bottom: message.getBoundingClientRect().bottom,
                                                  size: parseFloat(getComputedStyle(message).fontSize)}));
        assert.ok(shown.whole && shown.bottom <= viewport.height && shown.size >= 12, `${device}: the link cut, ${JSON.stringify(shown)}`);
        assert.deepEqual(await box(page, '#Picture1'), canvas, `${device}: the canvas moved`);

        await page.keyboard.press('a');
        await page.waitForSelector('#Adjust[open]');
        const adjust = await box(page, '#Adjust');
        const over = Math.max(0, Math.min(adjust.right, canvas.right) - Math.max(adjust.left, canvas.left)) *
                     Math.max(0, Math.min(adjust.bottom, canvas.bottom) - Math.max(adjust.top, canvas.top));
        assert.ok(over <= 0.1 * canvas.width * canvas.height, `${device}: Adjust covers ${Math.round(100 * over / canvas.width / canvas.height)}% of the canvas`);
        await closeDialog(page);
        await page.keyboard.press('v');
        await page.waitForSelector('#Variations[open]');
        const tile = await box(page, '#VariationsGrid canvas');
        assert.ok(tile.width >= 80, `${device}: Variations' tiles are ${tile.width} px`);
        await closeDialog(page);
        assert.deepEqual(errors, [], `${device}: errors on the console`);
      } finally {
        await context.close();
      }
    }
  });

  test('on every device a swipe goes back, forward and on to a new figure; Z or "Full screen" shows the canvas alone', async () => {
    const hash = (page) => page.evaluate(() => location.hash);
    for (const [device, viewport, options] of kDevices) {
      await withPage({viewport, ...options}, async (page) => {
        const swipe = async (by) => {
          const box = await page.locator('#Picture1').boundingBox();
          const [x, y] = [box.x + box.width / 2, box.y + box.height / 2];
          const before = await hash(page);
          await page.mouse.move(x - by / 2, y);
          await page.mouse.down();
          await page.mouse.move(x + by / 2, y + 5, {steps: 4});
          await page.mouse.up();
          await page.waitForFunction((h) => location.hash !== h, before);
          await waitForFigure(page);
          return hash(page);
        };
        const first = await hash(page);
        const fresh = await swipe(-120);  // to the left at the last figure: a new one
        assert.equal(await swipe(120), first, `${device}: a swipe to the right goes back`);
        assert.equal(await swipe(-120), fresh, `${device}: a swipe to the left goes forward`);

        const canvas = await page.locator('#Picture1').boundingBox();
        await page.keyboard.press('z');
        await page.waitForFunction(() => document.fullscreenElement?.id === 'stage');
        const whole = await page.evaluate(() => [Picture1.getBoundingClientRect().width, Math.min(innerWidth, innerHeight)]);
        assert.equal(whole[0], whole[1], `${device}: the canvas in full screen`);
        await page.click('#Picture1');  // a tap is no swipe
        await page.keyboard.press('z');
        await page.waitForFunction(() => !document.fullscreenElement);
        assert.equal(await hash(page), fresh);
        assert.deepEqual(await page.locator('#Picture1').boundingBox(), canvas, `${device}: the canvas back in its place`);
        await page.click('#FullScreen');
        await page.waitForFunction(() => document.fullscreenElement?.id === 'stage');
      });
    }
  });

  test('axe finds nothing with every rule on, at every size, light and dark, dialogs open or not', async () => {
    for (const [device, viewport, options] of kDevices) {
      for (const colorScheme of ['light', 'dark']) {
        await withPage({viewport, colorScheme, ...options}, async (page) => {
          await page.addScriptTag({path: axePath});
          await page.evaluate(() => axe.configure({rules: axe.getRules().map(({ruleId}) => ({id: ruleId, enabled: true}))}));
          for (const key of [null, 'g', 'v', 'a']) {
            if (key) {
              await page.keyboard.press(key);
              await page.waitForFunction(() => document.querySelector('dialog[open]'))
                  .catch(async () => assert.fail(`${key}: no dialog, focus on ${await page.evaluate(() => document.activeElement.id)}`));
              await waitForFigure(page);
            }
            const {violations} = await page.evaluate(() => axe.run({resultTypes: ['violations']}));
            assert.deepEqual(violations.map((v) => `${v.id}: ${v.nodes.map((n) => n.target.join(' ')).join(', ')}`), [],
                             `${colorScheme} ${device}${key ? `, key ${key} pressed` : ''}`);
            if (key) await closeDialog(page);
          }
        });
      }
    }
  });

  test('says what it is, in a main landmark, and is dark around the canvas where the system is', async () => {
    for (const colorScheme of ['light', 'dark']) {
      await withPage({colorScheme}, async (page) => {
        const main = page.getByRole('main');
        assert.equal(await main.getByRole('heading', {level: 1}).textContent(), 'stringart');
        assert.match(await main.locator('#about p').innerText(), /string-art figures.*N new.*G gallery/);
        const [r, g, b] = (await page.evaluate(() => getComputedStyle(document.body).backgroundColor)).match(/\d+/g).map(Number);
        assert.equal((r + g + b) / 3 < 60, colorScheme === 'dark', `${colorScheme}: background rgb(${r}, ${g}, ${b})`);
      });
    }
  });
});
