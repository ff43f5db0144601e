// Takes the page's pictures in docs/: the page showing the README's figure on a phone
// (web-phone.png, twice the pixels), a tablet and a desktop, at each size the page is laid out for
// (web-320x568.png and so on, touch screens), and the gallery, Variations and Adjust on a phone
// and a desktop (web-gallery-phone.png and so on); not a test.
//   tools/web.sh build && node tests/web/screenshot.mjs
import path from 'node:path';
import {fileURLToPath} from 'node:url';

import {launchBrowser, openPage, serveSite, waitForFigure} from './support.mjs';

const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
const kFigure = '#draws=0.1,0.2,0.3,0.4,0.5,0.6,0.7,0.8,0.9,0.15,0.35,0.55&directions=1,1,1';
const touch = {hasTouch: true, isMobile: true};
const phone = {viewport: {width: 375, height: 667}, ...touch};
const desktop = {viewport: {width: 1280, height: 800}};
const server = await serveSite(path.join(root, 'build-web/site'));
const browser = await launchBrowser();
const shot = (page, name) => page.screenshot({path: path.join(root, `docs/web-${name}.png`)});

async function opened(options) {
  const context = await browser.newContext(options);
  const page = await context.newPage();
  await openPage(page, server.url, kFigure);
  return {context, page};
}

for (const [name, options] of [['phone', {...phone, deviceScaleFactor: 2}], ['tablet', {viewport: {width: 768, height: 1024}}],
                               ['desktop', desktop],
                               ...[[320, 568], [375, 667], [667, 375], [844, 390], [768, 1024], [1024, 768]]
                                   .map(([width, height]) => [`${width}x${height}`, {viewport: {width, height}, ...touch}])]) {
  const {context, page} = await opened(options);
  await shot(page, name);
  await context.close();
}

// Some figures kept, two of them favourites, then each dialog in turn.
for (const [name, options] of [['phone', phone], ['desktop', desktop]]) {
  const {context, page} = await opened(options);
  for (const key of ['f', 'n', 'n', 'f', 'n', 'n', 'n', 'n', 'ArrowLeft']) {
    await page.keyboard.press(key);
    await waitForFigure(page);
  }
  for (const [dialog, key] of [['gallery', 'g'], ['variations', 'v'], ['adjust', 'a']]) {
    if (dialog === 'gallery') {
      await page.keyboard.press(key);
      await page.click('#AllTab');
    } else {
      await page.keyboard.press(key);
    }
    await waitForFigure(page);
    await page.waitForTimeout(1500);  // the tiles, traced in the worker
    await shot(page, `${dialog}-${name}`);
    await page.keyboard.press('Escape');
    await page.waitForFunction(() => !document.querySelector('dialog[open]'));
  }
  await context.close();
}
await browser.close();
await server.close();
