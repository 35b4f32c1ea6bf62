// Whole-buffer effects of the soundtrack mix: a plate-like reverb, a
// ping-pong echo, the sidechain ducking curve that makes room for the kick,
// a high shelf and a low-pass that shape the mix's top, the final look-ahead
// peak limiter and the closing fade.
#pragma once

#include <vector>

#include "dsp.h"

namespace synth {

// Reverb of `input` (a send bus), returned as a fully wet signal. Eight
// damped comb filters and four all-passes per channel, with the right
// channel's delays slightly longer for width.
StereoBuffer reverb(const StereoBuffer& input, float roomSize, float damping);

// Ping-pong echo of `input`: a fully wet signal whose repeats every
// `delaySamples` alternate sides and lose `feedback` each time, darkened by
// a low-pass in the loop.
StereoBuffer pingPongDelay(const StereoBuffer& input, long delaySamples, float feedback,
                           double toneHz);

// Ducking curve: 1 at each kick sample, falling back towards 0 over about
// `recoverySeconds`; multiply a bus by (1 - depth * curve) to pump it.
std::vector<float> kickCurve(const std::vector<long>& kickSamples, size_t frames,
                             double recoverySeconds);

// Multiplies `bus` by (1 - depth * curve[i]) sample by sample.
void duck(StereoBuffer& bus, const std::vector<float>& curve, float depth);

// Look-ahead peak limiter: afterwards no sample of either channel, nor the
// wave between the samples as a four-times oversampled copy shows it,
// exceeds `ceiling` in magnitude. Gain falls smoothly over the look-ahead before a
// peak and recovers with the release time constant.
void limit(StereoBuffer& mix, float ceiling, double lookaheadSeconds, double releaseSeconds);

// Raises (or lowers) everything above about `cornerHz` by `gainDb` with a
// gentle second-order shelf.
void highShelf(StereoBuffer& mix, double cornerHz, double gainDb);

// Second-order low-pass (Butterworth) at `cornerHz`.
void lowPass(StereoBuffer& mix, double cornerHz);

// Closes a low-pass over the stretch from `from` to `to` (seconds): its
// corner falls exponentially from `fromHz` to `toHz`, and the stretch's last
// 50 ms fade to silence so the filter never has to open again audibly.
// Outside the stretch the signal is untouched.
void sweepDown(StereoBuffer& mix, double from, double to, double fromHz, double toHz);

// Silences the mix from `from` to `to` (seconds), fading out over 20 ms
// before `from`.
void silence(StereoBuffer& mix, double from, double to);

// Removes DC with a gentle high-pass at about 10 Hz.
void removeDc(StereoBuffer& mix);

// Fades the mix out from fadeStart to fadeEnd (seconds), silent after it.
void fadeOut(StereoBuffer& mix, double fadeStart, double fadeEnd);

}  // namespace synth
