// What the browser tests share: the web build served on 127.0.0.1 (with the
// desktop's reference pictures under /reference/), Debian's chromium driven
// headless with software WebGL 2, and the page's own ways to say how it is.
'use strict';
const fs = require('node:fs');
const http = require('node:http');
const path = require('node:path');
const { chromium } = require('playwright-core');

const source = path.resolve(__dirname, '../..');
const webDir = process.env.TESSALY_WEB_DIR || path.join(source, 'build-web/web');
const referenceDir = path.join(source, 'tests/reference_frames/pictures');

const kTypes = { '.html': 'text/html', '.js': 'text/javascript', '.css': 'text/css',
  '.wasm': 'application/wasm', '.png': 'image/png', '.data': 'application/octet-stream' };

// Serves the web folder and the reference pictures; resolves to the base URL.
function serve() {
  const server = http.createServer((request, response) => {
    const url = decodeURIComponent(new URL(request.url, 'http://127.0.0.1').pathname);
    const file = url.startsWith('/reference/')
      ? path.join(referenceDir, path.basename(url))
      : path.join(webDir, path.normalize(url === '/' ? '/index.html' : url));
    fs.readFile(file, (error, bytes) => {
      if (error) {
        response.writeHead(404);
        response.end();
        return;
      }
      response.writeHead(200, { 'Content-Type': kTypes[path.extname(file)] || 'text/plain' });
      response.end(bytes);
    });
  });
  return new Promise(resolve => server.listen(0, '127.0.0.1', () =>
    resolve({ server, base: 'http://127.0.0.1:' + server.address().port })));
}

function launch(extraArgs = []) {
  return chromium.launch({
    executablePath: process.env.TESSALY_CHROMIUM || '/usr/bin/chromium',
    headless: true,
    args: ['--no-sandbox', '--use-angle=swiftshader', '--enable-unsafe-swiftshader',
      '--autoplay-policy=no-user-gesture-required', ...extraArgs],
  });
}

// A page whose console lines are kept (page.lines) for failure messages.
async function openPage(browser, viewport = { width: 800, height: 600 }) {
  const page = await browser.newPage({ viewport });
  page.lines = [];
  page.on('console', m => page.lines.push(m.text()));
  page.on('pageerror', e => page.lines.push('page error: ' + e.message));
  return page;
}

// Waits until the page is in one of the states (body's data-state).
async function waitState(page, states, timeout = 120000) {
  await page.waitForFunction(s => s.includes(document.body.dataset.state), states, { timeout });
  return page.evaluate(() => document.body.dataset.state);
}

// Two pictures (URLs the page can load) compared over their RGB samples:
// db, the PSNR in dB (999 for identical pictures); shift, the largest
// difference of their means over one channel, in levels of 255; and over
// 32 x 32 tiles, tile, the worst tile's PSNR, and tileShift, the largest
// difference of a tile's means over one channel: a defect confined to one
// object moves these long before the whole frame's figures.
function comparePictures(page, a, b) {
  return page.evaluate(async ([a, b]) => {
    const load = src => new Promise((ok, fail) => {
      const image = new Image();
      image.onload = () => ok(image);
      image.onerror = () => fail(new Error('cannot load ' + src.slice(0, 80)));
      image.src = src;
    });
    const pixels = image => {
      const canvas = document.createElement('canvas');
      canvas.width = image.width;
      canvas.height = image.height;
      const context = canvas.getContext('2d');
      context.drawImage(image, 0, 0);
      return context.getImageData(0, 0, image.width, image.height).data;
    };
    const images = await Promise.all([load(a), load(b)]);
    const [pa, pb] = images.map(pixels);
    if (pa.length !== pb.length) return { db: -1, shift: 255, tile: -1, tileShift: 255 };
    const width = images[0].width, height = images[0].height;
    const kTile = 32;
    const columns = Math.ceil(width / kTile);
    const tileSquares = new Float64Array(columns * Math.ceil(height / kTile));
    const tileSamples = new Float64Array(tileSquares.length);
    const tileSums = Array.from(tileSquares, () => [0, 0, 0]);
    const sums = [0, 0, 0];
    let squares = 0;
    for (let y = 0; y < height; ++y)
      for (let x = 0; x < width; ++x) {
        const i = 4 * (y * width + x);
        const tile = Math.floor(y / kTile) * columns + Math.floor(x / kTile);
        for (let k = 0; k < 3; ++k) {
          const d = pa[i + k] - pb[i + k];
          sums[k] += d;
          squares += d * d;
          tileSquares[tile] += d * d;
          tileSums[tile][k] += d;
        }
        tileSamples[tile] += 3;
      }
    const psnr = (samples, sum) => sum === 0 ? 999 : 10 * Math.log10(255 * 255 * samples / sum);
    let tile = 999, tileShift = 0;
    for (let t = 0; t < tileSquares.length; ++t) {
      tile = Math.min(tile, psnr(tileSamples[t], tileSquares[t]));
      for (const sum of tileSums[t]) tileShift = Math.max(tileShift, Math.abs(sum) * 3 / tileSamples[t]);
    }
    return { db: psnr(width * height * 3, squares),
      shift: Math.max(...sums.map(sum => Math.abs(sum) / (width * height))), tile, tileShift };
  }, [a, b]);
}

// Renders the frame at show time t at 640 x 360 in a fresh page and returns
// it as a PNG data URL (and the page, for comparing in it). prepare, if
// given, runs in the page before its own scripts.
async function renderMoment(browser, base, t, extra = '', prepare = null) {
  const page = await openPage(browser);
  if (prepare) await page.addInitScript(prepare);
  await page.goto(`${base}/index.html?screenshot=${t}&width=640${extra}`);
  const state = await waitState(page, ['ended', 'failed']);
  const picture = await page.evaluate(() => Module.pictures['/screenshot.png'] || '');
  if (state !== 'ended' || !picture)
    throw new Error(`no picture at ${t} s (page ${state}):\n` + page.lines.slice(-10).join('\n'));
  return { page, picture };
}

module.exports = { serve, launch, openPage, waitState, comparePictures, renderMoment };
