// Note renderers of the soundtrack's instruments.
#include "instruments.h"

#include <algorithm>
#include <cmath>

namespace synth {

namespace {

constexpr double kDt = 1.0 / kSampleRate;

// Number of samples of a note of `length` from `start` that fit in `out`.
long fitLength(const StereoBuffer& out, long start, long length) {
  long frames = static_cast<long>(out.frames());
  if (start >= frames || length <= 0) return 0;
  return std::min(length, frames - start);
}

long seconds(double s) { return std::lround(s * kSampleRate); }

// Linear attack, hold, linear release: 0..1 at sample n of a note that
// holds for `hold` samples and then releases.
float arEnvelope(long n, long attack, long hold, long release) {
  if (n < attack) return static_cast<float>(n) / attack;
  if (n < hold) return 1.0f;
  return std::max(0.0f, 1.0f - static_cast<float>(n - hold) / release);
}

}  // namespace

void renderKick(StereoBuffer& out, long start, float gain, double decaySeconds) {
  long count = fitLength(out, start, seconds(0.5));
  double phase = 0.0;
  Noise noise(0x4B1C4u);
  OnePole clickTone;
  clickTone.setHz(3000.0);
  const double norm = 1.0 / std::tanh(1.6);
  for (long n = 0; n < count; ++n) {
    double t = n * kDt;
    double hz = 58.0 + 125.0 * std::exp(-t / 0.035);
    double amp = std::min(1.0, t / 0.0004) * std::exp(-t / decaySeconds);
    if (t > 0.42) amp *= std::max(0.0, (0.5 - t) / 0.08);
    double body = std::tanh(1.6 * std::sin(2.0 * kPi * phase)) * norm * amp;
    phase += hz * kDt;
    float click = clickTone.low(noise.bipolar()) * static_cast<float>(std::exp(-t / 0.004));
    float v = gain * (static_cast<float>(body) + 0.5f * click);
    out.left[start + n] += v;
    out.right[start + n] += v;
  }
}

void renderClap(StereoBuffer& out, long start, float gain, uint32_t seed) {
  long count = fitLength(out, start, seconds(0.4));
  Noise noiseL(seed), noiseR(seed * 747796405u + 1u);
  Svf bandL, bandR;
  bandL.set(1400.0, 0.45);
  bandR.set(1250.0, 0.45);
  double bodyPhase = 0.0;
  for (long n = 0; n < count; ++n) {
    double t = n * kDt;
    // Three quick bursts, then the longer tail of the clap.
    double burst = 0.0;
    for (int k = 0; k < 3; ++k) {
      double tk = t - 0.011 * k;
      if (tk >= 0.0) burst = std::max(burst, std::exp(-tk / 0.004));
    }
    double env = std::max(burst, 0.7 * std::exp(-std::max(0.0, t - 0.022) / 0.11)) *
                 std::min(1.0, t / 0.0005);
    bandL.process(noiseL.bipolar());
    bandR.process(noiseR.bipolar());
    double body = 0.5 * std::sin(2.0 * kPi * bodyPhase) * std::exp(-t / 0.05);
    bodyPhase += (185.0 + 40.0 * std::exp(-t / 0.01)) * kDt;
    out.left[start + n] += gain * static_cast<float>(1.6 * bandL.band * env + body);
    out.right[start + n] += gain * static_cast<float>(1.6 * bandR.band * env + body);
  }
}

void renderHat(StereoBuffer& out, long start, float gain, bool open, float pan, uint32_t seed) {
  double decay = open ? 0.16 : 0.028;
  long count = fitLength(out, start, seconds(open ? 0.7 : 0.15));
  Noise noise(seed);
  Svf high;
  high.set(7800.0, 0.2);
  float gl, gr;
  panGains(pan, gl, gr);
  for (long n = 0; n < count; ++n) {
    double t = n * kDt;
    high.process(noise.bipolar());
    float v =
        gain * high.high * static_cast<float>(std::exp(-t / decay) * std::min(1.0, t / 0.0008));
    out.left[start + n] += gl * v;
    out.right[start + n] += gr * v;
  }
}

void renderTick(StereoBuffer& out, long start, float gain, float pan, uint32_t seed) {
  long count = fitLength(out, start, seconds(0.08));
  Noise noise(seed);
  Svf band;
  band.set(4200.0, 0.7);
  float gl, gr;
  panGains(pan, gl, gr);
  for (long n = 0; n < count; ++n) {
    double t = n * kDt;
    band.process(noise.bipolar());
    float v =
        gain * band.band * static_cast<float>(std::exp(-t / 0.012) * std::min(1.0, t / 0.001));
    out.left[start + n] += gl * v;
    out.right[start + n] += gr * v;
  }
}

void renderBass(StereoBuffer& out, long start, long length, double pitch, float gain,
                float bright) {
  long release = seconds(0.03);
  long count = fitLength(out, start, length + release);
  double hz = noteHz(pitch);
  Phase sub, sawA, sawB;
  sub.setHz(hz);
  sawA.setHz(hz * 1.004);
  sawB.setHz(hz * 0.996);
  Svf filter;
  for (long n = 0; n < count; ++n) {
    double t = n * kDt;
    if (n % 16 == 0) filter.set(hz * (1.5 + bright * 14.0 * std::exp(-t / 0.09)), 0.35);
    float saw =
        static_cast<float>(0.5 * (sawBlep(sawA.value, sawA.step) + sawBlep(sawB.value, sawB.step)));
    filter.process(saw);
    float env = arEnvelope(n, seconds(0.003), length, release);
    float v =
        gain * env * (static_cast<float>(std::sin(2.0 * kPi * sub.value)) + 0.55f * filter.low);
    sub.advance();
    sawA.advance();
    sawB.advance();
    out.left[start + n] += v;
    out.right[start + n] += v;
  }
}

void renderSawStack(StereoBuffer& out, long start, long length, double pitch, float gain,
                    double cutoffHz, double attackSeconds, double releaseSeconds) {
  constexpr int kVoices = 5;
  const double detune[kVoices] = {-0.11, -0.05, 0.0, 0.06, 0.12};
  const float pan[kVoices] = {-0.8f, 0.5f, 0.0f, -0.45f, 0.85f};
  long attack = std::max(1L, seconds(attackSeconds));
  long release = std::max(1L, seconds(releaseSeconds));
  long count = fitLength(out, start, length + release);
  Phase voices[kVoices];
  float gl[kVoices], gr[kVoices];
  for (int v = 0; v < kVoices; ++v) {
    voices[v].setHz(noteHz(pitch + detune[v]));
    // Start the voices at spread phases so the chord does not begin with a spike.
    voices[v].value = 0.2 * v;
    panGains(pan[v], gl[v], gr[v]);
  }
  Svf filterL, filterR;
  filterL.set(cutoffHz, 0.15);
  filterR.set(cutoffHz, 0.15);
  for (long n = 0; n < count; ++n) {
    float l = 0.0f, r = 0.0f;
    for (int v = 0; v < kVoices; ++v) {
      float s = static_cast<float>(sawBlep(voices[v].value, voices[v].step));
      voices[v].advance();
      l += gl[v] * s;
      r += gr[v] * s;
    }
    filterL.process(l);
    filterR.process(r);
    float env = arEnvelope(n, attack, length, release);
    env *= env;
    out.left[start + n] += gain * 0.3f * env * filterL.low;
    out.right[start + n] += gain * 0.3f * env * filterR.low;
  }
}

void renderPad(StereoBuffer& out, long start, long length, double pitch, float gain,
               double cutoffHz) {
  renderSawStack(out, start, length, pitch, gain, cutoffHz, 0.5, 1.2);
}

void renderPluck(StereoBuffer& out, long start, double pitch, float gain, float pan,
                 double decaySeconds, double brightHz) {
  long count = fitLength(out, start, seconds(decaySeconds * 5.0));
  double hz = noteHz(pitch);
  Phase saw, square;
  saw.setHz(hz * 1.003);
  square.setHz(hz * 0.997);
  Svf filter;
  float gl, gr;
  panGains(pan, gl, gr);
  for (long n = 0; n < count; ++n) {
    double t = n * kDt;
    if (n % 16 == 0) filter.set(hz + brightHz * std::exp(-t / (0.4 * decaySeconds)), 0.3);
    float s = static_cast<float>(0.6 * sawBlep(saw.value, saw.step) +
                                 0.4 * squareBlep(square.value, square.step));
    saw.advance();
    square.advance();
    filter.process(s);
    double env = std::exp(-t / decaySeconds) * std::min(1.0, t / 0.002);
    if (n > count - 256) env *= (count - n) / 256.0;
    float v = gain * static_cast<float>(env) * filter.low;
    out.left[start + n] += gl * v;
    out.right[start + n] += gr * v;
  }
}

void renderBell(StereoBuffer& out, long start, double pitch, float gain, float pan,
                double decaySeconds, double brightness) {
  long count = fitLength(out, start, seconds(decaySeconds * 5.0));
  double hz = noteHz(pitch);
  double carrier = 0.0, modulator = 0.0;
  float gl, gr;
  panGains(pan, gl, gr);
  for (long n = 0; n < count; ++n) {
    double t = n * kDt;
    double index = brightness * std::exp(-t / 0.12);
    double m = index * std::sin(2.0 * kPi * modulator);
    double env = std::exp(-t / decaySeconds) * std::min(1.0, t / 0.003);
    if (n > count - 256) env *= (count - n) / 256.0;
    float v = gain * static_cast<float>(env * std::sin(2.0 * kPi * carrier + m));
    carrier += hz * kDt;
    modulator += 2.0 * hz * kDt;
    if (carrier >= 1.0) carrier -= 1.0;
    if (modulator >= 1.0) modulator -= 1.0;
    out.left[start + n] += gl * v;
    out.right[start + n] += gr * v;
  }
}

void renderMallet(StereoBuffer& out, long start, double pitch, float gain, float pan,
                  double decaySeconds, uint32_t seed) {
  // The bar rings at full strength for a moment before it dies away.
  const double kMalletHold = 0.03;
  long count = fitLength(out, start, seconds(kMalletHold + decaySeconds * 5.0));
  double hz = noteHz(pitch);
  double body = 0.0, overtone = 0.0;
  Noise noise(seed);
  Svf knock;
  knock.set(2.5 * hz, 0.4);
  float gl, gr;
  panGains(pan, gl, gr);
  for (long n = 0; n < count; ++n) {
    double t = n * kDt;
    double attack = std::min(1.0, t / 0.0025);
    double env = std::exp(-std::max(0.0, t - kMalletHold) / decaySeconds) * attack;
    if (n > count - 256) env *= (count - n) / 256.0;
    knock.process(noise.bipolar());
    double v =
        env * std::sin(2.0 * kPi * body) +
        0.12 * attack * std::exp(-t / (0.15 * decaySeconds)) * std::sin(2.0 * kPi * overtone) +
        0.15 * knock.band * std::exp(-t / 0.004);
    body += hz * (1.0 + 0.015 * std::exp(-t / 0.006)) * kDt;
    overtone += 3.93 * hz * kDt;
    if (body >= 1.0) body -= 1.0;
    if (overtone >= 1.0) overtone -= 1.0;
    out.left[start + n] += gl * gain * static_cast<float>(v);
    out.right[start + n] += gr * gain * static_cast<float>(v);
  }
}

void renderLead(StereoBuffer& out, long start, long length, double pitch, float gain,
                double cutoffHz) {
  long release = seconds(0.09);
  long count = fitLength(out, start, length + release);
  double hz = noteHz(pitch);
  Phase sawA, sawB, sub;
  Svf filterL, filterR;
  for (long n = 0; n < count; ++n) {
    double t = n * kDt;
    if (n % 16 == 0) {
      // Vibrato fades in after a quarter of a second of the note.
      double depth = 0.004 * std::clamp((t - 0.25) / 0.3, 0.0, 1.0);
      double wobble = 1.0 + depth * std::sin(2.0 * kPi * 5.5 * t);
      sawA.setHz(hz * 1.0045 * wobble);
      sawB.setHz(hz * 0.9955 * wobble);
      sub.setHz(0.5 * hz * wobble);
      double cutoff = cutoffHz * (1.0 + 1.5 * std::exp(-t / 0.12));
      filterL.set(cutoff, 0.25);
      filterR.set(cutoff * 1.05, 0.25);
    }
    float a = static_cast<float>(sawBlep(sawA.value, sawA.step));
    float b = static_cast<float>(sawBlep(sawB.value, sawB.step));
    float s = static_cast<float>(0.35 * squareBlep(sub.value, sub.step));
    sawA.advance();
    sawB.advance();
    sub.advance();
    filterL.process(0.8f * a + 0.3f * b + s);
    filterR.process(0.3f * a + 0.8f * b + s);
    float env = arEnvelope(n, seconds(0.008), length, release);
    out.left[start + n] += gain * env * filterL.low;
    out.right[start + n] += gain * env * filterR.low;
  }
}

void renderAcid(StereoBuffer& out, long start, long length, double pitch, float gain,
                double cutoffHz, float accent, float pan) {
  long release = seconds(0.02);
  long count = fitLength(out, start, length + release);
  Phase saw;
  saw.setHz(noteHz(pitch));
  Svf filter;
  float gl, gr;
  panGains(pan, gl, gr);
  for (long n = 0; n < count; ++n) {
    double t = n * kDt;
    if (n % 16 == 0) filter.set(cutoffHz * (1.0 + (1.0 + 4.0 * accent) * std::exp(-t / 0.09)), 0.8);
    filter.process(static_cast<float>(sawBlep(saw.value, saw.step)));
    saw.advance();
    float env = arEnvelope(n, seconds(0.002), length, release);
    float v = gain * env * std::tanh(1.5f * filter.low);
    out.left[start + n] += gl * v;
    out.right[start + n] += gr * v;
  }
}

void renderTom(StereoBuffer& out, long start, double pitch, float gain, float pan, uint32_t seed) {
  long count = fitLength(out, start, seconds(0.8));
  double hz = noteHz(pitch);
  double phase = 0.0;
  Noise noise(seed);
  Svf band;
  band.set(3.0 * hz, 0.3);
  float gl, gr;
  panGains(pan, gl, gr);
  for (long n = 0; n < count; ++n) {
    double t = n * kDt;
    double amp = std::exp(-t / 0.2) * std::min(1.0, t / 0.001);
    if (n > count - 256) amp *= (count - n) / 256.0;
    double body = std::sin(2.0 * kPi * phase) * amp;
    phase += hz * (1.0 + 0.5 * std::exp(-t / 0.03)) * kDt;
    band.process(noise.bipolar());
    float v = gain * static_cast<float>(body + 0.5 * band.band * std::exp(-t / 0.012));
    out.left[start + n] += gl * v;
    out.right[start + n] += gr * v;
  }
}

void renderRide(StereoBuffer& out, long start, float gain, float pan, uint32_t seed) {
  static const double kHz[6] = {1173.0, 1690.0, 2062.0, 2594.0, 3156.0, 3884.0};
  long count = fitLength(out, start, seconds(1.2));
  Phase metal[6];
  for (int i = 0; i < 6; ++i) metal[i].setHz(kHz[i]);
  Noise noise(seed);
  Svf high;
  high.set(3200.0, 0.25);
  float gl, gr;
  panGains(pan, gl, gr);
  for (long n = 0; n < count; ++n) {
    double t = n * kDt;
    double cluster = 0.0;
    for (Phase& p : metal) {
      cluster += squareBlep(p.value, p.step);
      p.advance();
    }
    high.process(static_cast<float>(cluster / 6.0 + 0.6 * noise.bipolar()));
    double env = (0.35 * std::exp(-t / 0.35) + 0.65 * std::exp(-t / 0.03)) *
                 std::min(1.0, t / 0.0005) * std::min(1.0, (count - n) / 400.0);
    float v = gain * static_cast<float>(env) * high.high;
    out.left[start + n] += gl * v;
    out.right[start + n] += gr * v;
  }
}

void renderRiser(StereoBuffer& out, long start, long length, float gain, uint32_t seed) {
  long count = fitLength(out, start, length);
  Noise noiseL(seed), noiseR(seed ^ 0xA5A5A5u);
  Svf filterL, filterR;
  Phase whistle;
  for (long n = 0; n < count; ++n) {
    double x = static_cast<double>(n) / length;
    if (n % 16 == 0) {
      double cutoff = 250.0 * std::pow(36.0, x);
      filterL.set(cutoff, 0.6);
      filterR.set(cutoff * 1.07, 0.6);
      whistle.setHz(noteHz(60.0 + 24.0 * x));
    }
    filterL.process(noiseL.bipolar());
    filterR.process(noiseR.bipolar());
    double env = x * x * std::min(1.0, (length - n) / 400.0);
    float tone = 0.12f * static_cast<float>(std::sin(2.0 * kPi * whistle.value));
    whistle.advance();
    out.left[start + n] += gain * static_cast<float>(env) * (filterL.band + tone);
    out.right[start + n] += gain * static_cast<float>(env) * (filterR.band + tone);
  }
}

void renderImpact(StereoBuffer& out, long start, float gain, uint32_t seed) {
  long count = fitLength(out, start, seconds(3.0));
  Noise noiseL(seed), noiseR(seed * 2891336453u + 7u);
  Svf crashL, crashR;
  crashL.set(5200.0, 0.1);
  crashR.set(4800.0, 0.1);
  double phase = 0.0;
  for (long n = 0; n < count; ++n) {
    double t = n * kDt;
    double attack = std::min(1.0, t / 0.001);
    double tail = std::min(1.0, (count - n) / 2000.0);
    double boom = std::sin(2.0 * kPi * phase) * std::exp(-t / 0.7) * attack;
    phase += (34.0 + 40.0 * std::exp(-t / 0.15)) * kDt;
    crashL.process(noiseL.bipolar());
    crashR.process(noiseR.bipolar());
    double crash = std::exp(-t / 0.9) * attack * tail;
    out.left[start + n] +=
        gain * static_cast<float>(0.7 * boom * tail + 0.45 * crash * crashL.high);
    out.right[start + n] +=
        gain * static_cast<float>(0.7 * boom * tail + 0.45 * crash * crashR.high);
  }
}

void renderWhoosh(StereoBuffer& out, long start, long length, float gain, uint32_t seed) {
  long count = fitLength(out, start, length);
  Noise noiseA(seed), noiseB(seed + 0x51ED27u);
  Svf bandA, bandB;
  for (long n = 0; n < count; ++n) {
    double x = static_cast<double>(n) / length;
    // The band rises to its peak at 40 % of the length and falls back.
    double arch = x < 0.4 ? x / 0.4 : (1.0 - x) / 0.6;
    if (n % 16 == 0) {
      double cutoff = 180.0 * std::pow(25.0, arch);
      bandA.set(cutoff, 0.55);
      bandB.set(cutoff * 1.6, 0.4);
    }
    bandA.process(noiseA.bipolar());
    bandB.process(noiseB.bipolar());
    double env = std::pow(std::sin(kPi * x), 1.6);
    float pan = static_cast<float>(2.0 * x - 1.0) * 0.8f;
    float gl, gr;
    panGains(pan, gl, gr);
    float v = gain * static_cast<float>(env) * (bandA.band + 0.5f * bandB.band);
    out.left[start + n] += gl * v;
    out.right[start + n] += gr * v;
  }
}

}  // namespace synth
