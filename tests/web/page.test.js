// The page as a viewer meets it: the title card, the link to a moment, the
// letterbox, the F2 overlay, the transport keys, the end card; the desktop's
// own messages on the page when a data file is damaged or WebGL 2 is missing;
// a missing file, a bad link value and refused sound, each said on the page.
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

// The overlay's show time and music time, and the frame's milliseconds once
// it has measured them (undefined before); null without times.
async function readOverlay(page) {
  const text = await page.textContent('#overlay');
  const m = /([\d.]+) s .* music ([\d.]+) s/.exec(text);
  if (!m) return null;
  const frame = /fps +([\d.]+) ms/.exec(text);
  return { show: +m[1], music: +m[2], frameMs: frame ? +frame[1] : undefined };
}

async function overlayTimes(page) {
  const times = await readOverlay(page);
  assert.ok(times, 'no times in the overlay: ' + (await page.textContent('#overlay')));
  return times;
}

// The overlay's times once `ready` holds for them, within a minute: the page
// answers a key at its next frame, which on a loaded machine can be a second
// or more away.
async function waitTimes(page, ready, what) {
  const deadline = Date.now() + 60000;
  let times = null;
  do {
    times = await readOverlay(page);
    if (times && ready(times)) return times;
    await page.waitForTimeout(100);
  } while (Date.now() < deadline);
  assert.fail(`${what}: ${JSON.stringify(times)}`);
}

// The overlay's times once they have stood still for a second and a half.
async function waitStill(page, what) {
  const deadline = Date.now() + 60000;
  let before = await overlayTimes(page);
  while (Date.now() < deadline) {
    await page.waitForTimeout(1500);
    const now = await overlayTimes(page);
    if (now.show === before.show && now.music === before.music) return now;
    before = now;
  }
  assert.fail(`${what}: ${JSON.stringify(before)}`);
}

test('the title card plays the linked moment; Space pauses, Right seeks, Escape ends on the end card',
  async () => {
  const page = await openPage(browser);
  await page.goto(`${base}/index.html?t=30`);
  assert.strictEqual(await waitState(page, ['form', 'failed']), 'form', page.lines.join('\n'));
  assert.strictEqual(await page.textContent('h1'), 'Tessaly');
  assert.ok(await page.$eval('#poster', image => image.complete && image.naturalWidth >= 640),
    'the poster frame did not load');
  assert.strictEqual(await page.getAttribute('meta[property="og:image"]', 'content'), 'poster.png');
  assert.strictEqual(await page.textContent('#run'), 'Play from 30 s');
  assert.strictEqual(await page.getAttribute('#canvas', 'tabindex'), '-1');
  await page.click('summary >> text=Settings');
  const sizes = await page.$$eval('#resolution option', options => options.map(o => o.textContent));
  assert.ok(sizes.includes(' 640 x 360  (16:9)'), sizes.join('|'));
  // SwiftShader draws without a GPU: the form starts small and says why.
  assert.match(await page.textContent('#notice'), /without a graphics card \(.*SwiftShader/);
  assert.strictEqual(await page.inputValue('#resolution'), '640');
  assert.ok(!(await page.isChecked('#antialiased')));
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

  // The music is read as the overlay is drawn, about one frame after the show
  // time was read: the two agree to half a second and two of the frame's
  // mean milliseconds (a loaded machine can take most of a second a frame).
  await page.keyboard.press('F2');
  const first = await waitTimes(page, t => t.show > 30 && t.frameMs !== undefined, 'no figures');
  assert.ok(first.show <= 30 + (Date.now() - started) / 1000 + 0.5, 'started at ' + first.show);
  assert.ok(Math.abs(first.music - first.show) < 0.5 + (2 * first.frameMs) / 1000,
    JSON.stringify(first));

  await page.keyboard.press('Space');
  const paused = await waitStill(page, 'the paused show moved');

  await page.keyboard.press('ArrowRight');
  const seeked = await waitTimes(page, t => t.show !== paused.show, 'the seek did not move the show');
  assert.ok(Math.abs(seeked.show - (paused.show + 5)) < 0.02, JSON.stringify([paused, seeked]));
  assert.ok(Math.abs(seeked.music - seeked.show) < 0.02, JSON.stringify(seeked));

  await page.keyboard.press('Space');
  const resumed = await waitTimes(page, t => t.show > seeked.show + 0.5, 'the show did not resume');
  assert.ok(resumed.music > seeked.music, JSON.stringify([seeked, resumed]));

  await page.keyboard.press('Escape');
  assert.strictEqual(await waitState(page, ['ended', 'failed'], 30000), 'ended');
  assert.strictEqual(await page.evaluate(() => Module.exitCode), 0);
  // The end card: the F2 box gone, a link to where the show ended, Play again.
  assert.ok(await page.isVisible('#end'));
  assert.ok(await page.isHidden('#overlay'));
  const link = new URL(await page.getAttribute('#moment', 'href'), base);
  assert.ok(Math.abs(+link.searchParams.get('t') - resumed.show) < 5, link.href);
  assert.strictEqual(link.searchParams.get('width'), '640');
  assert.strictEqual(link.searchParams.get('aa'), '0');
  await page.click('#again');
  await waitState(page, ['playing']);
  await page.waitForFunction(() => Module.showTime > 0 && Module.showTime < 10, null,
    { timeout: 60000 });
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

test('without WebGL 2 the page says so before the show downloads', async () => {
  const plain = await launch(['--disable-webgl2']);
  try {
    const page = await openPage(plain);
    const fetched = [];
    page.on('request', request => fetched.push(path.basename(new URL(request.url()).pathname)));
    await page.goto(`${base}/index.html`);
    assert.strictEqual(await waitState(page, ['failed', 'form'], 10000), 'failed');
    assert.strictEqual(await page.textContent('#message-title'), "Can't Create A GL Rendering Context.");
    assert.match(await page.textContent('#message-text'), /lacks WebGL 2 .*Try a current/);
    assert.deepStrictEqual(fetched.filter(name => name.startsWith('tessaly')), []);
  } finally {
    await plain.close();
  }
});

test('a missing loader, program or data pack is named on the page within seconds', async () => {
  for (const [file, words] of [['tessaly.js', /"tessaly\.js" could not be downloaded/],
    ['tessaly.wasm', /"tessaly\.wasm" is missing: the server answered 404/],
    ['tessaly.data', /"tessaly\.data" could not be downloaded/]]) {
    const page = await openPage(browser);
    await page.route('**/' + file, route => route.fulfill({ status: 404, body: '' }));
    await page.goto(`${base}/index.html`);
    assert.strictEqual(await waitState(page, ['failed', 'form'], 20000), 'failed', file);
    assert.match(await page.textContent('#message-text'), words);
    await page.close();
  }
});

test('a bad link value is said in the command line\'s words; good ones reach the form', async () => {
  let page = await openPage(browser);
  await page.goto(`${base}/index.html?run&t=300&width=640`);
  assert.strictEqual(await waitState(page, ['failed', 'playing', 'ended']), 'failed');
  assert.match(await page.textContent('#message-text'), /--start needs a time in seconds between 0 and 205/);
  await page.close();
  page = await openPage(browser);
  await page.goto(`${base}/index.html?width=800`);
  await waitState(page, ['form']);
  assert.match(await page.textContent('#notice'), /width=800, which is not one of the sizes/);
  await page.goto(`${base}/index.html?width=960&aa=0`);
  await waitState(page, ['form']);
  assert.strictEqual(await page.inputValue('#resolution'), '960');
  assert.ok(!(await page.isChecked('#antialiased')));
  assert.ok(await page.isHidden('#notice'));
  await page.close();
});

test('sound the browser never starts does not hold the show; a later key turns it on', async () => {
  const page = await openPage(browser);
  // The test browser lets pages play sound at once: this context starts
  // suspended and its resume never answers until allowSound.
  await page.addInitScript(() => {
    const resume = AudioContext.prototype.resume;
    let allowed = false;
    window.allowSound = () => { allowed = true; };
    AudioContext.prototype.resume = function() {
      return allowed ? resume.call(this) : new Promise(() => {});
    };
    window.AudioContext = class extends AudioContext {
      constructor(options) {
        super(options);
        this.suspend();
      }
    };
  });
  await page.goto(`${base}/index.html?run&width=640&aa=0`);
  assert.strictEqual(await waitState(page, ['playing', 'failed'], 60000), 'playing');
  assert.ok(await page.isVisible('#sound'));
  await page.evaluate(() => window.allowSound());
  await page.keyboard.press('Shift');
  await page.waitForSelector('#sound', { state: 'hidden', timeout: 20000 });
  await page.waitForFunction(() => document.querySelector('#log').textContent.includes('playing with sound'),
    null, { timeout: 20000 });
  await page.close();
});

test('a tap on the picture pauses the show', async () => {
  const page = await browser.newPage({ viewport: { width: 800, height: 600 }, hasTouch: true });
  await page.goto(`${base}/index.html?run&width=640&aa=0`);
  await waitState(page, ['playing']);
  await page.waitForFunction(() => Module.showTime > 1, null, { timeout: 60000 });
  await page.tap('#canvas');
  const stands = async () => {
    const before = await page.evaluate(() => Module.showTime);
    await page.waitForTimeout(1500);
    return before === (await page.evaluate(() => Module.showTime));
  };
  const deadline = Date.now() + 30000;
  while (!(await stands())) assert.ok(Date.now() < deadline, 'the tap did not pause the show');
  await page.close();
});

test('a click on the timeline seeks the show and its music; the sections carry their names', async () => {
  const page = await openPage(browser);
  await page.goto(`${base}/index.html?run&width=640&aa=0`);
  await waitState(page, ['playing']);
  await page.keyboard.press('F2');
  await waitTimes(page, t => t.show > 0.5, 'the show did not start');
  // The pointer wakes the timeline at the picture's foot and, once on it,
  // keeps it however long the steps below take on a loaded machine.
  await page.mouse.move(400, 590);
  await page.waitForSelector('#timeline', { state: 'visible' });
  await page.mouse.move(400, 585);
  assert.deepStrictEqual(await page.$$eval('#sections span', spans => spans.map(s => s.textContent)),
    ['opening panels', 'falling panels', 'ring tunnel', 'panel cube']);
  // The middle of the bar is half of 205 s.
  const bar = await page.$eval('#scrub', e => e.getBoundingClientRect().toJSON());
  await page.mouse.click(bar.x + bar.width / 2, bar.y + bar.height / 2);
  const seeked = await waitTimes(page, t => Math.abs(t.show - 102.5) < 5,
    'the click did not seek (the bar reads ' + (await page.inputValue('#scrub')) + ')');
  // The music is read about a frame after the show time (as above).
  assert.ok(Math.abs(seeked.music - seeked.show) < 0.5 + (2 * seeked.frameMs) / 1000,
    JSON.stringify(seeked));
  assert.match(await page.textContent('#now'), /ring tunnel/);
  // From the keyboard the bar's Right is the show's own 5 s seek, once.
  await page.focus('#scrub');
  await page.keyboard.press('Space');
  const paused = await waitStill(page, 'Space on the bar did not pause');
  await page.keyboard.press('ArrowRight');
  const stepped = await waitTimes(page, t => t.show !== paused.show, 'Right on the bar did not seek');
  assert.ok(Math.abs(stepped.show - paused.show - 5) < 0.05, JSON.stringify([paused, stepped]));
  await page.close();
});
