// Times the page from navigation to a lit canvas (the page's 'stringart-lit' mark): on a first
// visit with nothing cached, and on a reload offline from the service worker's cache; over the
// loopback and over an emulated slow 4G link (150 ms round trip, 1.6 Mbit/s down); not a test.
//   tools/web.sh build && node tests/web/first-visit.mjs [ROUNDS]
// Prints the minimum and the median over the rounds, each round on a fresh profile.
import path from 'node:path';
import {fileURLToPath} from 'node:url';

import {launchBrowser, serveSite} from './support.mjs';

const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
const rounds = Number(process.argv[2] ?? 7);
const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const ms = (values) => `${Math.min(...values).toFixed(0)} / ${median(values).toFixed(0)} ms`;

const lit = (page) => page.waitForFunction(() => performance.getEntriesByName('stringart-lit')[0]?.startTime);
const server = await serveSite(path.join(root, 'build-web/site'));
const browser = await launchBrowser();
for (const slow of [false, true]) {
  const first = [], offline = [];
  for (let r = 0; r < rounds; ++r) {
    const context = await browser.newContext();
    const page = await context.newPage();
    if (slow) {
      const cdp = await context.newCDPSession(page);
      await cdp.send('Network.emulateNetworkConditions', {offline: false, latency: 150,
        downloadThroughput: 1.6e6 / 8, uploadThroughput: 750e3 / 8});
    }
    await page.goto(server.url);
    first.push(await (await lit(page)).jsonValue());
    await page.waitForFunction(() => navigator.serviceWorker.controller);
    await context.setOffline(true);
    await page.reload();
    offline.push(await (await lit(page)).jsonValue());
    await context.close();
  }
  console.log(`${slow ? 'slow 4G' : 'loopback'}: first visit ${ms(first)}; offline reload ${ms(offline)}`);
}
await browser.close();
await server.close();
