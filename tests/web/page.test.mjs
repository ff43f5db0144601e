// The page as a person uses it: the window's places, "new", links, back and forward, bad and
// spoilt addresses, keys, names, the PNG and SVG downloads and the shared link, with no errors
// on the console; what it says when it cannot start or its core aborts; offline and a new
// version; its weight and the pictures a shared link shows.
import assert from 'node:assert/strict';
import {execFileSync} from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import {describe, test} from 'node:test';
import zlib from 'node:zlib';

import {assertExact, canvasPixels, compareRasters, litPixels, openPage, readPng, render, renderPng, serveSite,
        site, useSiteInBrowser, waitForFigure, watchErrors} from './support.mjs';

const kDraws = '0.1,0.2,0.3,0.4,0.5,0.6,0.7,0.8,0.9,0.15,0.35,0.55';
const kLink = /^#draws=([^&]+)&directions=(-?1,-?1,-?1)$/;

describe('the page in chromium', () => {
  const env = useSiteInBrowser();

  // A fresh page on a fresh profile with its errors watched; `use(page)` runs the test's steps.
  async function withPage(use, options = {}) {
    const context = await env.browser.newContext(options);
    const page = await context.newPage();
    const errors = watchErrors(page);
    try {
      await use(page);
      assert.deepEqual(errors, [], 'errors on the console');
    } finally {
      await context.close();
    }
  }

  // The address as the page sees it (playwright's page.url() can lag behind history.replaceState).
  const hash = (page) => page.evaluate(() => location.hash);
  const address = (page) => page.evaluate(() => location.href);

  async function clickNew(page, button = '#Command1') {
    const before = await hash(page);
    await page.click(button);
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

  test('"new" traces another figure with the directions carried over, the address replaced', () => withPage(async (page) => {
    await openPage(page, env.server.url, `#draws=${kDraws}&directions=1,1,1`);
    const first = await canvasPixels(page);
    const historyBefore = await page.evaluate(() => history.length);
    await clickNew(page);
    const [, , directions] = (await hash(page)).match(kLink) ?? assert.fail(`address ${await address(page)}`);
    assert.equal(directions, endDirections(kDraws, '1,1,1'));
    const second = await canvasPixels(page);
    assert.ok(compareRasters(second, first).differing > 10000, 'the canvas hardly changed');
    assert.equal(await page.evaluate(() => history.length), historyBefore);
  }));

  test('back and forward move through the figures of the visit', () => withPage(async (page) => {
    await openPage(page, env.server.url);
    const seen = [[await hash(page), await canvasPixels(page)]];
    for (let i = 0; i < 2; ++i) {
      await clickNew(page);
      seen.push([await hash(page), await canvasPixels(page)]);
    }
    for (const [move, expected] of [['#Back', 1], ['#Back', 0], ['#Forward', 1], ['#Forward', 2]]) {
      await page.click(move);
      await page.waitForFunction((h) => location.hash === h, seen[expected][0]);
      const {differing, first} = compareRasters(await canvasPixels(page), seen[expected][1]);
      assert.equal(differing, 0, `after ${move} to figure ${expected}: ${first}`);
    }
  }));

  test('a malformed address stays, with a short message and a fresh figure', () => withPage(async (page) => {
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
        ['#' + 'x'.repeat(4000), `'${'x'.repeat(40)}…${'x'.repeat(39)}' is not draws=U1,...,U12 or directions=R,G,B`],
      [`#draws=${twelve('0.' + '5'.repeat(3000) + 'x')}`, `draw 1 '0.${'5'.repeat(38)}…${'5'.repeat(38)}x' is not a number`],
      // Once aborted the core for want of memory.
      ['#' + 'x'.repeat(1500000), 'it is 1,500,000 characters long'],
    ];
    for (const [fragment, why] of cases) {
      await openPage(page, env.server.url, fragment);
      const message = await page.locator('#message').textContent();
      assert.ok(message.includes(why) && message.length < 300, `${fragment.slice(0, 80)}: "${message.slice(0, 400)}"`);
      assert.equal(await page.locator('#message').getAttribute('class'), 'error');
      assert.equal(await hash(page), fragment, `${fragment.slice(0, 80)}: the address was replaced`);
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
    // The name the window proposes for this figure (FigureName).
    assert.equal(download.suggestedFilename(), 'figure-ed1fa8719fa7.png');
    assert.deepEqual([png.width, png.height], [500, 500]);
    assert.equal(compareRasters(png.rgba, rendered.rgba).differing, 0);
    assert.equal(png.text.Comment, rendered.text.Comment);
    assert.equal(png.text.Comment, `stringart-render --draws ${kDraws} --directions 1,-1,1`);
    assert.equal(png.text.Software, 'stringart');
  }));

  test('"Download SVG" gives the bytes stringart-render writes', () => withPage(async (page) => {
    await openPage(page, env.server.url, `#draws=${kDraws}&directions=-1,1,1`);
    const [download] = await Promise.all([page.waitForEvent('download'), page.click('#DownloadSvg')]);
    const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'stringart-svg-'));
    execFileSync(render, ['--draws', kDraws, '--directions', '-1,1,1', '-o', path.join(folder, 'f.svg')]);
    const want = fs.readFileSync(path.join(folder, 'f.svg'));
    fs.rmSync(folder, {recursive: true});
    assert.match(download.suggestedFilename(), /^figure-[0-9a-f]{12}\.svg$/);
    assert.ok(fs.readFileSync(await download.path()).equals(want),
              `the SVG differs from: stringart-render --draws ${kDraws} --directions -1,1,1 -o f.svg`);
  }));

  test('"Share" hands the PNG, title and link to the system where it takes files; else downloads the PNG and ' +
       'shares or copies the link', async () => {
    // The system's sharing as a browser offers it: taking files, taking only links, or none.
    for (const [what, takesFiles, shares] of [['files', true, true], ['links', false, true], ['none', false, false]]) {
      await withPage(async (page) => {
        await page.addInitScript(([takesFiles, shares]) => {
          delete Navigator.prototype.share;
          delete Navigator.prototype.canShare;
          if (shares) navigator.share = async (data) => { window.shared = data; };
          if (takesFiles) navigator.canShare = ({files}) => files.every((f) => f instanceof File);
        }, [takesFiles, shares]);
        await page.context().grantPermissions(['clipboard-read', 'clipboard-write'], {origin: env.server.url});
        await openPage(page, env.server.url, `#draws=${kDraws}&directions=1,-1,1`);
        const downloaded = takesFiles ? null : page.waitForEvent('download');
        await page.click('#Share');
        const url = await address(page);
        let png;
        if (takesFiles) {
          await page.waitForFunction(() => window.shared);
          const shared = await page.evaluate(async () => ({...window.shared, files: await Promise.all(window.shared.files.map(
            async (f) => ({name: f.name, type: f.type, bytes: [...new Uint8Array(await f.arrayBuffer())]})))}));
          assert.deepEqual([shared.title, shared.url, shared.files.length], [await page.title(), url, 1], what);
          png = {name: shared.files[0].name, bytes: Buffer.from(shared.files[0].bytes)};
        } else {
          const download = await downloaded;
          png = {name: download.suggestedFilename(), bytes: fs.readFileSync(await download.path())};
          if (shares) {
            await page.waitForFunction(() => window.shared);
            assert.deepEqual(await page.evaluate(() => window.shared), {title: await page.title(), url}, what);
          } else {
            await page.waitForFunction(() => document.getElementById('message').textContent !== '');
            assert.equal(await page.evaluate(() => navigator.clipboard.readText()), url);
            assert.equal(await page.locator('#message').textContent(), `Link copied: ${url}`);
          }
        }
        assert.match(png.name, /^figure-[0-9a-f]{12}\.png$/, what);
        const {rgba, text} = readPng(png.bytes);
        assert.equal(compareRasters(rgba, renderPng(kDraws, '1,-1,1').rgba).differing, 0, what);
        assert.equal(text.Comment, `stringart-render --draws ${kDraws} --directions 1,-1,1`, what);
      });
    }
  });

  test('a link spoilt by a sentence or a chat still opens its figure', () => withPage(async (page) => {
    for (const spoilt of ['.', '),', '%22.', '%E2%80%9D', '%20%20']) {
      await openPage(page, env.server.url, `#draws=${kDraws}&amp;directions=1,-1,1${spoilt}`);
      assert.equal(await hash(page), `#draws=${kDraws}&directions=1,-1,1`, spoilt);
      assert.equal(compareRasters(await canvasPixels(page), renderPng(kDraws, '1,-1,1').rgba).differing, 0, spoilt);
    }
  }));

  test('N makes a figure and the arrows move through them, each named', () => withPage(async (page) => {
    await openPage(page, env.server.url, `#draws=${kDraws}&directions=1,1,1`);
    const named = () => page.evaluate(() => [document.title, Picture1.getAttribute('aria-label'), drawn.textContent]);
    assert.deepEqual(await named(), ['stringart: figure 52ea51929bb7', 'String-art figure 52ea51929bb7', 'Figure 52ea51929bb7 drawn.']);
    assert.ok(await page.getAttribute('#Picture1', 'role') === 'img' && /N.*←.*→/.test(await page.getAttribute('#Command1', 'title')));
    const first = await hash(page);
    await page.keyboard.press('n');
    await page.waitForFunction((h) => location.hash !== h, first);
    const [title, label, drawn] = await named();
    assert.ok(!title.includes('52ea51929bb7') && label.endsWith(title.slice(-12)) && drawn.includes(title.slice(-12)), title);
    await page.keyboard.press('ArrowLeft');
    await page.waitForFunction((h) => location.hash === h, first);
    await page.keyboard.press('ArrowLeft');  // stays on the page at its first figure
    await page.keyboard.press('ArrowRight');
    await page.waitForFunction((h) => location.hash !== h, first);
    assert.equal((await named())[0], title);
  }));

  test('"Watch it drawn" draws the figure again stroke by stroke and ends on it; W again, or "new", ends it at once',
       () => withPage(async (page) => {
    await openPage(page, env.server.url, `#draws=${kDraws}&directions=1,1,1`);
    const whole = litPixels(renderPng(kDraws, '1,1,1').rgba);
    // Part of the figure on the canvas, seen by the page itself between two frames.
    const partWay = () => page.waitForFunction((whole) => {
      const rgba = Picture1.getContext('2d').getImageData(0, 0, 500, 500).data;
      let lit = 0;
      for (let i = 0; i < rgba.length; i += 4) lit += rgba[i] | rgba[i + 1] | rgba[i + 2] ? 1 : 0;
      return lit > 0 && lit < whole / 2;
    }, whole, {polling: 20});
    const ended = () => page.waitForFunction(() => Watch.getAttribute('aria-pressed') === 'false');
    for (const [start, end] of [['#Watch', null], ['w', 'w'], ['w', '#Command1']]) {
      await (start === 'w' ? page.keyboard.press('w') : page.click(start));
      await partWay();
      if (end) await (end === 'w' ? page.keyboard.press('w') : page.click(end));
      await ended();
      await waitForFigure(page);
      await assertExact(page, `watching, ended by ${end ?? 'the last stroke'}`);
    }
    assert.notEqual(await hash(page), `#draws=${kDraws}&directions=1,1,1`);
  }));

  test('an abort of the core is survived with a fresh figure and working buttons', () => withPage(async (page) => {
    await openPage(page, env.server.url);
    await page.workers()[0].evaluate(() => { core._TraceFresh = () => core._malloc(1 << 30); });
    await clickNew(page);
    await waitForFigure(page);
    assert.equal(await page.locator('#message').textContent(),
                 'The drawing engine failed (Aborted(OOM)) and was started again; here is a fresh figure.');
    await clickNew(page);
    assert.equal(await page.locator('#message').textContent(), '');
    const [, draws, directions] = (await hash(page)).match(kLink);
    assert.equal(compareRasters(await canvasPixels(page), renderPng(draws, directions).rgba).differing, 0);
  }));

  test('says in plain words why it cannot start', async () => {
    const missing = (file) => (context) => context.route(`**/${file}`, (route) => route.fulfill({status: 404}));
    for (const [options, prepare, words, url = env.server.url] of [
      [{javaScriptEnabled: false}, null, 'JavaScript, which is turned off'],
      [{}, (context) => context.addInitScript(() => delete window.WebAssembly), 'cannot run WebAssembly'],
      [{}, missing('stringart.wasm'), 'could not download its drawing engine'],
      [{}, missing('stringart.js'), 'could not download its drawing engine'],
      [{}, null, 'opened as a file', `file://${site}/index.html`]]) {
      const context = await env.browser.newContext(options);
      await prepare?.(context);
      const page = await context.newPage();
      await page.goto(url);
      await page.waitForFunction((w) => document.body.innerText.includes(w), words)
          .catch(async () => assert.fail(`${words}: "${await page.innerText('body')}"`));
      assert.ok(await page.locator('#Command1').isDisabled(), words);
      await context.close();
    }
  });

  test('a shared link shows a picture and a card; the home screen and the app get PNG icons', async () => {
    const html = fs.readFileSync(path.join(site, 'index.html'), 'utf8');
    const meta = (key) => html.match(new RegExp(`<meta (?:name|property)="${key}" content="([^"]*)"`))?.[1];
    const size = (file) => { const png = fs.readFileSync(path.join(site, file)); return [png.readUInt32BE(16), png.readUInt32BE(20)]; };
    assert.equal(meta('twitter:card'), 'summary_large_image');
    assert.deepEqual(size(meta('og:image')), [1200, 630]);
    assert.deepEqual(size(html.match(/<link rel="apple-touch-icon" href="([^"]+)"/)[1]), [180, 180]);
    const icons = JSON.parse(fs.readFileSync(path.join(site, 'manifest.webmanifest'))).icons.filter((i) => i.type === 'image/png');
    assert.deepEqual(icons.map((i) => [i.sizes, size(i.src).join('x')]), [['192x192', '192x192'], ['512x512', '512x512']]);
  });

  // The pictures a shared link, a home screen or an installed app show are fetched by those, not
  // by a visit: they are not part of the page's weight.
  test('weighs at most 160 KB (65 KB compressed), reloads offline and takes a new version', async () => {
    const shared = ['og-image.png', 'icon-180.png', 'icon-192.png', 'icon-512.png'];
    const files = fs.readdirSync(site).filter((f) => !shared.includes(f)).map((f) => fs.readFileSync(path.join(site, f)));
    const bytes = files.reduce((sum, data) => sum + data.length, 0);
    const compressed = files.reduce((sum, data) => sum + zlib.gzipSync(data, {level: 9}).length, 0);
    assert.ok(bytes <= 160000 && compressed <= 65000, `the site weighs ${bytes} bytes, ${compressed} compressed`);
    const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'stringart-site-'));  // to deploy into
    fs.cpSync(site, folder, {recursive: true});
    const [server, context] = [await serveSite(folder), await env.browser.newContext()];
    const page = await context.newPage();
    try {
      await openPage(page, server.url, `#draws=${kDraws}&directions=1,1,1`);
      const wasm = () => performance.getEntriesByName(new URL('stringart.wasm', location).href).map((e) => e.initiatorType);
      assert.deepEqual(await page.evaluate(wasm), ['link'], 'the core not preloaded, or fetched again');
      await page.waitForFunction(() => navigator.serviceWorker.controller);
      await context.setOffline(true);
      await page.reload();
      await waitForFigure(page);
      assert.equal(compareRasters(await canvasPixels(page), renderPng(kDraws, '1,1,1').rgba).differing, 0);
      await context.setOffline(false);

      const worker = path.join(folder, 'sw.js');
      fs.writeFileSync(worker, fs.readFileSync(worker, 'utf8').replace(/stringart-\w+/, 'stringart-next'));
      fs.appendFileSync(path.join(folder, 'page.css'), '/* next */');
      await page.reload();
      await page.waitForFunction(async () => (await caches.keys()).join() === 'stringart-next');
      await page.waitForFunction(() => message.textContent.startsWith('A new version of this page is ready'));
      assert.match(await page.evaluate(() => fetch('page.css').then((r) => r.text())), /next \*\/$/);
    } finally {
      await context.close();
      await server.close();
      fs.rmSync(folder, {recursive: true, force: true});
    }
  });
});
