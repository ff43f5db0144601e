// Takes docs/web-phone.png, docs/web-tablet.png and docs/web-desktop.png: the page in headless
// chromium showing the README's figure at 375 x 667 (a phone, twice the pixels), 768 x 1024 and
// 1280 x 800; not a test.
//   tools/web.sh build && node tests/web/screenshot.mjs
import path from 'node:path';
import {fileURLToPath} from 'node:url';

import {launchBrowser, openPage, serveSite} from './support.mjs';

const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
const server = await serveSite(path.join(root, 'build-web/site'));
const browser = await launchBrowser();
const kShots = [
  ['phone', {viewport: {width: 375, height: 667}, deviceScaleFactor: 2, isMobile: true, hasTouch: true}],
  ['tablet', {viewport: {width: 768, height: 1024}}],
  ['desktop', {viewport: {width: 1280, height: 800}}],
];
for (const [name, options] of kShots) {
  const context = await browser.newContext(options);
  const page = await context.newPage();
  await openPage(page, server.url,
                 '#draws=0.1,0.2,0.3,0.4,0.5,0.6,0.7,0.8,0.9,0.15,0.35,0.55&directions=1,1,1');
  await page.screenshot({path: path.join(root, `docs/web-${name}.png`)});
  await context.close();
}
await browser.close();
await server.close();
