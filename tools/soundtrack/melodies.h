// The soundtrack's melodies, written as text, and the parser that turns
// them into notes. A melody is "NOTE LENGTH" pairs with lengths in
// sixteenths (a sixteenth is 0.125 s at 120 beats per minute), "r" for a
// rest and "|" between bars for the reader; every melody fills whole bars.
#pragma once

#include <string>
#include <vector>

namespace synth {

struct MelodyNote {
  double start;   // seconds from the melody's start
  double length;  // seconds
  int pitch;      // MIDI note, 0 for a rest
};

// The notes of `text`; asserts on a malformed melody (they are written here).
std::vector<MelodyNote> parseMelody(const std::string& text);

// The opening's music box, over D flat and A flat (four bars).
extern const char* const kMusicBox;
// The main theme over F minor, D flat, A flat, E flat (eight bars).
extern const char* const kThemeA;
// A third under the main theme's second half (four bars).
extern const char* const kThemeAUnder;
// The main theme developed, higher and busier: its first half, its second
// half, and the second half ending on C's E natural (four bars each).
extern const char* const kThemeA2Head;
extern const char* const kThemeA2Tail;
extern const char* const kThemeA2ToC;
// The tunnel's theme over D flat, E flat, C minor, F minor (eight bars).
extern const char* const kThemeB;
// Long notes over the bass drive's F minor, D flat, G flat, C (eight bars).
extern const char* const kThemeC;
// A rising sequence over B flat minor, C, D flat, E flat (four bars).
extern const char* const kThemeRise;
// The calm's slow melody over D flat, A flat, E flat, F minor (eight bars),
// and a low counter-line under its second half (four bars).
extern const char* const kThemeCalm;
extern const char* const kThemeCalmUnder;
// The second drop's hook over F minor, E flat, D flat, C (eight bars).
extern const char* const kThemeHook;

}  // namespace synth
