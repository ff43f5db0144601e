// The page's own history and the browser's store of figures: sixty figures there and back, "new"
// after going back, visits that outlast the browser, favourites, the gallery, Variations and
// Adjust, the figures file in the window's format, travelling both ways, and hostile ones, and
// storage refused; every figure shown exactly as stringart-render draws it.
import assert from 'node:assert/strict';
import {execFileSync} from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import {describe, test} from 'node:test';
import {fileURLToPath} from 'node:url';

import {assertExact, closeDialog, figuresFile, kSize, launchProfile, openPage, renderPng, shownFigure,
        useSiteInBrowser, waitForFigure, watchErrors} from './support.mjs';

const kDraws = '0.1,0.2,0.3,0.4,0.5,0.6,0.7,0.8,0.9,0.15,0.35,0.55';
const kOther = '0.93930596,0.26992273,0.9504212,0.55078614,0.034173667,0.15119624,0.87111396,0.40697807,' +
               '0.54395765,0.47119933,0.32476306,0.17696303';
const hash = (page) => page.evaluate(() => location.hash);

// Presses `key` (or clicks the selector) and waits until the page has shown what it led to.
async function press(page, key, {moves = true} = {}) {
  const before = await hash(page);
  await (/^[#.]./.test(key) ? page.click(key) : page.keyboard.press(key));
  if (moves) await page.waitForFunction((h) => location.hash !== h, before);
  await waitForFigure(page);
}

// The rows the browser keeps for the page.
const keptRows = (page) => page.evaluate(() => new Promise((resolve) => {
  indexedDB.open('stringart').onsuccess = ({target: {result: db}}) => {
    db.transaction('figures').objectStore('figures').getAll().onsuccess = ({target}) => resolve(target.result);
  };
}));

// How many rows the browser keeps for the page.
const keptCount = (page) => page.evaluate(() => new Promise((resolve) => {
  indexedDB.open('stringart').onsuccess = ({target: {result: db}}) => {
    db.transaction('figures').objectStore('figures').count().onsuccess = ({target}) => resolve(target.result);
  };
}));

// The open dialog's name, and the names of its listbox's options with the selected one's index.
const openDialog = (page) => page.evaluate(() => {
  const dialog = document.querySelector('dialog[open]');
  const options = [...(dialog?.querySelectorAll('[role="option"]') ?? [])];
  return dialog && {name: document.getElementById(dialog.getAttribute('aria-labelledby')).textContent,
                    options: options.length, selected: options.findIndex((o) => o.ariaSelected === 'true')};
});

// stringart-render's figure area-averaged to side x side, each side dividing 500.
function averaged(draws, directions, side) {
  const {rgba} = renderPng(draws, directions), k = kSize / side, out = Buffer.alloc(side * side * 4);
  for (let i = 0; i < out.length; ++i) {
    const [x, y, c] = [(i >> 2) % side, Math.floor((i >> 2) / side), i & 3];
    let sum = 0;
    for (let dy = 0; dy < k; ++dy) for (let dx = 0; dx < k; ++dx) sum += rgba[((y * k + dy) * kSize + x * k + dx) * 4 + c];
    out[i] = Math.round(sum / (k * k));
  }
  return out;
}

describe('the page keeps and steers its figures', () => {
  const env = useSiteInBrowser();

  async function withPage(use, options) {
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

  test('sixty figures and back to the first; "new" after going back goes at the end', () => withPage(async (page) => {
    await openPage(page, env.server.url, `#draws=${kDraws}&directions=1,1,1`);
    const seen = [await hash(page)];
    for (let i = 1; i < 60; ++i) {
      await press(page, 'n');
      seen.push(await hash(page));
    }
    for (let i = 58; i >= 0; --i) {
      await press(page, i % 2 ? 'ArrowLeft' : '#Back');
      assert.equal(await hash(page), seen[i], `back to figure ${i + 1} of 60`);
    }
    await assertExact(page, 'going back 59 times');
    await press(page, 'ArrowLeft', {moves: false});  // the first of the first visit: stays
    assert.equal(await hash(page), seen[0]);
    await press(page, '#Command1');
    const fresh = await hash(page);
    assert.ok(!seen.includes(fresh));
    await press(page, 'ArrowLeft');
    assert.equal(await hash(page), seen[59], '"new" after back did not go at the end');
    await press(page, 'ArrowRight');
    assert.equal(await hash(page), fresh);
    assert.equal((await keptRows(page)).length, 61);
    // A reload goes on from the figure kept last, rather than keeping it again.
    await page.reload();
    await waitForFigure(page);
    assert.equal(await hash(page), fresh);
    await press(page, 'ArrowLeft', {moves: false});
    assert.equal(await hash(page), seen[59], 'back after a reload');
    assert.equal((await keptRows(page)).length, 61, 'a reload kept its figure again');
  }));

  test('a favourite outlasts the browser, and the gallery shows it exactly', async () => {
    const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'stringart-profile-'));
    let context;
    try {
      context = await launchProfile(profile);
      let page = await context.newPage();
      await openPage(page, env.server.url, `#draws=${kDraws}&directions=1,1,-1`);
      await page.keyboard.press('f');
      await page.waitForFunction(() => Favourite.ariaPressed === 'true');
      await press(page, '#Command1');
      const second = await hash(page);
      await context.close();

      context = await launchProfile(profile);
      page = await context.newPage();
      const errors = watchErrors(page);
      await openPage(page, env.server.url);
      // Back from this visit's first figure: the earlier visit's, newest first.
      await press(page, 'ArrowLeft');
      assert.equal(await hash(page), second);
      await press(page, 'ArrowLeft');
      assert.deepEqual(await shownFigure(page), [kDraws, '1,1,-1']);
      assert.equal(await page.getAttribute('#Favourite', 'aria-pressed'), 'true');
      await press(page, 'n');

      await page.keyboard.press('g');
      await page.getByRole('dialog', {name: 'Figures'}).getByRole('heading', {name: 'Figures'}).waitFor();
      assert.equal(await page.getAttribute('#FavouritesTab', 'aria-selected'), 'true');
      await page.waitForFunction(() => GalleryList.children.length === 1);  // read from the store
      assert.deepEqual(await openDialog(page), {name: 'Figures', options: 1, selected: 0});
      const thumbnail = page.locator('#GalleryList [role="option"] canvas');
      await page.waitForFunction(() => document.querySelector('#GalleryList canvas').width === 100);
      const pixels = Buffer.from(await thumbnail.evaluate((c) => [...c.getContext('2d').getImageData(0, 0, 100, 100).data]));
      assert.ok(pixels.equals(averaged(kDraws, '1,1,-1', 100)), 'the thumbnail is not the figure area-averaged to 100 x 100');
      await page.keyboard.press('ArrowRight');  // the only one: stays
      await press(page, 'Enter');
      assert.equal(await openDialog(page), null);
      assert.deepEqual(await shownFigure(page), [kDraws, '1,1,-1']);
      await assertExact(page, 'a favourite from the gallery');
      assert.equal(await page.getAttribute('#Favourite', 'aria-pressed'), 'true');

      await page.click('#GalleryButton');
      await page.click('#AllTab');
      await page.waitForFunction(() => GalleryList.children.length === 5);
      await closeDialog(page);
      assert.deepEqual(errors, []);
    } finally {
      await context?.close();  // a browser left open would keep the suite from ending
      fs.rmSync(profile, {recursive: true, force: true});
    }
  });

  test('a chosen variation and an adjusted figure join the history, exact', () => withPage(async (page) => {
    await openPage(page, env.server.url, `#draws=${kDraws}&directions=1,-1,1`);
    const original = await hash(page);
    await page.keyboard.press('v');
    await page.getByRole('slider', {name: 'Strength'}).waitFor();
    assert.deepEqual(await openDialog(page), {name: 'Variations', options: 9, selected: 4});
    await page.keyboard.press('ArrowUp');
    await page.keyboard.press('ArrowRight');
    assert.equal((await openDialog(page)).selected, 2);
    await press(page, 'Enter');
    const [varied, directions] = await shownFigure(page);
    assert.equal(directions, '1,-1,1');
    varied.split(',').forEach((u, i) => {
      assert.ok(Math.abs(u - kDraws.split(',')[i]) <= 0.05 + 1e-7, `draw ${i + 1} moved from ${kDraws} to ${varied}`);
    });
    await assertExact(page, 'a variation');
    await closeDialog(page);
    await press(page, 'ArrowLeft');
    assert.equal(await hash(page), original);

    await page.keyboard.press('a');
    const names = ['pivot phase', 'arm phase', 'red start', 'green start', 'blue start', 'red step',
                   'green step', 'blue step', 'pivot x factor', 'pivot y factor', 'arm x factor', 'arm y factor'];
    for (const name of names) await page.getByRole('slider', {name, exact: true}).waitFor();
    assert.equal(await page.evaluate(() => document.activeElement.id), 'draw-0');
    // A screen reader hears each slider's draw, and nothing of the twelve speaks unasked.
    const told = await page.evaluate(() => [...document.querySelectorAll('#Sliders input')].map((s) => s.ariaValueText));
    assert.deepEqual(told, (await shownFigure(page))[0].split(','), 'aria-valuetext');
    assert.equal(await page.locator('#Adjust output, #Adjust [aria-live], #Adjust [role="status"]').count(), 0);
    // Three steps of about 0.001, then a rest: one figure joins the history, not four.
    for (let i = 0; i < 3; ++i) await page.keyboard.press('ArrowRight');
    await page.waitForFunction((h) => location.hash !== h, original);
    await page.waitForTimeout(700);
    await waitForFigure(page);
    const [adjusted] = await shownFigure(page);
    assert.equal(Math.fround(adjusted.split(',')[0]), (Math.floor(0.1 * 2 ** 24) + 3 * 16777) / 2 ** 24, adjusted);
    await assertExact(page, 'three steps of the pivot phase');
    await press(page, '.rising >> text=green');
    assert.deepEqual(await shownFigure(page), [adjusted, '1,1,1']);
    await assertExact(page, 'green toggled');
    await closeDialog(page);
    for (const expected of [adjusted, varied]) {
      await press(page, 'ArrowLeft');
      assert.equal((await shownFigure(page))[0], expected);
    }
    assert.equal((await keptRows(page)).length, 4);
  }));

  test('the figures file: opened in the window\'s format, saved the same, hostile ones refused', () => withPage(async (page) => {
    const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'stringart-figures-'));
    const write = (name, text) => { fs.writeFileSync(path.join(folder, name), text); return path.join(folder, name); };
    const figures = [
      {draws: kDraws, directions: '1,1,-1', favourite: true, shown_at: 1765000000, note: 'the README\'s'},
      {draws: kOther, directions: '-1,1,-1', favourite: false, shown_at: 1765000100, note: 'a tide pool'},
    ];
    try {
      await openPage(page, env.server.url, `#draws=${kOther}&directions=-1,1,-1`);
      await page.setInputFiles('#FiguresFile', write('figures-2025-12-06.json', JSON.stringify(figures)));
      await page.waitForFunction(() => message.textContent.startsWith('Opened'));
      assert.equal(await page.textContent('#message'), 'Opened "figures-2025-12-06.json": 1 new figure, 1 already kept.');
      const rows = await keptRows(page);
      assert.equal(rows.length, 2);
      assert.equal(rows.find((r) => r.draws === kOther).note, 'a tide pool', 'a kept figure takes the file\'s note');

      await page.keyboard.press('g');
      const [download] = await Promise.all([page.waitForEvent('download'), page.click('#SaveFigures')]);
      assert.match(download.suggestedFilename(), /^figures-\d{4}-\d\d-\d\d\.json$/);
      const saved = JSON.parse(fs.readFileSync(await download.path(), 'utf8'));
      assert.deepEqual(saved.map((f) => Object.keys(f)), [0, 1].map(() => ['draws', 'directions', 'favourite', 'shown_at', 'note']));
      assert.deepEqual(saved.find((f) => f.favourite), figures[0]);

      // Delete takes the selected figure out of the store, "Undo" puts it back as it was.
      await page.click('#AllTab');
      await page.focus('#GalleryList');
      await page.waitForFunction(() => GalleryList.children.length === 2);
      await page.keyboard.press('Delete');
      await page.waitForFunction(() => GalleryList.children.length === 1 && !Undo.hidden);
      assert.equal(await keptCount(page), 1);
      await page.click('#Undo');
      await page.waitForFunction(() => GalleryList.children.length === 2 && Undo.hidden);
      assert.deepEqual(await keptRows(page), rows);

      const hostile = [
        ['not JSON', write('a.json', '[{"draws": '), 'it is not JSON'],
        ['a bad line', write('i.json', `[\n${JSON.stringify(figures[0])},\n  ${JSON.stringify({draws: '0.5'})}\n]`),
         'figure 2, on line 3: expected 12 draws separated by commas, got 1'],
        ['no list', write('b.json', '{"draws": "0.1"}'), 'it is not a list of figures'],
        ['wrong type', write('c.json', JSON.stringify([figures[0], {draws: 5}])), 'figure 2, on line 1: "draws" is not text'],
        ['no draws', write('d.json', JSON.stringify([{directions: '1,1,1'}])), 'figure 1, on line 1: it has no "draws"'],
        ['out of range', write('e.json', JSON.stringify([{...figures[1], draws: `1,${kDraws.slice(4)}`}])),
         "figure 1, on line 1: draw 1 '1' is not in [0, 1) as a float"],
        ['a time in year 10000', write('f.json', JSON.stringify([{draws: kDraws, shown_at: 253402300800}])),
         'figure 1, on line 1: "shown_at" is not a time from 1970 to 9999'],
        ['a note over 4000 bytes', write('g.json', JSON.stringify([{draws: kDraws, note: 'é'.repeat(2001)}])),
         'figure 1, on line 1: the note is longer than 4000 bytes'],
        ['100 MB', write('h.json', ''), 'it is larger than 32 MiB'],
      ];
      fs.truncateSync(path.join(folder, 'h.json'), 100 << 20);
      for (const [what, file, why] of hostile) {
        await page.setInputFiles('#FiguresFile', file);
        await page.waitForFunction((name) => message.textContent.startsWith(`"${name}"`), path.basename(file));
        assert.equal(await page.textContent('#message'), `"${path.basename(file)}" was not opened, and nothing changed: ${why}.`, what);
        assert.deepEqual(await keptRows(page), rows, what);
      }
    } finally {
      fs.rmSync(folder, {recursive: true, force: true});
    }
  }));

  test('a journal\'s figures file of 145,637 figures: opened and saved beside the page with a progress bar; ' +
       'cancelled, or wrong on its last line, it keeps nothing', () => withPage(async (page) => {
    const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'stringart-large-'));
    const write = (name, text) => { fs.writeFileSync(path.join(folder, name), text); return path.join(folder, name); };
    const opened = (name) => page.waitForFunction((n) => message.textContent.startsWith(`Opened "${n}"`) ||
                                                         message.textContent.startsWith(`"${n}" was not`), name);
    try {
      await openPage(page, env.server.url, `#draws=${kDraws}&directions=1,1,1`);
      await page.keyboard.press('g');
      const large = write('journal.json', figuresFile(145637));
      await page.setInputFiles('#FiguresFile', large);
      await page.waitForFunction(() => !Transfer.hidden && TransferBar.value > 0);
      await page.click('#CancelTransfer');
      await opened('journal.json');
      assert.equal(await page.textContent('#message'), '"journal.json" was not opened, and nothing changed: cancelled.');
      assert.equal(await keptCount(page), 1);

      const wrongLast = figuresFile(10001).replace(/"draws":"0\.\d+,[^"]*"(?=[^\n]*\n\]\n$)/, '"draws":"1"');
      await page.setInputFiles('#FiguresFile', write('wrong-last.json', wrongLast));
      await opened('wrong-last.json');
      assert.equal(await page.textContent('#message'), '"wrong-last.json" was not opened, and nothing changed: ' +
                                                       'figure 10001, on line 10002: expected 12 draws separated by commas, got 1.');
      assert.equal(await keptCount(page), 1);

      await page.setInputFiles('#FiguresFile', large);
      await opened('journal.json');
      assert.equal(await page.textContent('#message'), 'Opened "journal.json": 145637 new figures, 0 already kept.');
      assert.equal(await keptCount(page), 145638);
      assert.ok(await page.isHidden('#Transfer'));
      const [download] = await Promise.all([page.waitForEvent('download'), page.click('#SaveFigures')]);
      const saved = JSON.parse(fs.readFileSync(await download.path(), 'utf8'));
      assert.equal(saved.length, 145638);
      // The draws in the renderer's spelling: the same floats.
      const floats = (figures) => figures.map(({draws, ...rest}) => [draws.split(',').map((u) => Math.fround(u)), rest]);
      assert.deepEqual(floats(saved.slice(1, 3)), floats(JSON.parse(figuresFile(2))), 'after the page\'s own, oldest first, as the file had them');
    } finally {
      fs.rmSync(folder, {recursive: true, force: true});
    }
  }));

  const noWindow = !process.env.STRINGART_WINDOW && 'the window program is not built';
  test('favourites travel: the window\'s file opens on the page, the page\'s imports into the window', {skip: noWindow}, () => withPage(async (page) => {
    const fromWindow = fileURLToPath(new URL('../data/figures-from-the-window.json', import.meta.url));
    const home = fs.mkdtempSync(path.join(os.tmpdir(), 'stringart-travel-'));
    try {
      await openPage(page, env.server.url, `#draws=${kOther}&directions=-1,1,-1`);
      await page.setInputFiles('#FiguresFile', fromWindow);
      await page.waitForFunction(() => message.textContent.startsWith('Opened'));
      await page.keyboard.press('g');
      const [download] = await Promise.all([page.waitForEvent('download'), page.click('#SaveFigures')]);
      const saved = JSON.parse(fs.readFileSync(await download.path(), 'utf8'));
      for (const figure of JSON.parse(fs.readFileSync(fromWindow, 'utf8'))) {
        assert.deepEqual(saved.find((f) => f.draws === figure.draws), figure, 'the page keeps the window\'s figure as it was');
      }
      const file = path.join(home, 'figures-from-the-page.json');
      fs.writeFileSync(file, JSON.stringify(saved));
      const environment = {...process.env, XDG_DATA_HOME: home, XDG_CONFIG_HOME: home};
      const imported = () => execFileSync(process.env.STRINGART_WINDOW, ['--import', file], {env: environment, encoding: 'utf8'});
      assert.match(imported(), /^Added 3 figures from .* to the journal/);
      assert.match(imported(), /^Added 0 figures .*3 were kept already/);
    } finally {
      fs.rmSync(home, {recursive: true, force: true});
    }
  }));

  test('a browser that keeps nothing, or runs out of room, gets one message, and the page works on', async () => {
    const refusals = [
      ['private browsing', () => { IDBFactory.prototype.open = () => { throw new DOMException('denied', 'SecurityError'); }; }],
      ['no room left', () => {
        IDBObjectStore.prototype.add = function () { throw new DOMException('full', 'QuotaExceededError'); };
      }],
    ];
    for (const [why, refuse] of refusals) {
      await withPage(async (page) => {
        await page.addInitScript(refuse);
        await openPage(page, env.server.url, `#draws=${kDraws}&directions=1,1,1`);
        assert.match(await page.textContent('#message'), new RegExp(`^This browser keeps no figures for this page \\(${why}`));
        await press(page, 'n');
        await press(page, 'ArrowLeft');
        assert.deepEqual(await shownFigure(page), [kDraws, '1,1,1'], why);
        await assertExact(page, `back without a store (${why})`);
      });
    }
  });
});
