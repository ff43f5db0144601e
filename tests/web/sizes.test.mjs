// The page at a phone's, a tablet's and a desktop's size, and the narrowest phone: the canvas's
// pixels are stringart-render's, nothing scrolls sideways, the window's places from 840 px wide,
// finger-sized buttons under a sharp canvas below that.
import assert from 'node:assert/strict';
import {describe, test} from 'node:test';

import {canvasPixels, compareRasters, openPage, renderPng, useSiteInBrowser} from './support.mjs';

const kDraws = '0.1,0.2,0.3,0.4,0.5,0.6,0.7,0.8,0.9,0.15,0.35,0.55';
const phone = (width, height, deviceScaleFactor) =>
  ({viewport: {width, height}, deviceScaleFactor, isMobile: true, hasTouch: true});
const kSizes = [phone(375, 667, 2), {viewport: {width: 768, height: 1024}},
                {viewport: {width: 1280, height: 800}}, {viewport: {width: 320, height: 480}}];

describe('the page at every size', () => {
  const env = useSiteInBrowser();
  const rendered = renderPng(kDraws, '1,-1,1').rgba;

  for (const options of kSizes) {
    const {width, height} = options.viewport;
    test(`${width} x ${height} at ${options.deviceScaleFactor ?? 1} device pixels a pixel`, async () => {
      const context = await env.browser.newContext(options);
      const page = await context.newPage();
      await openPage(page, env.server.url, `#draws=${kDraws}&directions=1,-1,1`);
      assert.equal(compareRasters(await canvasPixels(page), rendered).differing, 0);
      const {scrollWidth, canvas, buttons, sharp} = await page.evaluate(() => {
        const box = (e) => e.getBoundingClientRect().toJSON();
        const picture = document.getElementById('Picture1');
        return {scrollWidth: document.scrollingElement.scrollWidth, canvas: box(picture),
                buttons: [...document.querySelectorAll('button')].map(box),
                sharp: [picture.width, picture.height, getComputedStyle(picture).imageRendering]};
      });
      assert.ok(scrollWidth <= width, `scrolls sideways: ${scrollWidth} px`);
      assert.deepEqual(sharp, [500, 500, canvas.width * (options.deviceScaleFactor ?? 1) >= 500 ? 'pixelated' : 'auto']);
      if (width >= 840) {
        assert.deepEqual([canvas.x, canvas.y, canvas.width, canvas.height], [56, 64, 500, 500]);
        assert.deepEqual([buttons[0].x, buttons[0].y, buttons[0].width, buttons[0].height], [576, 544, 57, 17]);
      } else {
        assert.ok(canvas.width === canvas.height && canvas.width >= Math.min(500, width - 30), JSON.stringify(canvas));
        for (const b of buttons) {
          assert.ok(b.width >= 44 && b.height >= 44 && b.top >= canvas.bottom && b.right <= width, JSON.stringify(b));
        }
      }
      await context.close();
    });
  }
});
