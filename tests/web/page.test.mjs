// The page as a person uses it: the window's places, "new", links, back and forward, bad
// addresses, the PNG download and the copied link, with no errors on the console.
import assert from 'node:assert/strict';
import {execFileSync} from 'node:child_process';
import fs from 'node:fs';
import {describe, test} from 'node:test';

import {canvasPixels, compareRasters, litPixels, openPage, readPng, render,
        renderPng, useSiteInBrowser, watchErrors} from './support.mjs';

const kDraws = '0.1,0.2,0.3,0.4,0.5,0.6,0.7,0.8,0.9,0.15,0.35,0.55';
const kLink = /^#draws=([^&]+)&directions=(-?1,-?1,-?1)$/;

describe('the page in chromium', () => {
  const env = useSiteInBrowser();

  // A fresh page with its errors watched; `use(page)` runs the test's steps.
  async function withPage(use) {
    const page = await env.browser.context.newPage();
    const errors = watchErrors(page);
    try {
      await use(page);
      assert.deepEqual(errors, [], 'errors on the console');
    } finally {
      await page.close();
    }
  }

  // The address as the page sees it (playwright's page.url() can lag behind history.replaceState).
  const hash = (page) => page.evaluate(() => location.hash);
  const address = (page) => page.evaluate(() => location.href);

  async function clickNew(page) {
    const before = await hash(page);
    await page.click('#Command1');
    await page.waitForFunction((h) => location.hash !== h, before);
  }

  // The directions stringart-render reports a figure leaves behind.
  function endDirections(draws, directions) {
    const out = execFileSync(render, ['--draws', draws, '--directions', directions, '-o', '/dev/null.png'],
                             {stdio: ['ignore', 'pipe', 'ignore']}).toString();
    return out.match(/-> (\S+)/)?.[1];
  }

  test('loads with a lit canvas at the window\'s places, named by its address', () => withPage(async (page) => {
    await openPage(page, env.server.url);
    const [, draws, directions] = (await hash(page)).match(kLink) ?? assert.fail(`address ${await address(page)}`);
    assert.equal(directions, '1,1,1');
    const pixels = await canvasPixels(page);
    assert.ok(litPixels(pixels) > 10000, `only ${litPixels(pixels)} pixels lit`);
    assert.deepEqual(compareRasters(pixels, renderPng(draws, directions).rgba).differing, 0);

    const box = async (selector) => (await page.locator(selector).boundingBox());
    assert.deepEqual(await box('#Picture1'), {x: 56, y: 64, width: 500, height: 500});
    assert.deepEqual(await box('#Command1'), {x: 576, y: 544, width: 57, height: 17});
    assert.equal(await page.locator('#Command1').textContent(), 'new');
    assert.equal(await page.evaluate(() => getComputedStyle(document.body).margin), '0px');
  }));

  test('"new" traces another figure with the directions carried over', () => withPage(async (page) => {
    await openPage(page, env.server.url, `#draws=${kDraws}&directions=1,1,1`);
    const first = await canvasPixels(page);
    const historyBefore = await page.evaluate(() => history.length);
    await clickNew(page);
    const [, , directions] = (await hash(page)).match(kLink) ?? assert.fail(`address ${await address(page)}`);
    assert.equal(directions, endDirections(kDraws, '1,1,1'));
    const second = await canvasPixels(page);
    assert.ok(compareRasters(second, first).differing > 10000, 'the canvas hardly changed');
    assert.equal(await page.evaluate(() => history.length), historyBefore + 1);
  }));

  test('back and forward move through the figures of the visit', () => withPage(async (page) => {
    await openPage(page, env.server.url);
    const seen = [[await hash(page), await canvasPixels(page)]];
    for (let i = 0; i < 2; ++i) {
      await clickNew(page);
      seen.push([await hash(page), await canvasPixels(page)]);
    }
    for (const [move, expected] of [['goBack', 1], ['goBack', 0], ['goForward', 1], ['goForward', 2]]) {
      await page[move]();
      await page.waitForFunction((h) => location.hash === h, seen[expected][0]);
      const {differing, first} = compareRasters(await canvasPixels(page), seen[expected][1]);
      assert.equal(differing, 0, `after ${move} to figure ${expected}: ${first}`);
    }
  }));

  test('a malformed address gets a message and a fresh figure', () => withPage(async (page) => {
    const twelve = (first) => [first, ...kDraws.split(',').slice(1)].join(',');
    const cases = [
      ['#draws=0.1,0.2', 'expected 12 draws separated by commas, got 2'],
      [`#draws=${twelve('1')}`, "draw 1 '1' is not in [0, 1) as a float"],
      [`#draws=${twelve('nan')}`, "draw 1 'nan' is not a number"],
      [`#draws=${twelve('0x1p-3')}`, "draw 1 '0x1p-3' is not a number"],
      [`#draws=${twelve('-0.5')}`, "draw 1 '-0.5' is not in [0, 1) as a float"],
      [`#draws=${kDraws}&directions=1,0,1`, "direction '0' is neither 1 nor -1"],
      [`#draws=${kDraws}&colour=red`, "'colour=red' is not draws=U1,...,U12 or directions=R,G,B"],
      [`#draws=${kDraws}&draws=${kDraws}`, 'draws given more than once'],
      ['#directions=1,1,1', 'no draws=U1,...,U12'],
      ['#draws=0.1%E0%A4%A', 'its percent-escapes are broken'],
    [`#draws=${kDraws}%00&directions=1,1,1`, "draw 12 '0.55\\x00' is not a number"],
      ['#' + 'x'.repeat(100000), "is not draws=U1,...,U12 or directions=R,G,B"],
    ];
    for (const [fragment, why] of cases) {
      await openPage(page, env.server.url, fragment);
      const message = page.locator('#message');
      assert.ok((await message.textContent()).includes(why), `${fragment.slice(0, 80)}: "${await message.textContent()}"`);
      assert.equal(await message.getAttribute('class'), 'error');
      assert.match(await hash(page), kLink, `${fragment.slice(0, 80)}: the address was not replaced`);
      assert.ok(litPixels(await canvasPixels(page)) > 10000, `${fragment.slice(0, 80)}: no fresh figure`);
    }
    // Typed into the open page; then a good address clears the message.
    await page.evaluate(() => { location.hash = '#draws=2'; });
    await page.waitForFunction(() => document.getElementById('message').textContent.includes("expected 12 draws"));
    await page.evaluate((d) => { location.hash = `#draws=${d}&directions=-1,+1,-1`; }, kDraws);
    await page.waitForFunction((d) => location.hash === `#draws=${d}&directions=-1,1,-1`, kDraws);
    assert.equal(await page.locator('#message').textContent(), '');
    assert.equal(compareRasters(await canvasPixels(page), renderPng(kDraws, '-1,1,-1').rgba).differing, 0);
  }));

  test('"Download PNG" gives the exact raster and the command that makes it again', () => withPage(async (page) => {
    await openPage(page, env.server.url, `#draws=${kDraws}&directions=1,-1,1`);
    const [download] = await Promise.all([page.waitForEvent('download'), page.click('#DownloadPng')]);
    const png = readPng(fs.readFileSync(await download.path()));
    const rendered = renderPng(kDraws, '1,-1,1');
    assert.equal(download.suggestedFilename(), 'stringart.png');
    assert.deepEqual([png.width, png.height], [500, 500]);
    assert.equal(compareRasters(png.rgba, rendered.rgba).differing, 0);
    assert.equal(png.text.Comment, rendered.text.Comment);
    assert.equal(png.text.Comment, `stringart-render --draws ${kDraws} --directions 1,-1,1`);
    assert.equal(png.text.Software, 'stringart');
  }));

  test('"Copy link" puts the address on the clipboard', () => withPage(async (page) => {
    await env.browser.context.grantPermissions(['clipboard-read', 'clipboard-write'], {origin: env.server.url});
    await openPage(page, env.server.url);
    await page.click('#CopyLink');
    await page.waitForFunction(() => document.getElementById('message').textContent !== '');
    const url = await address(page);
    assert.equal(await page.evaluate(() => navigator.clipboard.readText()), url);
    assert.equal(await page.locator('#message').textContent(), `Link copied: ${url}`);
  }));
});
