// The page on every kind of device: the whole of it in view at phone, tablet and laptop sizes,
// touch or mouse, the window's places only where a mouse has room; messages that never move the
// canvas; no long task on the page's thread with the processor slowed four times; axe's rules
// kept, light and dark, dialogs open too.
import assert from 'node:assert/strict';
import {createRequire} from 'node:module';
import {describe, test} from 'node:test';

import fs from 'node:fs';

import {canvasPixels, compareRasters, meanDifference, openPage, readPng, renderPng, useSiteInBrowser, waitForFigure,
        watchErrors} from './support.mjs';

const kDraws = '0.1,0.2,0.3,0.4,0.5,0.6,0.7,0.8,0.9,0.15,0.35,0.55';
const kSizes = [[320, 568], [375, 667], [667, 375], [844, 390], [768, 1024], [1024, 768]];
const touch = {hasTouch: true, isMobile: true};
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

// Closes the open dialog and waits for the page to take keys again: while a figure is drawn
// they are ignored, and so are they until the focus has left the closed dialog (its list takes
// keys of its own), which the dialog's close event gives back a moment after it closes.
async function closeDialog(page) {
  await page.keyboard.press('Escape');
  await page.waitForFunction(() => !document.querySelector('dialog[open]') &&
                                   !document.activeElement?.closest('dialog'));
  await waitForFigure(page);
}

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
      await page.waitForFunction(() => Picture1.width === 1000 && Picture1.height === 1000, null, {timeout: 20000});
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

  // A task's time is its thread's CPU time in Chromium's trace, which the slowing stretches: the
  // machine's other work stretches the wall-clock time of long-task entries too, at random.
  // At twice the density each figure is drawn anti-aliased as well, which the trace waits for.
  test('no long task on the page\'s thread while figures are traced, the processor slowed 4 times, at densities 1 and 2', async () => {
    for (const deviceScaleFactor of [1, 2]) await withPage({deviceScaleFactor}, async (page, context) => {
      const cdp = await context.newCDPSession(page);
      await cdp.send('Emulation.setCPUThrottlingRate', {rate: 4});
      // The tasks on the page's thread while `keys` are pressed, each followed by what it led to.
      async function traced(keys) {
        const events = [];
        const collect = ({value}) => events.push(...value);
        cdp.on('Tracing.dataCollected', collect);
        await cdp.send('Tracing.start', {categories: 'devtools.timeline,disabled-by-default-devtools.timeline'});
        for (const key of keys) {
          await page.keyboard.press(key);
          await page.waitForTimeout(key === 'PageUp' ? 700 : 100);
          await waitForFigure(page);
        }
        if (deviceScaleFactor > 1) await page.waitForFunction(() => Picture1.width === 1000, null, {timeout: 20000});
        const ended = new Promise((resolve) => cdp.once('Tracing.tracingComplete', resolve));
        await cdp.send('Tracing.end');
        await ended;
        cdp.off('Tracing.dataCollected', collect);
        const main = new Set(events.filter((e) => e.name === 'thread_name' && e.args.name === 'CrRendererMain').map((e) => e.tid));
        return events.filter((e) => e.name === 'RunTask' && main.has(e.tid) && e.tdur !== undefined)
            .map((e) => `${deviceScaleFactor}x ${keys.join(' ')}: ${Math.round(e.tdur / 1000)} ms`);
      }
      // A virtual machine's busy host stretches even a thread's time now and then: a run without
      // a long task in three shows that the page's thread does little (a trace on it took 100 ms
      // a figure at this speed).
      const runs = [];
      for (let run = 0; run < 3 && !(runs.length && runs.at(-1).length === 0); ++run) {
        const tasks = await traced(['n', 'n', 'n', 'ArrowLeft', 'ArrowLeft', 'ArrowRight']);
        // A variation chosen, and a slider moved and at rest, their dialogs open.
        for (const [open, keys] of [['v', ['ArrowRight', 'Enter']], ['a', ['ArrowRight', 'ArrowRight', 'PageUp']]]) {
          await page.keyboard.press(open);
          await waitForFigure(page);
          tasks.push(...await traced(keys));
          await closeDialog(page);
        }
        assert.ok(tasks.length > 100, `only ${tasks.length} tasks traced`);
        runs.push(tasks.filter((t) => Number(t.match(/(\d+) ms$/)[1]) >= 50));
      }
      assert.deepEqual(runs.at(-1), [], `long tasks, by the thread's time, in each of 3 runs: ${JSON.stringify(runs)}`);
    });
  });

  test('axe finds nothing at a phone\'s and a desktop\'s size, light or dark, dialogs open or not', async () => {
    for (const [viewport, colorScheme] of [[{width: 375, height: 667}, 'light'], [{width: 1280, height: 800}, 'dark']]) {
      await withPage({viewport, colorScheme}, async (page) => {
        await page.addScriptTag({path: axePath});
        for (const key of [null, 'g', 'v', 'a']) {
          if (key) {
            await page.keyboard.press(key);
            await page.waitForFunction(() => document.querySelector('dialog[open]'), null, {timeout: 5000})
                .catch(async () => assert.fail(`${key}: no dialog, focus on ${await page.evaluate(() => document.activeElement.id)}`));
            await waitForFigure(page);
          }
          const {violations} = await page.evaluate(() => axe.run({resultTypes: ['violations']}));
          assert.deepEqual(violations.map((v) => `${v.id}: ${v.nodes.map((n) => n.target.join(' ')).join(', ')}`), [],
                           `${colorScheme} at ${viewport.width} x ${viewport.height}${key ? `, key ${key} pressed` : ''}`);
          if (key) await closeDialog(page);
        }
      });
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
