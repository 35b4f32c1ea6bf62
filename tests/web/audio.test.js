// The soundtrack in the browser against the desktop: the browser's decoding
// of the MP3 and the spectrum our code computes from it, at three show times,
// held against what the desktop's sound system (libmpg123, the same spectrum
// code) reads there (web_audio_reference's JSON, TESSALY_AUDIO_REFERENCE);
// and what the page sends to the speakers after a link to a moment and after
// a seek, against the desktop's loudness of the track there.
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

// What the page sends to the speakers, recorded on the audio thread: every
// connection to the destination passes through a tap whose worklet posts the
// mean of left and right with the context frame it was played at; each start
// of a sound is noted with the context frame it was asked at.
function recordOutput() {
  const worklet = `registerProcessor('tap', class extends AudioWorkletProcessor {
    constructor() { super(); this.samples = new Float32Array(4096); this.count = 0; this.first = 0; }
    flush() {
      if (this.count) this.port.postMessage({ frame: this.first, samples: this.samples.slice(0, this.count) });
      this.count = 0;
    }
    process(inputs) {
      const input = inputs[0];
      // A late audio thread skips blocks: a chunk holds consecutive frames only.
      if (this.count && currentFrame !== this.first + this.count) this.flush();
      if (this.count === 0) this.first = currentFrame;
      for (let i = 0; i < 128; ++i)
        this.samples[this.count++] = input.length ? (input[0][i] + (input[1] || input[0])[i]) / 2 : 0;
      if (this.count === this.samples.length) this.flush();
      return true;
    }
  });`;
  const url = URL.createObjectURL(new Blob([worklet], { type: 'text/javascript' }));
  const connect = AudioNode.prototype.connect;
  window.recorded = { chunks: [], starts: [] };
  const tapOf = context => {
    if (context.tap) return context.tap;
    context.tap = context.createGain();
    connect.call(context.tap, context.destination);
    context.audioWorklet.addModule(url).then(() => {
      const node = new AudioWorkletNode(context, 'tap');
      node.port.onmessage = event => window.recorded.chunks.push(event.data);
      connect.call(context.tap, node);
      connect.call(node, context.destination);
    });
    return context.tap;
  };
  AudioNode.prototype.connect = function(target, ...rest) {
    return connect.call(this, target instanceof AudioDestinationNode ? tapOf(target.context) : target, ...rest);
  };
  // The tap is there before anything plays.
  const Context = window.AudioContext;
  window.AudioContext = class extends Context {
    constructor(...args) {
      super(...args);
      tapOf(this);
    }
  };
  const start = AudioBufferSourceNode.prototype.start;
  AudioBufferSourceNode.prototype.start = function(...args) {
    window.recorded.starts.push(Math.round(this.context.currentTime * this.context.sampleRate));
    return start.apply(this, args);
  };
}

// The loudness per 20 ms (as web_audio_reference computes it) of the
// recorded output from the last start on, windows aligned to the track's as
// if the sound started at `moment` s; null until three seconds are recorded.
const kSettleSeconds = 1;
function playedLoudness(page, moment, windowFrames) {
  return page.evaluate(([moment, size, settle]) => {
    const { chunks, starts } = window.recorded;
    if (!starts.length || !chunks.length) return null;
    const started = starts[starts.length - 1];
    const startTrackFrame = Math.round(moment * 44100);
    // The first second is left out: the recorder may start late, and a
    // browser busy starting the show may skip or delay audio blocks there.
    const skipped = Math.max(Math.round(settle * 44100), chunks[0].frame - started);
    const firstWindow = Math.ceil((startTrackFrame + skipped) / size);
    const from = started + firstWindow * size - startTrackFrame;  // a context frame
    const windows = 100;
    const last = chunks[chunks.length - 1];
    if (last.frame + last.samples.length < from + (windows + 1) * size) return null;
    // Eight gratings an eighth of a window apart: the sound starts at some
    // frame of the audio thread's block, which the grid of whole windows
    // cannot follow where the loudness changes fast (fades, drops).
    return { firstWindow, gratings: [0, 1, 2, 3, 4, 5, 6, 7].map(eighth => {
      const squares = new Float64Array(windows);
      const counts = new Float64Array(windows);
      const start = from + eighth * size / 8;
      for (const chunk of chunks)
        for (let i = 0; i < chunk.samples.length; ++i) {
          const w = Math.floor((chunk.frame + i - start) / size);
          if (w < 0 || w >= windows) continue;
          squares[w] += chunk.samples[i] * chunk.samples[i];
          ++counts[w];
        }
      // Windows the audio thread mostly skipped are left out (null).
      return Array.from(squares, (s, w) => counts[w] > size / 2 ? 10 * Math.log10(s / counts[w] + 1e-10) : null);
    }) };
  }, [moment, windowFrames, kSettleSeconds]);
}

// The share of the played windows whose loudness is the desktop's from
// `seconds` on, within half a dB once the channel's volume (the median
// difference) is taken out; the best over starts up to 0.6 s either way (the
// sound starts at the audio thread's next block after it is asked, and a busy
// browser delays or skips blocks after the start). The browser's decoding
// matches the desktop's to a millionth, so the right moment matches in every
// window the browser played without a dropout, another moment only where two
// loudnesses happen to agree.
const kLagWindows = 30;
function matchAt(gratings, seconds) {
  const window0 = Math.round(seconds * 50);
  let best = { share: -1, lag: 0 };
  for (const played of gratings) for (let lag = -kLagWindows; lag <= kLagWindows; ++lag) {
    const desktop = reference.loudness.slice(window0 + lag, window0 + lag + played.length);
    const differences = played.flatMap((x, i) => x === null ? [] : [x - desktop[i]]);
    const median = [...differences].sort((x, y) => x - y)[differences.length >> 1];
    const share = differences.filter(d => Math.abs(d - median) < 0.5).length / differences.length;
    if (share > best.share) best = { share, lag };
  }
  return best;
}

// The moments hold the near silence at 131.5-132.1 s and the drop at 100 s,
// so that neither their loudness nor its shape repeats three or ten seconds
// away. A load that starves the browser's audio thread may leave a dropout
// of a few hundred milliseconds; the right moment still matches in most
// windows, a wrong one in few.
const kRightShare = 0.8;
const kWrongShare = 0.5;

async function checkPlayed(page, moment, what) {
  let played = null;
  const deadline = Date.now() + 60000;
  while (!(played = await playedLoudness(page, moment, reference.loudnessFrames)) && Date.now() < deadline)
    await page.waitForTimeout(250);
  assert.ok(played, `${what}: no sound recorded (${page.lines.slice(-5).join(' | ')})`);
  const heard = played.gratings[0].filter(x => x !== null).length;
  assert.ok(heard >= 50, `${what}: the audio thread rendered only ${heard} of 100 windows`);
  const at = played.firstWindow / 50;
  const right = matchAt(played.gratings, at);
  const wrong = [-10, -3, 3, 10].map(d => ({ d, ...matchAt(played.gratings, at + d) }));
  console.log(`${what}: ${right.share.toFixed(2)} of ${heard} windows match (start ${right.lag * 20} ms off) ` +
    'against ' + wrong.map(w => `${w.d > 0 ? '+' : ''}${w.d} s ${w.share.toFixed(2)}`).join(', '));
  assert.ok(right.share >= kRightShare, `${what}: the sound matches the track there in ${right.share}`);
  for (const w of wrong)
    assert.ok(w.share <= kWrongShare, `${what}: ${w.d} s away matches in ${w.share}`);
}

test('what the browser plays after a link to a moment and after a seek is the soundtrack there', async () => {
  const listener = await openPage(browser);
  await listener.addInitScript(recordOutput);
  try {
    await listener.goto(`${base}/index.html?run&t=130.5&width=640&aa=0`);
    await waitState(listener, ['playing']);
    await checkPlayed(listener, 130.5, 'the link to 130.5 s');
    const starts = await listener.evaluate(() => window.recorded.starts.length);
    await listener.evaluate(() => Module.ccall('tessaly_seek', null, ['number'], [98.8]));
    await listener.waitForFunction(n => window.recorded.starts.length > n, starts, { timeout: 60000 });
    await checkPlayed(listener, 98.8, 'the seek to 98.8 s');
  } finally {
    await listener.close();
  }
});
