// The soundtrack in the browser against the desktop: the browser's decoding
// of the MP3 and the spectrum our code computes from it, at three show times,
// held against what the desktop's sound system (libmpg123, the same spectrum
// code) reads there (web_audio_reference's JSON, TESSALY_AUDIO_REFERENCE).
'use strict';
const test = require('node:test');
const assert = require('node:assert');
const fs = require('node:fs');
const { serve, launch, openPage, waitState } = require('./support');

const kTrack = 'music//Kelvane - Tessaly.mp3';
const kPagePath = '/data/music/Kelvane - Tessaly.mp3';
// Measured: the samples differ by at most 5.4e-7 (the decoders round
// differently in the last bits of a float), the bands by at most 9e-8 where
// the loudest reads 0.05 to 0.1. Ten times that passes; a spectrum read one
// window (1024 frames) off, or a decoder that shifts the track by a frame,
// misses by orders of magnitude.
const kSampleTolerance = 5e-6;
const kBandTolerance = 1e-6;

let server, base, browser, page;
const reference = JSON.parse(fs.readFileSync(process.env.TESSALY_AUDIO_REFERENCE, 'utf8'));

test.before(async () => {
  ({ server, base } = await serve());
  browser = await launch();
  page = await openPage(browser);
  await page.goto(`${base}/index.html`);
  assert.strictEqual(await waitState(page, ['form', 'failed']), 'form', page.lines.join('\n'));
});
test.after(async () => {
  await browser.close();
  server.close();
});

function largestDifference(a, b) {
  assert.strictEqual(a.length, b.length);
  return Math.max(...a.map((x, i) => Math.abs(x - b[i])));
}

test('the browser decodes the soundtrack to the desktop samples', async () => {
  const frames = await page.evaluate(p => Module.decodedSounds[p].length, kPagePath);
  assert.strictEqual(frames, reference.frames, 'length in frames');
  for (const time of reference.times) {
    const samples = await page.evaluate(([p, frame, count]) => {
      const buffer = Module.decodedSounds[p];
      const out = [];
      for (let i = 0; i < count; ++i)
        out.push(buffer.getChannelData(0)[frame + i], buffer.getChannelData(1)[frame + i]);
      return out;
    }, [kPagePath, time.frame, time.samples.length / 2]);
    const worst = largestDifference(samples, time.samples);
    console.log(`${time.seconds} s: samples differ by at most ${worst.toExponential(2)}`);
    assert.ok(worst <= kSampleTolerance, `${time.seconds} s: samples differ by ${worst}`);
  }
});

test('the spectrum at three times is the desktop spectrum', async () => {
  for (const time of reference.times) {
    const bands = await page.evaluate(([track, seconds]) => {
      const at = Module.ccall('tessaly_spectrum_at', 'number', ['string', 'number'], [track, seconds]);
      return at ? Array.from(Module.HEAPF32.subarray(at >> 2, (at >> 2) + 512)) : [];
    }, [kTrack, time.seconds]);
    const worst = largestDifference(bands, time.spectrum);
    const loudest = Math.max(...time.spectrum);
    console.log(`${time.seconds} s: bands differ by at most ${worst.toExponential(2)} (loudest ${loudest.toFixed(3)})`);
    assert.ok(loudest > 0.01, `${time.seconds} s: the reference is silent`);
    assert.ok(worst <= kBandTolerance, `${time.seconds} s: a band differs by ${worst}`);
  }
});
