// The arrangement of the soundtrack: which instrument plays what, when, and
// how the buses are mixed. Times are in seconds; a bar is two seconds.
//
//   0-20    opening: pads fade in under a bell pulse and a knock on every
//           second, a soft kick and a filtered arpeggio join, a riser into
//           the drop
//   20-36   the drop: full drums, rolling bass, chord stabs, the main theme
//   36-68   the tunnel groove: its own progression, syncopated ticks, a
//           sixteenth bass, a ping-pong arpeggio, a second theme from 44
//   68-100  the bass drive: a heavy bass note on every kick (80-100 Hz)
//   100-131.5 the peak of the tunnel, the developed theme, a long build that
//           breaks off at 131.5 into a second of near silence
//   132-148 the calm: pads and a slow bell melody, no drums
//   148-196 the rebuild, layer by layer every eight seconds, to the climax
//   196-205 the last chord, fading to silence from 198 to 205
#include "score.h"

#include <algorithm>
#include <cassert>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <initializer_list>
#include <string>

#include "effects.h"
#include "instruments.h"

namespace synth {

namespace {

constexpr double kBar = 2.0;
constexpr double kSixteenth = 0.125;
constexpr int kBars = 103;          // 206 s, so the last bar covers the end of the track
constexpr float kCeiling = 0.891f;  // -1 dBFS: leaves room for the MP3 encoder's overshoot

long at(double seconds) { return std::lround(seconds * kSampleRate); }

bool within(double t, double from, double to) { return t >= from && t < to; }

// ---- Harmony ---------------------------------------------------------------

enum ChordName { Fm, Db, Ab, Eb, Cm };

struct Chord {
  int bass;     // root in the second octave (F2 = 41 sounds at 87 Hz)
  int pad[3];   // close voicing around F4
  int stab[4];  // stab voicing: always F4 on top of the chord's own notes
};

const Chord kChords[] = {
    {41, {60, 65, 68}, {65, 68, 72, 77}},  // F minor
    {37, {61, 65, 68}, {65, 68, 73, 77}},  // D flat
    {44, {60, 63, 68}, {65, 68, 72, 75}},  // A flat (F4 makes it A flat six)
    {39, {58, 63, 67}, {65, 67, 70, 75}},  // E flat (F4 makes it E flat add nine)
    {36, {60, 63, 67}, {65, 67, 72, 75}},  // C minor
};

// The chord of every bar of the track.
std::vector<ChordName> chordPlan() {
  std::vector<ChordName> bars;
  auto add = [&bars](std::initializer_list<ChordName> chords, int barsPerChord, int repeats) {
    for (int r = 0; r < repeats; ++r)
      for (ChordName c : chords)
        for (int b = 0; b < barsPerChord; ++b) bars.push_back(c);
  };
  add({Fm, Db, Ab, Eb}, 2, 1);   // 0-16 opening, two bars a chord
  add({Db, Eb}, 1, 1);           // 16-20 the turn into the drop
  add({Fm, Db, Ab, Eb}, 1, 2);   // 20-36 the drop
  add({Db, Eb, Cm, Fm}, 1, 4);   // 36-68 the tunnel groove
  add({Fm, Db, Ab, Eb}, 1, 6);   // 68-116 the bass drive and the tunnel's peak
  add({Db, Eb, Cm, Fm}, 1, 1);   // 116-124
  add({Fm, Db, Ab, Eb}, 1, 1);   // 124-132 the last build
  add({Db, Ab, Eb, Fm}, 2, 1);   // 132-148 the calm
  add({Fm, Db, Ab, Eb}, 1, 12);  // 148-196 rebuild and climax
  add({Fm}, 1, 5);               // 196-206 the last chord
  assert(bars.size() == kBars && "the chord plan must cover every bar");
  return bars;
}

const Chord& chordAt(const std::vector<ChordName>& plan, double t) {
  int bar = std::clamp(static_cast<int>(t / kBar), 0, kBars - 1);
  return kChords[plan[bar]];
}

// ---- Melodies ----------------------------------------------------------------

// Melodies are written as "NOTE LENGTH" pairs with lengths in sixteenths,
// "r" for a rest and "|" between bars for the reader.
struct MelodyNote {
  double start;   // seconds from the melody's start
  double length;  // seconds
  int pitch;      // MIDI note, 0 for a rest
};

int parsePitch(const std::string& name) {
  if (name == "r") return 0;
  static const int kLetters[7] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
  assert(name.size() >= 2 && name[0] >= 'A' && name[0] <= 'G' && "bad note name");
  int pitch = kLetters[name[0] - 'A'];
  size_t i = 1;
  if (name[i] == 'b') pitch -= 1, ++i;
  if (name[i] == '#') pitch += 1, ++i;
  int octave = std::atoi(name.c_str() + i);
  return 12 * (octave + 1) + pitch;
}

std::vector<MelodyNote> parseMelody(const std::string& text) {
  std::vector<MelodyNote> notes;
  size_t pos = 0;
  int sixteenths = 0;
  auto nextWord = [&]() {
    while (pos < text.size() &&
           (std::isspace(static_cast<unsigned char>(text[pos])) || text[pos] == '|'))
      ++pos;
    size_t begin = pos;
    while (pos < text.size() && !std::isspace(static_cast<unsigned char>(text[pos])) &&
           text[pos] != '|')
      ++pos;
    return text.substr(begin, pos - begin);
  };
  for (std::string name = nextWord(); !name.empty(); name = nextWord()) {
    int length = std::atoi(nextWord().c_str());
    assert(length > 0 && "every melody note needs a length");
    notes.push_back({sixteenths * kSixteenth, length * kSixteenth, parsePitch(name)});
    sixteenths += length;
  }
  assert(sixteenths % 16 == 0 && "a melody fills whole bars");
  return notes;
}

// The main theme over F minor, D flat, A flat, E flat (eight bars).
const char* const kThemeA =
    "C5 3 Ab4 3 F4 2 G4 4 Ab4 4 | F5 6 Eb5 2 Db5 4 C5 4 | C5 4 Eb5 4 Ab4 4 C5 4 | Bb4 8 G4 4 Bb4 4 "
    "|"
    "C5 3 Ab4 3 F4 2 G4 4 Ab4 4 | F5 6 Eb5 2 Db5 4 F5 4 | Eb5 6 C5 2 Ab4 4 C5 4 | Bb4 4 C5 4 Db5 4 "
    "Eb5 4";
// The main theme developed: higher, busier, reaching C6.
const char* const kThemeA2 =
    "F5 3 C5 3 Ab4 2 C5 2 Db5 2 C5 4 | F5 3 Ab5 3 F5 2 Eb5 4 Db5 4 | Eb5 3 C5 3 Ab4 2 Bb4 2 C5 2 "
    "Eb5 4 |"
    "G5 6 F5 2 Eb5 4 Bb4 4 | C5 3 F5 3 Ab5 2 G5 4 F5 4 | Ab5 6 G5 2 F5 4 Db5 4 | Eb5 3 F5 3 G5 2 "
    "Ab5 4 C6 4 |"
    "Bb5 8 G5 4 Eb5 4";
// The tunnel's theme over D flat, E flat, C minor, F minor: repeated notes
// on a three-three-two rhythm.
const char* const kThemeB =
    "F5 3 F5 3 Eb5 2 Db5 4 C5 4 | Eb5 3 Eb5 3 Db5 2 C5 4 Bb4 4 | C5 3 C5 3 Bb4 2 G4 4 Eb5 4 | F5 6 "
    "C5 2 Ab4 4 r 4 |"
    "Ab5 3 F5 3 Eb5 2 Db5 4 F5 4 | G5 3 Eb5 3 Db5 2 C5 4 Eb5 4 | G5 3 Eb5 3 C5 2 Bb4 4 G4 4 | F4 4 "
    "Ab4 4 C5 4 F5 4";
// Long notes over the bass drive.
const char* const kThemeC =
    "Ab5 8 G5 4 F5 4 | F5 12 r 4 | Eb5 8 F5 4 G5 4 | G5 12 r 4 |"
    "Ab5 8 Bb5 4 C6 4 | Db6 8 C6 4 Ab5 4 | C6 8 Bb5 4 Ab5 4 | G5 16";
// The calm's slow melody, two bars a chord over D flat, A flat, E flat, F minor.
const char* const kThemeCalm =
    "F5 8 Ab5 8 | F5 8 Eb5 4 Db5 4 | C5 12 Eb5 4 | Ab5 16 | G5 8 F5 8 | Eb5 8 Bb4 8 | C5 16 | F5 "
    "16";

// ---- The buses ---------------------------------------------------------------

struct Buses {
  explicit Buses(size_t frames)
      : kick(frames),
        drums(frames),
        bassRolling(frames),
        bassDrive(frames),
        pads(frames),
        keys(frames),
        arp(frames),
        lead(frames),
        fx(frames) {}
  StereoBuffer kick;         // the kick and its knock, not ducked
  StereoBuffer drums;        // claps, hats, ticks
  StereoBuffer bassRolling;  // off-beat bass, ducked hard under the kick
  StereoBuffer bassDrive;    // bass that hits with the kick, not ducked
  StereoBuffer pads;
  StereoBuffer keys;  // bells and stabs, on the beat
  StereoBuffer arp;
  StereoBuffer lead;
  StereoBuffer fx;  // risers and impacts
};

bool bassDrives(double t) { return within(t, 68.0, 131.5) || t >= 180.0; }

bool drumsPlay(double t) { return within(t, 12.0, 131.5) || within(t, 148.0, 206.0); }

float kickGain(double t) {
  // Light up to 36 s, where the knock shares the beat (writeDrums): the
  // limiter holds each beat's peak, so level the kick adds there is taken
  // from the knock.
  if (t < 20.0) return 0.4f + 0.1f * static_cast<float>((t - 12.0) / 8.0);
  if (within(t, 20.0, 36.0)) return 0.45f;
  if (within(t, 148.0, 156.0)) return 0.78f;
  return 0.9f;
}

// Plays the notes of `melody` (started at `start`) that begin in [from, end).
void playMelody(StereoBuffer& bus, const char* melody, double start, int transpose, float gain,
                double cutoffHz, double from = 0.0, double end = 1e9) {
  for (const MelodyNote& note : parseMelody(melody)) {
    double t = start + note.start;
    if (note.pitch == 0 || t < from || t >= end) continue;
    double length = std::min(note.length * 0.92, end - t);
    renderLead(bus, at(t), at(length), note.pitch + transpose, gain, cutoffHz);
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

void writeDrums(Buses& b, const std::vector<long>& kicks) {
  for (long k : kicks) {
    // Where a bass note hits with every kick, the kick stays short so the two
    // low tones do not beat against each other.
    double t = static_cast<double>(k) / kSampleRate;
    renderKick(b.kick, k, kickGain(t), bassDrives(t) ? 0.09 : 0.3);
  }
  // Up to 36 s the rings follow band 8, where F4 lies, and must read 0.5 or
  // more on every beat. A knock, a short dry pure F4, marks each second
  // there; it fuses with the kick, so the bells need not be louder.
  for (int second = 0; second < 36; ++second)
    renderBell(b.kick, at(second), 65, second < 20 ? 0.5f : 0.8f, 0.0f, 0.12, 0.0);
  uint32_t seed = 1;
  for (int step = 0; step < kBars * 16; ++step) {
    double t = step * kSixteenth;
    int inBeat = step % 4;  // sixteenth within the beat
    int inBar = step % 16;  // sixteenth within the bar
    if (!drumsPlay(t)) continue;
    bool full = within(t, 20.0, 131.5) || t >= 156.0;
    bool tunnel = within(t, 36.0, 68.0) || within(t, 100.0, 131.5);
    // Clap on beats 2 and 4; the tunnel groove keeps it out until 44 s.
    bool clap = full && !within(t, 36.0, 44.0) && !within(t, 64.0, 68.0);
    if (clap && inBar % 8 == 4) renderClap(b.drums, at(t), 0.55f, seed);
    // Hats: off-beat eighths from 12 s, sixteenths once the drums are full.
    if (inBeat == 2) {
      float gain =
          t < 20.0 ? 0.05f + 0.1f * static_cast<float>((t - 12.0) / 8.0) : (full ? 0.24f : 0.12f);
      bool open = full && t >= 100.0 && inBar == 14;
      renderHat(b.drums, at(t), gain, open, 0.15f, seed);
    } else if (full && t >= 20.0) {
      renderHat(b.drums, at(t), inBeat == 0 ? 0.07f : 0.1f, false, -0.2f, seed);
    }
    // The tunnel's syncopated ticks, swinging between the speakers.
    if (tunnel && (inBar == 3 || inBar == 6 || inBar == 10 || inBar == 13 || inBar == 15))
      renderTick(b.drums, at(t), 0.3f, inBar % 2 ? 0.6f : -0.6f, seed);
    seed += 7;
  }
  snareRoll(b.drums, 18.0, 20.0, 0.05f, 0.45f, 9001);
  snareRoll(b.drums, 35.0, 36.0, 0.2f, 0.5f, 9101);
  snareRoll(b.drums, 66.0, 68.0, 0.1f, 0.5f, 9201);
  snareRoll(b.drums, 98.0, 100.0, 0.1f, 0.5f, 9301);
  snareRoll(b.drums, 128.0, 131.5, 0.05f, 0.55f, 9401);
  snareRoll(b.drums, 178.0, 180.0, 0.1f, 0.5f, 9501);
}

void writeBass(Buses& b, const std::vector<ChordName>& plan) {
  for (int step = 0; step < kBars * 16; ++step) {
    double t = step * kSixteenth;
    int inBeat = step % 4;
    int root = chordAt(plan, t).bass;
    bool secondBeat = step % 8 >= 4;  // the second beat of each kick's second
    if (within(t, 20.0, 36.0) || within(t, 156.0, 180.0)) {
      // Rolling bass on the off-beat eighths.
      if (inBeat == 2)
        renderBass(b.bassRolling, at(t), at(0.2), root + (secondBeat ? 12 : 0), 0.34f, 0.6f);
    } else if (within(t, 36.0, 64.0)) {
      // The tunnel groove: three sixteenths after each beat, jumping octaves.
      if (inBeat != 0)
        renderBass(b.bassRolling, at(t), at(0.1), root + (inBeat == 2 ? 12 : 0), 0.32f, 0.7f);
    } else if (bassDrives(t)) {
      // The drive: a long low note with each kick, short octave notes between.
      bool onKick = step % 8 == 0;
      if (onKick) {
        renderBass(b.bassDrive, at(t), at(0.36), root, 0.62f, 0.35f);
      } else if (inBeat == 2 || (t >= 100.0 && t < 131.5 && step % 8 == 7)) {
        renderBass(b.bassDrive, at(t), at(0.1), root + 12, 0.26f, 0.8f);
      }
    }
  }
  // Long notes under the riser before the drive and through the calm.
  renderBass(b.bassRolling, at(64.0), at(4.0), 41, 0.22f, 0.1f);
  for (double t = 132.0; t < 148.0; t += 4.0)
    renderBass(b.bassRolling, at(t + 0.5), at(3.4), chordAt(plan, t).bass, 0.16f, 0.0f);
}

// Pad level and brightness through the show.
void padStyle(double t, float& gain, double& cutoff) {
  if (t < 20.0) {
    double x = t / 20.0;
    gain = static_cast<float>(0.25 + 0.35 * x);
    cutoff = 500.0 + 2000.0 * x * x;
  } else if (t < 36.0) {
    gain = 0.55f, cutoff = 3200.0;
  } else if (t < 52.0) {
    gain = 0.35f, cutoff = 1400.0;
  } else if (t < 68.0) {
    gain = 0.45f, cutoff = 2400.0;
  } else if (t < 100.0) {
    gain = 0.35f, cutoff = 2000.0;
  } else if (t < 132.0) {
    gain = 0.5f, cutoff = 3600.0;
  } else if (t < 148.0) {
    gain = 0.7f, cutoff = 1800.0;
  } else if (t < 180.0) {
    gain = 0.4f + 0.15f * static_cast<float>((t - 148.0) / 32.0),
    cutoff = 1600.0 + 60.0 * (t - 148.0);
  } else {
    gain = 0.55f, cutoff = 4000.0;
  }
}

void writePads(Buses& b, const std::vector<ChordName>& plan) {
  // One pad note per run of bars with the same chord, so held chords do not
  // restart every bar. The pads stop for the break at 131.5 s.
  int bar = 0;
  while (bar < kBars) {
    int end = bar + 1;
    while (end < kBars && plan[end] == plan[bar] && end * kBar != 132.0 && end * kBar != 148.0)
      ++end;
    double from = bar * kBar;
    double to = end * kBar;
    if (from < 131.5 && to > 131.5) to = 131.5;
    float gain;
    double cutoff;
    padStyle(from, gain, cutoff);
    const Chord& chord = kChords[plan[bar]];
    for (int pitch : chord.pad)
      renderPad(b.pads, at(from), at(to - from - 0.05), pitch, gain, cutoff);
    renderPad(b.pads, at(from), at(to - from - 0.05), chord.bass + 24, 0.6f * gain, cutoff);
    bar = end;
  }
}

void writeKeys(Buses& b, const std::vector<ChordName>& plan) {
  for (int second = 0; second < 206; ++second) {
    double t = second;
    const Chord& chord = chordAt(plan, t);
    float pan = second % 2 ? 0.4f : -0.4f;
    if (t < 20.0 || within(t, 148.0, 164.0)) {
      // The pulse: a near-sine F4 on every second with a chord tone above it.
      // In the opening the chord tone is softer: it peaks with the knock, and
      // the limiter would take that level from the F4.
      bool opening = t < 20.0;
      float gain = opening ? 0.55f + 0.2f * static_cast<float>(t / 20.0) : 0.35f;
      renderBell(b.keys, at(t), 65, gain, 0.0f, 0.35, 0.5);
      renderBell(b.keys, at(t), chord.stab[1 + second % 2], (opening ? 0.3f : 0.6f) * gain, pan,
                 0.3, 0.8);
    }
    if (within(t, 20.0, 36.0)) renderBell(b.keys, at(t), 65, 0.75f, 0.0f, 0.25, 0.4);
    // Chord stabs on the kicks where the rings follow the music's middle.
    if (within(t, 20.0, 36.0) || within(t, 92.0, 100.0) || within(t, 164.0, 196.0)) {
      for (int i = 0; i < 4; ++i)
        renderPluck(b.keys, at(t), chord.stab[i], i == 0 ? 0.22f : 0.1f, 0.3f * (i - 1.5f), 0.16,
                    2600.0);
    }
  }
  // The calm's slow melody on the bells, under a soft echo.
  for (const MelodyNote& note : parseMelody(kThemeCalm)) {
    if (note.pitch == 0) continue;
    renderBell(b.keys, at(132.0 + note.start), note.pitch, 0.3f, 0.1f, 0.9, 1.2);
    renderBell(b.keys, at(132.0 + note.start), note.pitch - 12, 0.12f, -0.3f, 1.2, 1.2);
  }
}

void writeArpeggio(Buses& b, const std::vector<ChordName>& plan) {
  static const int kPattern[8] = {0, 1, 2, 3, 2, 1, 3, 1};
  for (int step = 0; step < kBars * 16; ++step) {
    double t = step * kSixteenth;
    bool opening = within(t, 8.0, 20.0);
    if (!(opening || within(t, 36.0, 68.0) || within(t, 100.0, 131.5) || within(t, 164.0, 196.0)))
      continue;
    const Chord& chord = chordAt(plan, t);
    int index = kPattern[step % 8];
    int pitch = index < 3 ? chord.pad[index] + 12 : chord.pad[0] + 24;
    double bright = opening ? 200.0 + 2200.0 * (t - 8.0) / 12.0 : 1800.0;
    float gain = opening ? 0.06f + 0.06f * static_cast<float>((t - 8.0) / 12.0) : 0.11f;
    renderPluck(b.arp, at(t), pitch, gain, step % 2 ? 0.35f : -0.35f, 0.09, bright);
  }
}

void writeLead(Buses& b) {
  playMelody(b.lead, kThemeA, 20.0, 12, 0.13f, 2600.0);
  playMelody(b.lead, kThemeB, 44.0, 0, 0.15f, 2400.0);
  playMelody(b.lead, kThemeB, 60.0, 12, 0.12f, 2800.0, 60.0, 64.0);
  playMelody(b.lead, kThemeC, 68.0, 0, 0.15f, 2200.0);
  playMelody(b.lead, kThemeA, 84.0, 0, 0.16f, 2800.0);
  playMelody(b.lead, kThemeA2, 100.0, 0, 0.16f, 3200.0);
  playMelody(b.lead, kThemeA2, 100.0, -12, 0.08f, 2000.0);
  playMelody(b.lead, kThemeB, 116.0, 12, 0.12f, 3000.0, 116.0, 124.0);
  // The second half of the developed theme leads into the break.
  playMelody(b.lead, kThemeA2, 116.0, 0, 0.16f, 3200.0, 124.0, 131.5);
  playMelody(b.lead, kThemeB, 164.0, 0, 0.14f, 2600.0, 164.0, 172.0);
  playMelody(b.lead, kThemeA, 172.0, 12, 0.12f, 3000.0, 172.0, 180.0);
  playMelody(b.lead, kThemeA2, 180.0, 0, 0.16f, 3400.0);
  playMelody(b.lead, kThemeA2, 180.0, 12, 0.07f, 4000.0);
  renderLead(b.lead, at(196.0), at(8.5), 77, 0.14f, 2400.0);
  renderLead(b.lead, at(196.0), at(8.5), 72, 0.1f, 2000.0);
}

void writeEffects(Buses& b) {
  struct Riser {
    double from, to;
    float gain;
  };
  const Riser risers[] = {{16.0, 20.0, 0.3f},   {32.0, 36.0, 0.3f},   {64.0, 68.0, 0.35f},
                          {96.0, 100.0, 0.35f}, {124.0, 131.5, 0.4f}, {144.0, 148.0, 0.25f},
                          {176.0, 180.0, 0.35f}};
  uint32_t seed = 500;
  for (const Riser& r : risers) renderRiser(b.fx, at(r.from), at(r.to - r.from), r.gain, seed++);
  // Impacts on the big turns, lighter crashes on the other section starts.
  for (double t : {20.0, 36.0, 68.0, 100.0, 148.0, 180.0, 196.0})
    renderImpact(b.fx, at(t), 0.55f, seed++);
  for (double t :
       {28.0, 44.0, 52.0, 60.0, 84.0, 92.0, 108.0, 116.0, 124.0, 156.0, 164.0, 172.0, 188.0})
    renderImpact(b.fx, at(t), 0.3f, seed++);
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
  writeDrums(b, kicks);
  writeBass(b, plan);
  writePads(b, plan);
  writeKeys(b, plan);
  writeArpeggio(b, plan);
  writeLead(b);
  writeEffects(b);

  std::vector<float> curve = kickCurve(kicks, frames, 0.42);
  duck(b.bassRolling, curve, 0.95f);
  duck(b.pads, curve, 0.6f);
  duck(b.arp, curve, 0.35f);
  duck(b.lead, curve, 0.2f);
  duck(b.drums, curve, 0.15f);

  StereoBuffer reverbSend(frames), echoSend(frames);
  mixInto(reverbSend, b.drums, 0.25f);
  mixInto(reverbSend, b.pads, 0.5f);
  mixInto(reverbSend, b.keys, 0.45f);
  mixInto(reverbSend, b.arp, 0.3f);
  mixInto(reverbSend, b.lead, 0.35f);
  mixInto(reverbSend, b.fx, 0.5f);
  mixInto(echoSend, b.lead, 0.35f);
  mixInto(echoSend, b.arp, 0.5f);
  mixInto(echoSend, b.keys, 0.15f);

  // The kick, the driving bass and the bells at full level; everything else
  // sits lower, so the beat reads clearly in the spectrum.
  const float kBed = 0.5f;
  StereoBuffer mix(frames);
  mixInto(mix, b.kick, 1.0f);
  mixInto(mix, b.drums, kBed);
  mixInto(mix, b.bassRolling, kBed);
  mixInto(mix, b.bassDrive, 1.0f);
  mixInto(mix, b.pads, kBed);
  mixInto(mix, b.keys, 1.0f);
  mixInto(mix, b.arp, kBed);
  mixInto(mix, b.lead, kBed);
  mixInto(mix, b.fx, kBed);
  mixInto(mix, pingPongDelay(echoSend, at(0.375), 0.38f, 3500.0), 0.5f * kBed);
  mixInto(mix, reverb(reverbSend, 0.84f, 0.35f), kBed);

  breakGate(mix);
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
  limit(sfx, kCeiling, 0.004, 0.12);
  fadeOut(sfx, 2.8, 3.0);
  return sfx;
}

}  // namespace synth
