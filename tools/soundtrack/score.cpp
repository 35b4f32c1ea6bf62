// The arrangement of the soundtrack: which instrument plays what, when, and
// how the buses are mixed. Times are in seconds; a bar is two seconds.
//
//   0-12    intro: a soft pad, mallets that strike F4 on every second with
//           a figure on the chord between, a music box from 4 s and a
//           filtered arpeggio from 8 s
//   12-20   the kick enters with an impact, chord stabs answer it on the
//           half seconds, hats; the build into the drop from 16 s
//   20-36   the first drop: rolling bass, stabs, the main theme, a second
//           voice a third under it from 28
//   36-68   the tunnel groove: its own progression, ticks, a sixteenth bass,
//           a ping-pong arpeggio, the tunnel's theme from 44, an acid line
//           from 52 whose filter opens towards 68
//   68-100  the bass drive (a heavy note on every kick, 80-100 Hz) over new
//           chords (G flat, C major) and a long-note theme; the main theme
//           and a gated pad from 84, stabs from 92
//   100-131.5 the tunnel's peak: the developed theme, toms from 108, a rising
//           sequence from 116, the last build that breaks off at 131.5
//   132-148 the calm: a quiet pad and a slow bell melody, a low counter-line
//           from 140, no drums
//   148-164 the second drop: a falling progression (F minor, E flat, D flat,
//           C) under a new saw hook
//   164-180 the third drop: the tunnel's theme with a ride, doubled an
//           octave up from 172
//   180-196 the climax a whole tone higher, the developed theme in octaves
//   196-205 the last chord, G major, fading to silence from 198 to 205
//
// Every drop (20, 36, 68, 100, 148, 164, 180) is prepared by taking away: for
// the two bars before it the drums and the bass stop, the music sinks under a
// closing low-pass while a riser climbs, and the last beat is silent, so the
// drop lands clearly louder than what led into it. The calm before 148 s is
// quiet already and keeps only the riser and the silent beat.
#include "score.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <initializer_list>
#include <iterator>

#include "effects.h"
#include "instruments.h"
#include "melodies.h"

namespace synth {

namespace {

constexpr double kBar = 2.0;
constexpr double kSixteenth = 0.125;
constexpr int kBars = 103;                // 206 s, so the last bar covers the end of the track
constexpr float kCeiling = 0.841f;        // -1.5 dBFS, true peak: keeps the MP3 below -1 dBFS
constexpr float kEffectCeiling = 0.891f;  // -1 dBFS for the short sound effect

long at(double seconds) { return std::lround(seconds * kSampleRate); }

bool within(double t, double from, double to) { return t >= from && t < to; }

// The drops, and the length of the build before each.
constexpr double kDrops[] = {20.0, 36.0, 68.0, 100.0, 148.0, 164.0, 180.0};
constexpr double kBuild = 2 * kBar;
// The last beat before a drop is silent.
constexpr double kHush = 0.5;

bool isDrop(double t) {
  return std::find(std::begin(kDrops), std::end(kDrops), t) != std::end(kDrops);
}

// Whether the band thins out before `drop`: not before 148 s, which follows
// the calm.
bool thinsOut(double drop) { return drop != 148.0; }

// Within the two bars before a drop where the band thins out.
bool building(double t) {
  for (double drop : kDrops)
    if (thinsOut(drop) && within(t, drop - kBuild, drop)) return true;
  return false;
}

// ---- Harmony ---------------------------------------------------------------

enum ChordName { Fm, Db, Ab, Eb, Cm, C, Gb, Bbm, F };

struct Chord {
  int bass;     // root in the second octave (F2 = 41 sounds at 87 Hz)
  int pad[3];   // close voicing around F4
  int stab[4];  // stab voicing, low note first
};

const Chord kChords[] = {
    {41, {60, 65, 68}, {65, 68, 72, 77}},  // F minor
    {37, {61, 65, 68}, {65, 68, 73, 77}},  // D flat
    {44, {60, 63, 68}, {65, 68, 72, 75}},  // A flat (F4 makes it A flat six)
    {39, {58, 63, 67}, {65, 67, 70, 75}},  // E flat (F4 makes it E flat add nine)
    {36, {60, 63, 67}, {65, 67, 72, 75}},  // C minor
    {36, {58, 64, 67}, {64, 67, 70, 72}},  // C major with its seventh
    {42, {61, 66, 70}, {66, 70, 73, 77}},  // G flat (F5 makes it G flat major seven)
    {34, {61, 65, 70}, {65, 70, 73, 77}},  // B flat minor
    {41, {60, 65, 69}, {65, 69, 72, 77}},  // F major, the last chord
};

// The chord of every bar of the track (in F minor; the climax sounds a tone higher).
std::vector<ChordName> chordPlan() {
  std::vector<ChordName> bars;
  auto add = [&bars](std::initializer_list<ChordName> chords, int barsPerChord, int repeats) {
    for (int r = 0; r < repeats; ++r)
      for (ChordName c : chords)
        for (int b = 0; b < barsPerChord; ++b) bars.push_back(c);
  };
  add({Fm, Db, Ab, Eb}, 2, 1);                 // 0-16 intro, two bars a chord
  add({Db, Eb}, 1, 1);                         // 16-20 the turn into the drop
  add({Fm, Db, Ab, Eb}, 1, 2);                 // 20-36 the first drop
  add({Db, Eb, Cm, Fm}, 1, 4);                 // 36-68 the tunnel groove
  add({Fm, Db, Gb, C}, 2, 1);                  // 68-84 the bass drive's new colours
  add({Fm, Db, Fm, C, Fm, Db, Ab, Eb}, 1, 1);  // 84-100
  add({Fm, Db, Ab, Eb}, 1, 2);                 // 100-116 the tunnel's peak
  add({Bbm, C, Db, Eb}, 1, 1);                 // 116-124 rising
  add({Fm, Db, Eb, C}, 1, 1);                  // 124-132 the last build, onto C
  add({Db, Ab, Eb, Fm}, 2, 1);                 // 132-148 the calm
  add({Fm, Eb, Db, C}, 1, 2);                  // 148-164 the second drop
  add({Db, Eb, Cm, Fm}, 1, 2);                 // 164-180 the third drop
  add({Fm, Db, Ab, Eb, Fm, Db, Eb, C}, 1, 1);  // 180-196 the climax
  add({F}, 1, 5);                              // 196-206 the last chord
  assert(bars.size() == kBars && "the chord plan must cover every bar");
  return bars;
}

const Chord& chordAt(const std::vector<ChordName>& plan, double t) {
  int bar = std::clamp(static_cast<int>(t / kBar), 0, kBars - 1);
  return kChords[plan[bar]];
}

// Semitones every pitched part is raised by: the climax lifts a whole tone.
int keyAt(double t) { return t >= 180.0 ? 2 : 0; }

// ---- The buses ---------------------------------------------------------------

struct Buses {
  explicit Buses(size_t frames)
      : kick(frames),
        mallets(frames),
        drums(frames),
        bassRolling(frames),
        bassDrive(frames),
        pads(frames),
        gated(frames),
        keys(frames),
        arp(frames),
        acid(frames),
        lead(frames),
        hook(frames),
        fx(frames) {}
  StereoBuffer kick;         // not ducked
  StereoBuffer mallets;      // the F4 strikes of the opening and their figure, not ducked
  StereoBuffer drums;        // claps, hats, ticks, toms, ride
  StereoBuffer bassRolling;  // off-beat bass, ducked hard under the kick
  StereoBuffer bassDrive;    // bass that hits with the kick, not ducked
  StereoBuffer pads;
  StereoBuffer gated;  // a bright pad cut into sixteenths (84-100)
  StereoBuffer keys;   // bells, stabs and the music box
  StereoBuffer arp;
  StereoBuffer acid;
  StereoBuffer lead;
  StereoBuffer hook;  // the saw hook and chords of the last drops
  StereoBuffer fx;    // risers and impacts
};

bool bassDrives(double t) {
  return within(t, 68.0, 131.5) || within(t, 148.0, 164.0) || t >= 180.0;
}

bool drumsPlay(double t) {
  return (within(t, 12.0, 131.5) || within(t, 148.0, 206.0)) && !building(t);
}

// Drums at full strength (claps, sixteenth hats).
bool drumsFull(double t) { return within(t, 20.0, 131.5) || t >= 148.0; }

float kickGain(double t) {
  // Light up to 36 s, where the mallets' F4 shares the beat (writeMallets):
  // the limiter holds each beat's peak, so level the kick adds there is
  // taken from the F4.
  if (t < 36.0) return 0.52f;
  return 0.9f;
}

// Plays the notes of `melody` (started at `start`) that begin in [from, end).
void playMelody(StereoBuffer& bus, const char* melody, double start, int transpose, float gain,
                double cutoffHz, double from = 0.0, double end = 1e9) {
  for (const MelodyNote& note : parseMelody(melody)) {
    double t = start + note.start;
    if (note.pitch == 0 || t < from || t >= end) continue;
    double length = std::min(note.length * 0.92, end - t);
    renderLead(bus, at(t), at(length), note.pitch + transpose + keyAt(t), gain, cutoffHz);
  }
}

// A run of claps that grows louder, in sixteenths and then thirty-seconds
// for the last beat.
void snareRoll(StereoBuffer& bus, double from, double to, float gainFrom, float gainTo,
               uint32_t seed) {
  for (double t = from; t < to - 1e-9;) {
    float x = static_cast<float>((t - from) / (to - from));
    renderClap(bus, at(t), gainFrom + (gainTo - gainFrom) * x * x, seed++);
    t += (to - t) <= 0.5 + 1e-9 ? kSixteenth / 2 : kSixteenth;
  }
}

// Up to 36 s the rings follow band 8, where F4 lies, and must read 0.5 or
// more on every beat: mallets strike F4 on each whole second, loud and
// short, and between the strikes play a softer figure on the chord's tones
// above it (never near F4, so band 8 stays a beat). The figure is sparse in
// the intro, fills in from 8 s and runs whole from the kick's entry.
void writeMallets(Buses& b, const std::vector<ChordName>& plan) {
  // Which of the chord's three upper tones each sixteenth of the bar plays
  // (-1 rests); the strikes on 0 and 8 are F4. The figure falls three, three
  // and two sixteenths apart against the straight beat.
  static const int kFigure[16] = {-1, -1, -1, 1, -1, -1, 2, -1, -1, -1, 0, 1, -1, 2, 0, -1};
  static const int kSparse[16] = {-1, -1, -1, -1, -1, -1, 2, -1, -1, -1, -1, -1, -1, -1, 0, -1};
  uint32_t seed = 7000;
  for (int step = 0; step < 36 * 8; ++step) {
    double t = step * kSixteenth;
    int inBar = step % 16;
    if (inBar % 8 == 0) {
      // Where the kick shares the strike the limiter holds the two together,
      // so the strike is struck harder and rings longer there; alone it is
      // short and dry, which keeps the intro and the builds quiet. In the
      // builds the band is still loud as they begin, so it is struck a
      // little harder than in the intro.
      bool withKick = drumsPlay(t);
      float gain = withKick ? 1.7f : (building(t) ? 1.0f : 0.85f);
      renderMallet(b.mallets, at(t), 65, gain, 0.0f, withKick ? 0.12 : 0.03, seed++);
      continue;
    }
    // The figure thins out again in the builds.
    int tone = t < 8.0 || building(t) ? kSparse[inBar]
                                      : (t < 12.0 && inBar % 4 == 3 ? -1 : kFigure[inBar]);
    if (tone < 0) continue;
    // The chord's tones lifted into the octave above F4, lowest first.
    int upper[3];
    const Chord& chord = chordAt(plan, t);
    for (int i = 0; i < 3; ++i) upper[i] = 66 + ((chord.pad[i] - 66) % 12 + 12) % 12;
    std::sort(upper, upper + 3);
    if (upper[0] < 68) upper[0] += 12, std::sort(upper, upper + 3);
    float gain = t < 12.0 ? 0.06f + 0.08f * static_cast<float>(t / 12.0) : 0.26f;
    renderMallet(b.mallets, at(t), upper[tone], gain, tone == 1 ? -0.45f : 0.45f, 0.3, seed++);
  }
}

void writeDrums(Buses& b, const std::vector<ChordName>& plan, const std::vector<long>& kicks) {
  for (long k : kicks) {
    // Where a bass note hits with every kick, the kick stays short so the two
    // low tones do not beat against each other; up to 36 s it is fairly short
    // too, so the limiter gives the F4 pulse its level back within the beat.
    double t = static_cast<double>(k) / kSampleRate;
    renderKick(b.kick, k, kickGain(t), bassDrives(t) ? 0.09 : (t < 36.0 ? 0.15 : 0.3));
  }
  uint32_t seed = 1;
  for (int step = 0; step < kBars * 16; ++step) {
    double t = step * kSixteenth;
    int inBeat = step % 4;  // sixteenth within the beat
    int inBar = step % 16;  // sixteenth within the bar
    if (!drumsPlay(t)) continue;
    bool full = drumsFull(t);
    bool tunnel = within(t, 36.0, 68.0) || within(t, 100.0, 131.5);
    // Clap on beats 2 and 4.
    bool clap = full;
    if (clap && inBar % 8 == 4) renderClap(b.drums, at(t), 0.75f, seed);
    // Hats: off-beat eighths from 12 s, sixteenths once the drums are full.
    if (inBeat == 2) {
      float gain =
          t < 20.0 ? 0.1f + 0.15f * static_cast<float>((t - 12.0) / 8.0) : (full ? 0.32f : 0.16f);
      bool open = full && (t >= 92.0 && !within(t, 148.0, 156.0)) && inBar == 14;
      renderHat(b.drums, at(t), gain, open, 0.15f, seed);
    } else if (full) {
      renderHat(b.drums, at(t), inBeat == 0 ? 0.1f : 0.14f, false, -0.2f, seed);
    }
    // A shaker on the sixteenths between the beats of the first drop.
    if (within(t, 20.0, 36.0) && inBeat % 2 == 1)
      renderTick(b.drums, at(t), inBeat == 3 ? 0.3f : 0.2f, 0.3f, seed + 3);
    // The tunnel's syncopated ticks, swinging between the speakers.
    if (tunnel && (inBar == 3 || inBar == 6 || inBar == 10 || inBar == 13 || inBar == 15))
      renderTick(b.drums, at(t), 0.36f, inBar % 2 ? 0.6f : -0.6f, seed);
    // Toms on a three-three-two figure through the tunnel's peak and the climax.
    bool toms = within(t, 108.0, 131.5) || t >= 188.0;
    if (toms && (inBar == 3 || inBar == 6 || inBar == 11 || inBar == 14) && t < 196.0) {
      int pitch = chordAt(plan, t).bass + 24 + keyAt(t) + (inBar < 8 ? 0 : 7);
      renderTom(b.drums, at(t), pitch, 0.32f, inBar < 8 ? -0.5f : 0.5f, seed);
    }
    // A ride on every beat in the third drop and the climax.
    if (within(t, 164.0, 196.0) && inBeat == 0)
      renderRide(b.drums, at(t), inBar % 8 == 0 ? 0.2f : 0.14f, 0.35f, seed);
    seed += 7;
  }
  // The last build before the break keeps its roll.
  snareRoll(b.drums, 128.0, 131.5, 0.05f, 0.45f, 9401);
}

void writeBass(Buses& b, const std::vector<ChordName>& plan) {
  for (int step = 0; step < kBars * 16; ++step) {
    double t = step * kSixteenth;
    int inBeat = step % 4;
    int root = chordAt(plan, t).bass + keyAt(t);
    if (building(t)) continue;
    bool secondBeat = step % 8 >= 4;  // the second beat of each kick's second
    if (within(t, 20.0, 36.0) || within(t, 164.0, 180.0)) {
      // Rolling bass on the off-beat eighths; the note before each kick ends
      // early, so the kick's attack stands out of the low end.
      if (inBeat == 2)
        renderBass(b.bassRolling, at(t), at(secondBeat ? 0.14 : 0.2), root + (secondBeat ? 12 : 0),
                   t < 148.0 ? 0.34f : 0.42f, 0.6f);
    } else if (within(t, 36.0, 64.0)) {
      // The tunnel groove: three sixteenths after each beat, jumping octaves.
      if (inBeat != 0)
        renderBass(b.bassRolling, at(t), at(0.1), root + (inBeat == 2 ? 12 : 0), 0.32f, 0.7f);
    } else if (bassDrives(t) && t < 196.0) {
      // The drive: a long low note with each kick, short octave notes between.
      bool onKick = step % 8 == 0;
      if (onKick) {
        renderBass(b.bassDrive, at(t), at(t < 148.0 ? 0.36 : 0.42), root, 0.62f, 0.35f);
      } else if (inBeat == 2 || (t >= 100.0 && t < 131.5 && step % 8 == 7)) {
        renderBass(b.bassDrive, at(t), at(t < 148.0 ? 0.1 : 0.16), root + 12, 0.28f, 0.9f);
      }
    }
  }
  // Long notes through the calm and under the last chord.
  for (double t = 132.0; t < 148.0; t += 4.0)
    renderBass(b.bassRolling, at(t + 0.5), at(3.4), chordAt(plan, t).bass, 0.1f, 0.0f);
  renderBass(b.bassDrive, at(196.0), at(8.0), 41 + keyAt(196.0), 0.4f, 0.1f);
}

// Pad level and brightness through the show.
void padStyle(double t, float& gain, double& cutoff) {
  if (t < 12.0) {
    double x = t / 12.0;
    gain = static_cast<float>(0.11 + 0.08 * x);
    cutoff = 500.0 + 900.0 * x;
  } else if (t < 20.0) {
    gain = 0.35f, cutoff = 1400.0 + 300.0 * (t - 12.0);
  } else if (t < 36.0) {
    gain = 0.28f, cutoff = 4500.0;
  } else if (t < 52.0) {
    gain = 0.3f, cutoff = 2000.0;
  } else if (t < 68.0) {
    gain = 0.35f, cutoff = 3200.0;
  } else if (t < 100.0) {
    gain = 0.3f, cutoff = 2800.0;
  } else if (t < 132.0) {
    gain = 0.35f, cutoff = 4500.0;
  } else if (t < 148.0) {
    gain = 0.24f, cutoff = 1600.0;
  } else {
    gain = 0.55f, cutoff = 5000.0;
  }
}

void writePads(Buses& b, const std::vector<ChordName>& plan) {
  // One pad note per run of bars with the same chord, so held chords do not
  // restart every bar. The pads stop for the break at 131.5 s.
  int bar = 0;
  while (bar < kBars) {
    int end = bar + 1;
    while (end < kBars && plan[end] == plan[bar] && end * kBar != 132.0 && end * kBar != 148.0 &&
           end * kBar != 180.0)
      ++end;
    double from = bar * kBar;
    double to = end * kBar;
    if (from < 131.5 && to > 131.5) to = 131.5;
    float gain;
    double cutoff;
    padStyle(from, gain, cutoff);
    const Chord& chord = kChords[plan[bar]];
    int key = keyAt(from);
    for (int pitch : chord.pad)
      renderPad(b.pads, at(from), at(to - from - 0.05), pitch + key, gain, cutoff);
    renderPad(b.pads, at(from), at(to - from - 0.05), chord.bass + 24 + key, 0.6f * gain, cutoff);
    bar = end;
  }
  // The gated pad: the chords an octave up, bright, cut into sixteenths.
  for (double t = 84.0; t < 100.0; t += kBar) {
    const Chord& chord = chordAt(plan, t);
    for (int pitch : chord.pad)
      renderSawStack(b.gated, at(t), at(kBar), pitch + 12, 0.5f, 6000.0, 0.01, 0.05);
  }
  static const bool kOpen[16] = {1, 0, 1, 1, 0, 1, 1, 0, 1, 0, 1, 1, 0, 1, 0, 1};
  for (long i = at(84.0); i < std::min(static_cast<long>(b.gated.frames()), at(100.5)); ++i) {
    double t = static_cast<double>(i) / kSampleRate;
    int step = static_cast<int>(t / kSixteenth) % 16;
    double inStep = t - std::floor(t / kSixteenth) * kSixteenth;
    // Each open step fades in over 3 ms and out over its last 20 ms.
    float g =
        kOpen[step]
            ? static_cast<float>(std::min({1.0, inStep / 0.003, (kSixteenth - inStep) / 0.02}))
            : 0.0f;
    b.gated.left[i] *= g;
    b.gated.right[i] *= g;
  }
}

void writeKeys(Buses& b, const std::vector<ChordName>& plan) {
  // The music box from 4 s to 20 s.
  for (double start : {4.0, 12.0}) {
    for (const MelodyNote& note : parseMelody(kMusicBox)) {
      if (note.pitch == 0) continue;
      float pan = static_cast<int>(note.start * 4) % 2 ? 0.5f : -0.3f;
      renderBell(b.keys, at(start + note.start), note.pitch + 12, start < 12.0 ? 0.09f : 0.07f, pan,
                 0.5, 1.4);
    }
  }
  for (int half = 24; half < 412; ++half) {
    double t = 0.5 * half;
    const Chord& chord = chordAt(plan, t);
    int key = keyAt(t);
    // From the kick's entry to the tunnel, stabs on the half seconds in
    // G4..B4 (bands 9 to 11 of the spectrum the rings follow), answering
    // the mallets' F4 on the whole seconds.
    if (half % 2 == 1 && within(t, 12.0, 36.0) && !building(t)) {
      for (int pitch : chord.pad) {
        int p = 65 + ((pitch - 65) % 12 + 12) % 12;
        if (p > 71) continue;
        renderPluck(b.keys, at(t), p, t < 20.0 ? 0.6f : 0.45f, pitch % 2 ? 0.3f : -0.3f, 0.16,
                    4000.0);
      }
    }
    if (half % 2 == 1) continue;
    // Chord stabs on the kicks where the rings follow the music's middle;
    // up to 36 s the mallets strike their low F4 (a saw's F4 against the
    // mallet's sine would cancel part of band 8).
    if ((within(t, 20.0, 36.0) || within(t, 92.0, 100.0) || within(t, 164.0, 196.0)) &&
        !building(t)) {
      for (int i = t < 36.0 && chord.stab[0] == 65 ? 1 : 0; i < 4; ++i)
        renderPluck(b.keys, at(t), chord.stab[i] + key, i == 0 ? 0.22f : 0.12f, 0.3f * (i - 1.5f),
                    0.16, 3200.0);
    }
  }
  // The calm's slow melody on the bells, under a soft echo.
  for (const MelodyNote& note : parseMelody(kThemeCalm)) {
    if (note.pitch == 0) continue;
    renderBell(b.keys, at(132.0 + note.start), note.pitch, 0.18f, 0.1f, 0.9, 1.2);
    renderBell(b.keys, at(132.0 + note.start), note.pitch - 12, 0.07f, -0.3f, 1.2, 1.2);
  }
  // Bells ring the last chord.
  for (int i = 0; i < 4; ++i)
    renderBell(b.keys, at(196.0 + 0.25 * i), kChords[F].stab[i] + 12 + keyAt(196.0), 0.14f,
               0.4f * (i - 1.5f), 1.5, 1.0);
}

void writeArpeggio(Buses& b, const std::vector<ChordName>& plan) {
  static const int kPattern[8] = {0, 1, 2, 3, 2, 1, 3, 1};
  for (int step = 0; step < kBars * 16; ++step) {
    double t = step * kSixteenth;
    bool opening = within(t, 8.0, 20.0);
    if (!(opening || within(t, 36.0, 68.0) || within(t, 100.0, 131.5) || within(t, 156.0, 196.0)))
      continue;
    const Chord& chord = chordAt(plan, t);
    int index = kPattern[step % 8];
    int pitch = (index < 3 ? chord.pad[index] + 12 : chord.pad[0] + 24) + keyAt(t);
    double bright = opening ? 200.0 + 2200.0 * (t - 8.0) / 12.0 : 2600.0;
    float gain = opening ? 0.05f + 0.07f * static_cast<float>((t - 8.0) / 12.0) : 0.12f;
    renderPluck(b.arp, at(t), pitch, gain, step % 2 ? 0.35f : -0.35f, 0.09, bright);
  }
}

void writeAcid(Buses& b, const std::vector<ChordName>& plan) {
  // Semitones above the chord's root (in the third octave) per sixteenth; -1
  // rests. The accents fall on the syncopations.
  static const int kLine[16] = {0, 12, -1, 0, 7, -1, 12, 10, 0, -1, 12, 3, -1, 7, 12, 15};
  static const bool kAccent[16] = {1, 0, 0, 1, 0, 0, 1, 0, 0, 0, 1, 0, 0, 1, 0, 1};
  for (int step = 0; step < kBars * 16; ++step) {
    double t = step * kSixteenth;
    bool tunnel = within(t, 52.0, 64.0);
    bool third = within(t, 172.0, 180.0);
    int inBar = step % 16;
    if (!(tunnel || third) || kLine[inBar] < 0) continue;
    int pitch = chordAt(plan, t).bass + 12 + kLine[inBar] + keyAt(t);
    // The filter opens over the tunnel's last sixteen seconds.
    double cutoff = tunnel ? 300.0 + 1500.0 * (t - 52.0) / 12.0 : 1600.0;
    bool slide = inBar < 15 && kLine[inBar + 1] >= 0;
    renderAcid(b.acid, at(t), at(slide ? kSixteenth : 0.08), pitch, 0.2f, cutoff,
               kAccent[inBar] ? 1.0f : 0.3f, inBar % 2 ? 0.2f : -0.2f);
  }
}

void writeLead(Buses& b) {
  playMelody(b.lead, kThemeA, 20.0, 12, 0.18f, 4800.0);
  playMelody(b.lead, kThemeAUnder, 28.0, 12, 0.08f, 4000.0);
  playMelody(b.lead, kThemeB, 44.0, 0, 0.15f, 3800.0);
  playMelody(b.lead, kThemeB, 60.0, 12, 0.12f, 4400.0, 60.0, 64.0);
  playMelody(b.lead, kThemeC, 68.0, 0, 0.15f, 3600.0);
  playMelody(b.lead, kThemeC, 68.0, -12, 0.07f, 2400.0);
  playMelody(b.lead, kThemeA, 84.0, 0, 0.16f, 4200.0);
  playMelody(b.lead, kThemeA2Head, 100.0, 0, 0.16f, 4800.0);
  playMelody(b.lead, kThemeA2Tail, 108.0, 0, 0.16f, 4800.0);
  playMelody(b.lead, kThemeA2Head, 100.0, -12, 0.08f, 2400.0);
  playMelody(b.lead, kThemeA2Tail, 108.0, -12, 0.08f, 2400.0);
  playMelody(b.lead, kThemeRise, 116.0, 0, 0.15f, 5000.0);
  playMelody(b.lead, kThemeA2ToC, 124.0, 0, 0.16f, 5000.0, 124.0, 131.5);
  // The calm's low counter-line.
  playMelody(b.lead, kThemeCalmUnder, 140.0, 0, 0.08f, 900.0);
  playMelody(b.lead, kThemeB, 164.0, 0, 0.14f, 4200.0);
  playMelody(b.lead, kThemeB, 172.0, 12, 0.08f, 5000.0, 172.0, 180.0);
  playMelody(b.lead, kThemeA2Head, 180.0, 0, 0.16f, 5000.0);
  playMelody(b.lead, kThemeA2ToC, 188.0, 0, 0.16f, 5000.0);
  playMelody(b.lead, kThemeA2Head, 180.0, 12, 0.07f, 6000.0);
  playMelody(b.lead, kThemeA2ToC, 188.0, 12, 0.07f, 6000.0);
  renderLead(b.lead, at(196.0), at(8.5), 77 + keyAt(196.0), 0.14f, 2400.0);
  renderLead(b.lead, at(196.0), at(8.5), 72 + keyAt(196.0), 0.1f, 2000.0);
}

void writeHook(Buses& b, const std::vector<ChordName>& plan) {
  // The second drop's hook on a bright saw stack, and short saw chords on
  // the off-beat eighths under it and under the third drop and the climax.
  for (const MelodyNote& note : parseMelody(kThemeHook)) {
    if (note.pitch == 0) continue;
    renderLead(b.hook, at(148.0 + note.start), at(note.length * 0.85), note.pitch - 12, 0.12f,
               3000.0);
    renderSawStack(b.hook, at(148.0 + note.start), at(note.length * 0.85), note.pitch, 0.26f,
                   5500.0, 0.004, 0.12);
  }
  for (int step = 0; step < kBars * 16; ++step) {
    double t = step * kSixteenth;
    if (step % 4 != 2 || !(within(t, 148.0, 164.0) || within(t, 172.0, 196.0))) continue;
    for (int pitch : chordAt(plan, t).pad)
      renderSawStack(b.hook, at(t), at(0.14), pitch + keyAt(t), 0.16f, 4500.0, 0.003, 0.08);
  }
}

void writeEffects(Buses& b) {
  struct Riser {
    double from, to;
    float gain;
  };
  // Each drop's riser ends on the silent beat before it.
  const Riser risers[] = {{16.0, 20.0, 0.2f},   {32.0, 36.0, 0.2f},    {64.0, 68.0, 0.35f},
                          {96.0, 100.0, 0.35f}, {124.0, 131.5, 0.32f}, {144.0, 148.0, 0.3f},
                          {160.0, 164.0, 0.3f}, {176.0, 180.0, 0.4f}};
  uint32_t seed = 500;
  for (const Riser& r : risers) {
    double end = isDrop(r.to) ? r.to - kHush : r.to;
    renderRiser(b.fx, at(r.from), at(end - r.from), r.gain, seed++);
  }
  // Impacts on the big turns, lighter crashes on the other section starts.
  for (double t : {12.0, 20.0, 36.0, 68.0, 100.0, 148.0, 164.0, 180.0, 196.0})
    renderImpact(b.fx, at(t), t < 36.0 ? 0.25f : 0.55f, seed++);
  for (double t : {28.0, 44.0, 52.0, 60.0, 84.0, 92.0, 108.0, 116.0, 124.0, 156.0, 172.0, 188.0})
    renderImpact(b.fx, at(t), t < 36.0 ? 0.2f : 0.3f, seed++);
}

// Master gain for the break: the music falls silent from 131.5 s, reverb
// tails included, and the calm fades in from 132 s.
void breakGate(StereoBuffer& mix) {
  for (size_t i = 0; i < mix.frames(); ++i) {
    double t = static_cast<double>(i) / kSampleRate;
    if (t < 131.45 || t >= 132.5) continue;
    double g = t < 131.6 ? (131.6 - t) / 0.15 : (t < 132.0 ? 0.0 : (t - 132.0) / 0.5);
    g *= g;
    mix.left[i] *= static_cast<float>(g);
    mix.right[i] *= static_cast<float>(g);
  }
}

}  // namespace

std::vector<long> kickSamples(double seconds) {
  std::vector<long> kicks;
  for (int second = 0; second < seconds; ++second)
    if (drumsPlay(second)) kicks.push_back(static_cast<long>(second) * kSampleRate);
  return kicks;
}

StereoBuffer renderSoundtrack(double seconds) {
  size_t frames = static_cast<size_t>(at(std::min(seconds, kTrackSeconds)));
  std::vector<ChordName> plan = chordPlan();
  std::vector<long> kicks = kickSamples(seconds);
  Buses b(frames);
  writeMallets(b, plan);
  writeDrums(b, plan, kicks);
  writeBass(b, plan);
  writePads(b, plan);
  writeKeys(b, plan);
  writeArpeggio(b, plan);
  writeAcid(b, plan);
  writeLead(b);
  writeHook(b, plan);
  writeEffects(b);

  std::vector<float> curve = kickCurve(kicks, frames, 0.42);
  duck(b.bassRolling, curve, 0.95f);
  duck(b.pads, curve, 0.6f);
  duck(b.gated, curve, 0.5f);
  duck(b.arp, curve, 0.35f);
  duck(b.acid, curve, 0.4f);
  duck(b.lead, curve, 0.2f);
  duck(b.hook, curve, 0.3f);
  duck(b.drums, curve, 0.15f);

  StereoBuffer reverbSend(frames), echoSend(frames);
  mixInto(reverbSend, b.drums, 0.25f);
  mixInto(reverbSend, b.pads, 0.5f);
  mixInto(reverbSend, b.keys, 0.45f);
  mixInto(reverbSend, b.arp, 0.3f);
  mixInto(reverbSend, b.lead, 0.35f);
  mixInto(reverbSend, b.hook, 0.3f);
  mixInto(reverbSend, b.fx, 0.5f);
  mixInto(reverbSend, b.mallets, 0.2f);
  mixInto(echoSend, b.lead, 0.35f);
  mixInto(echoSend, b.arp, 0.5f);
  mixInto(echoSend, b.acid, 0.3f);
  mixInto(echoSend, b.keys, 0.15f);
  mixInto(echoSend, b.mallets, 0.1f);

  // The kick, the driving bass, the mallets and the bells at full level;
  // everything else sits lower, so the beat reads clearly in the spectrum.
  // The builds close a low-pass over the band, echoes and reverb included;
  // the kick, the mallets and the risers stay open above it.
  const float kBed = 0.5f;
  StereoBuffer band(frames);
  mixInto(band, b.drums, kBed);
  mixInto(band, b.bassRolling, kBed);
  mixInto(band, b.bassDrive, 1.0f);
  mixInto(band, b.pads, kBed);
  mixInto(band, b.gated, kBed);
  mixInto(band, b.keys, 1.0f);
  mixInto(band, b.arp, kBed);
  mixInto(band, b.acid, kBed);
  mixInto(band, b.lead, kBed);
  mixInto(band, b.hook, kBed);
  mixInto(band, pingPongDelay(echoSend, at(0.375), 0.38f, 5000.0), 0.5f * kBed);
  mixInto(band, reverb(reverbSend, 0.84f, 0.3f), kBed);
  for (double drop : kDrops)
    if (thinsOut(drop)) sweepDown(band, drop - kBuild, drop - kHush, 12000.0, 300.0);
  StereoBuffer mix(frames);
  mixInto(mix, band, 1.0f);
  mixInto(mix, b.kick, 1.0f);
  mixInto(mix, b.mallets, 1.0f);
  mixInto(mix, b.fx, kBed);

  // Brighter above 1.8 kHz, and nothing much above 14 kHz, which the MP3
  // encoder would cut and turn into peaks between the samples.
  highShelf(mix, 1800.0, 5.0);
  lowPass(mix, 14000.0);
  breakGate(mix);
  for (double drop : kDrops) silence(mix, drop - kHush, drop);
  removeDc(mix);
  limit(mix, kCeiling, 0.004, 0.12);
  fadeOut(mix, 198.0, kTrackSeconds);
  return mix;
}

StereoBuffer renderSoundEffect() {
  StereoBuffer sfx(static_cast<size_t>(at(3.0)));
  renderWhoosh(sfx, 0, at(3.0), 0.9f, 0xB5E11u);
  StereoBuffer space = reverb(sfx, 0.8f, 0.4f);
  mixInto(sfx, space, 0.6f);
  removeDc(sfx);
  limit(sfx, kEffectCeiling, 0.004, 0.12);
  fadeOut(sfx, 2.8, 3.0);
  return sfx;
}

}  // namespace synth
