// The soundtrack's instruments. Each call renders one note (or one hit) and
// adds it into a stereo buffer from sample `start` on; whatever would fall
// past the end of the buffer is dropped. Pitches are MIDI note numbers,
// gains are linear, pan runs from -1 (left) to 1 (right).
#pragma once

#include <cstdint>

#include "dsp.h"

namespace synth {

// Kick: a sine that drops from ~180 Hz to ~58 Hz with a short click, its
// body fading with `decaySeconds`. The waveform starts at `start` itself, so
// the hit lands on that exact sample.
void renderKick(StereoBuffer& out, long start, float gain, double decaySeconds);
// Clap layered on a short snare body.
void renderClap(StereoBuffer& out, long start, float gain, uint32_t seed);
// Hi-hat: high-passed noise, closed (short) or open (long).
void renderHat(StereoBuffer& out, long start, float gain, bool open, float pan, uint32_t seed);
// Shaker-like tick for the tunnel groove: band-passed noise, very short.
void renderTick(StereoBuffer& out, long start, float gain, float pan, uint32_t seed);

// Bass: a sine sub plus two detuned saws through a low-pass with an envelope.
// `bright` scales the filter envelope (0 = pure sub, 1 = growling).
void renderBass(StereoBuffer& out, long start, long length, double pitch, float gain, float bright);
// Saw stack: five detuned saws spread across the stereo field, low-passed at
// `cutoffHz`, rising over `attackSeconds` and sounding for length plus
// `releaseSeconds`.
void renderSawStack(StereoBuffer& out, long start, long length, double pitch, float gain,
                    double cutoffHz, double attackSeconds, double releaseSeconds);
// Pad: a saw stack with a slow attack and release.
void renderPad(StereoBuffer& out, long start, long length, double pitch, float gain,
               double cutoffHz);
// Pluck for stabs and arpeggios: saw and square through a closing filter.
void renderPluck(StereoBuffer& out, long start, double pitch, float gain, float pan,
                 double decaySeconds, double brightHz);
// Soft bell (two-operator FM) whose fundamental dominates after the strike;
// `brightness` is the initial modulation index (0 = pure sine).
void renderBell(StereoBuffer& out, long start, double pitch, float gain, float pan,
                double decaySeconds, double brightness);
// Mallet: a struck wooden bar. A sine at the pitch that bends down onto it
// in the first milliseconds and holds for 30 ms before it decays, the bar's first overtone near
// four times the pitch dying away quickly, and a short knock of the mallet.
void renderMallet(StereoBuffer& out, long start, double pitch, float gain, float pan,
                  double decaySeconds, uint32_t seed);
// Lead: two detuned saws and a sub-octave square with delayed vibrato.
void renderLead(StereoBuffer& out, long start, long length, double pitch, float gain,
                double cutoffHz);

// Acid line: one saw through a resonant low-pass that opens with the note
// (more for a larger `accent`, 0..1) and settles at `cutoffHz`, lightly driven.
void renderAcid(StereoBuffer& out, long start, long length, double pitch, float gain,
                double cutoffHz, float accent, float pan);
// Tom: a sine that falls onto its pitch, with a short knock of noise.
void renderTom(StereoBuffer& out, long start, double pitch, float gain, float pan, uint32_t seed);
// Ride: a cluster of six square waves at inharmonic pitches and some noise,
// high-passed, ringing for about a second.
void renderRide(StereoBuffer& out, long start, float gain, float pan, uint32_t seed);

// Riser: filtered noise sweeping upwards, growing louder until its end.
void renderRiser(StereoBuffer& out, long start, long length, float gain, uint32_t seed);
// Impact: a deep falling boom with a noise crash, for the section turns.
void renderImpact(StereoBuffer& out, long start, float gain, uint32_t seed);
// Whoosh: a noise band sweeping up and down while moving across the stereo
// field, `length` samples long.
void renderWhoosh(StereoBuffer& out, long start, long length, float gain, uint32_t seed);

}  // namespace synth
