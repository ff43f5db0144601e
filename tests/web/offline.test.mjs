// The page as an installed web app: its weight, the core preloaded once, and the service worker
// that reloads it offline and takes a new version when one is deployed.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import {after, describe, test} from 'node:test';

import {canvasPixels, compareRasters, launchBrowser, openPage, renderPng, serveSite,
        site} from './support.mjs';

const kDraws = '0.1,0.2,0.3,0.4,0.5,0.6,0.7,0.8,0.9,0.15,0.35,0.55';

describe('the page offline', () => {
  // A copy of the site, to deploy a new version into.
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'stringart-site-'));
  fs.cpSync(site, folder, {recursive: true});
  after(() => fs.rmSync(folder, {recursive: true, force: true}));

  test('weighs at most 100 KB', () => {
    const bytes = fs.readdirSync(site).reduce((sum, f) => sum + fs.statSync(path.join(site, f)).size, 0);
    assert.ok(bytes <= 100000, `${bytes} bytes`);
  });

  test('reloads offline, then takes a new version', async () => {
    const [server, browser] = [await serveSite(folder), await launchBrowser()];
    after(async () => { await browser.close(); await server.close(); });
    const page = await browser.context.newPage();
    await openPage(page, server.url, `#draws=${kDraws}&directions=1,1,1`);
    assert.deepEqual(await page.evaluate(() => performance.getEntriesByName(new URL('stringart.wasm', location).href)
                                                    .map((e) => e.initiatorType)), ['link'],
                     'the core not preloaded, or fetched again');
    await page.waitForFunction(() => navigator.serviceWorker.controller);

    await browser.context.setOffline(true);
    await page.reload();
    await openPage(page, server.url, `#draws=${kDraws}&directions=1,1,1`);
    assert.equal(compareRasters(await canvasPixels(page), renderPng(kDraws, '1,1,1').rgba).differing, 0);
    await browser.context.setOffline(false);

    const worker = path.join(folder, 'sw.js');
    fs.writeFileSync(worker, fs.readFileSync(worker, 'utf8').replace(/stringart-\w+/, 'stringart-next'));
    fs.appendFileSync(path.join(folder, 'page.css'), '/* next */');
    await page.reload();
    const kept = () => page.evaluate(async () => (await caches.keys()).join());
    for (let tries = 0; tries < 50 && await kept() !== 'stringart-next'; ++tries) await page.waitForTimeout(100);
    assert.equal(await kept(), 'stringart-next');
    assert.ok((await page.evaluate(() => fetch('page.css').then((r) => r.text()))).endsWith('/* next */'));
  });
});
