// Takes docs/web.png: the page in headless chromium showing the README's figure; not a test.
//   tools/web.sh build && node tests/web/screenshot.mjs
import path from 'node:path';
import {fileURLToPath} from 'node:url';

import {launchBrowser, openPage, serveSite} from './support.mjs';

const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
const server = await serveSite(path.join(root, 'build-web/site'));
const browser = await launchBrowser();
const page = await browser.context.newPage();
await openPage(page, server.url,
               '#draws=0.1,0.2,0.3,0.4,0.5,0.6,0.7,0.8,0.9,0.15,0.35,0.55&directions=1,1,1');
await page.screenshot({path: path.join(root, 'docs/web.png')});
await browser.close();
await server.close();
