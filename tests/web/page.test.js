// The page as a viewer meets it: the form, the link to a moment, the
// letterbox, the F2 overlay, the transport keys, the end; and the desktop's
// own messages on the page when a data file is damaged or WebGL 2 is missing.
'use strict';
const test = require('node:test');
const assert = require('node:assert');
const fs = require('node:fs');
const path = require('node:path');
const { serve, launch, openPage, waitState } = require('./support');

let server, base, browser;
test.before(async () => {
  ({ server, base } = await serve());
  browser = await launch();
});
test.after(async () => {
  await browser.close();
  server.close();
});

// The overlay's show time and music time.
async function overlayTimes(page) {
  const text = await page.textContent('#overlay');
  const m = /([\d.]+) s .* music ([\d.]+) s/.exec(text);
  assert.ok(m, 'no times in the overlay: ' + text);
  return { show: +m[1], music: +m[2] };
}

// Waits until the overlay shows a show time past `after`.
async function waitShowTime(page, after) {
  await page.waitForFunction(a => {
    const m = /([\d.]+) s/.exec(document.getElementById('overlay').textContent);
    return m && +m[1] > a;
  }, after, { timeout: 60000 });
  return overlayTimes(page);
}

test('the form starts the linked moment; Space pauses, Right seeks, Escape ends', async () => {
  const page = await openPage(browser);
  await page.goto(`${base}/index.html?t=30`);
  assert.strictEqual(await waitState(page, ['form', 'failed']), 'form', page.lines.join('\n'));
  const sizes = await page.$$eval('#resolution option', options => options.map(o => o.textContent));
  assert.ok(sizes.includes(' 640 x 360  (16:9)'), sizes.join('|'));
  assert.ok(await page.isChecked('#antialiased'));
  await page.selectOption('#resolution', '640');
  await page.uncheck('#antialiased');
  await page.check('#windowed');
  const started = Date.now();
  await page.click('#run');
  await waitState(page, ['playing']);

  // The 16:9 picture fills the 800 x 600 window's width, with bars above and below.
  assert.deepStrictEqual(await page.$eval('#canvas', c => [c.width, c.height]), [640, 360]);
  const box = await page.$eval('#picture', e => e.getBoundingClientRect().toJSON());
  assert.deepStrictEqual([box.x, box.y, box.width, box.height], [0, 75, 800, 450]);

  await page.keyboard.press('F2');
  const first = await waitShowTime(page, 30);
  assert.ok(first.show <= 30 + (Date.now() - started) / 1000 + 0.5, 'started at ' + first.show);
  assert.ok(Math.abs(first.music - first.show) < 0.5, JSON.stringify(first));

  await page.keyboard.press('Space');
  await page.waitForTimeout(500);
  const paused = await overlayTimes(page);
  await page.waitForTimeout(1500);
  assert.deepStrictEqual(await overlayTimes(page), paused, 'the paused show moved');

  await page.keyboard.press('ArrowRight');
  await page.waitForTimeout(800);
  const seeked = await overlayTimes(page);
  assert.ok(Math.abs(seeked.show - (paused.show + 5)) < 0.02, JSON.stringify([paused, seeked]));
  assert.ok(Math.abs(seeked.music - seeked.show) < 0.02, JSON.stringify(seeked));

  await page.keyboard.press('Space');
  const resumed = await waitShowTime(page, seeked.show + 0.5);
  assert.ok(resumed.music > seeked.music, JSON.stringify([seeked, resumed]));

  await page.keyboard.press('F2');
  assert.ok(await page.isHidden('#overlay'));
  await page.keyboard.press('Escape');
  assert.strictEqual(await waitState(page, ['ended', 'failed'], 30000), 'ended');
  assert.strictEqual(await page.evaluate(() => Module.exitCode), 0);
  await page.close();
});

// The data pack with one file's bytes replaced by noise, as the page receives it.
async function openWithDamagedFile(file) {
  const web = process.env.TESSALY_WEB_DIR;
  const loader = fs.readFileSync(path.join(web, 'tessaly.js'), 'utf8');
  const m = new RegExp(`"filename":"/data/${file}","start":(\\d+),"end":(\\d+)`).exec(loader);
  assert.ok(m, `${file} is not in the data pack`);
  const pack = Buffer.from(fs.readFileSync(path.join(web, 'tessaly.data')));
  let seed = 12345;
  for (let i = +m[1]; i < +m[2]; ++i) {
    seed = (seed * 1103515245 + 12345) >>> 0;
    pack[i] = seed >>> 24;
  }
  const page = await openPage(browser);
  await page.route('**/tessaly.data', route => route.fulfill({ body: pack }));
  await page.goto(`${base}/index.html?run&width=640&aa=0`);
  assert.strictEqual(await waitState(page, ['failed', 'ended', 'playing']), 'failed',
    page.lines.join('\n'));
  const shown = { title: await page.textContent('#message-title'),
    text: await page.textContent('#message-text') };
  await page.close();
  return shown;
}

test('a damaged image or soundtrack shows the desktop message on the page', async () => {
  const image = await openWithDamagedFile('textures/blob41b.jpg');
  assert.strictEqual(image.title, 'Jpg !');
  assert.match(image.text, /textures\/blob41b\.jpg/);
  const music = await openWithDamagedFile('music/Kelvane - Tessaly.mp3');
  assert.deepStrictEqual(music, { title: 'Ravok  ', text: 'Problem initializing FMod. \nNo sound file.' });
});

test('without WebGL 2 the page shows the desktop message', async () => {
  const plain = await launch(['--disable-webgl2']);
  try {
    const page = await openPage(plain);
    await page.goto(`${base}/index.html?run&width=640`);
    assert.strictEqual(await waitState(page, ['failed', 'playing', 'ended']), 'failed');
    assert.strictEqual(await page.textContent('#message-title'), 'ERROR');
    assert.strictEqual(await page.textContent('#message-text'), "Can't Create A GL Rendering Context.");
  } finally {
    await plain.close();
  }
});
