// The melodies of the soundtrack and the parser of their text.
#include "melodies.h"

#include <cassert>
#include <cctype>
#include <cstdlib>

namespace synth {

namespace {

constexpr double kSixteenth = 0.125;

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

}  // namespace

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

const char* const kMusicBox =
    "r 4 Ab5 4 r 4 F5 2 C6 2 | r 4 Bb5 4 r 4 Ab5 4 | r 4 C6 4 r 4 Eb6 2 C6 2 | r 4 Bb5 4 r 2 Ab5 2 "
    "G5 4";

const char* const kThemeA =
    "C5 3 Ab4 3 F4 2 G4 4 Ab4 4 | F5 6 Eb5 2 Db5 4 C5 4 | C5 4 Eb5 4 Ab4 4 C5 4 | Bb4 8 G4 4 Bb4 4 "
    "| C5 3 Ab4 3 F4 2 G4 4 Ab4 4 | F5 6 Eb5 2 Db5 4 F5 4 | Eb5 6 C5 2 Ab4 4 C5 4 | Bb4 4 C5 4 "
    "Db5 4 Eb5 4";

const char* const kThemeAUnder =
    "Ab4 3 F4 3 Db4 2 Eb4 4 F4 4 | Db5 6 C5 2 Bb4 4 Db5 4 | C5 6 Ab4 2 F4 4 Ab4 4 | G4 4 Ab4 4 "
    "Bb4 4 C5 4";

const char* const kThemeA2Head =
    "F5 3 C5 3 Ab4 2 C5 2 Db5 2 C5 4 | F5 3 Ab5 3 F5 2 Eb5 4 Db5 4 | Eb5 3 C5 3 Ab4 2 Bb4 2 C5 2 "
    "Eb5 4 | G5 6 F5 2 Eb5 4 Bb4 4";
const char* const kThemeA2Tail =
    "C5 3 F5 3 Ab5 2 G5 4 F5 4 | Ab5 6 G5 2 F5 4 Db5 4 | Eb5 3 F5 3 G5 2 Ab5 4 C6 4 | Bb5 8 G5 4 "
    "Eb5 4";
const char* const kThemeA2ToC =
    "C5 3 F5 3 Ab5 2 G5 4 F5 4 | Ab5 6 G5 2 F5 4 Db5 4 | Eb5 3 F5 3 G5 2 Ab5 4 C6 4 | Bb5 8 G5 4 "
    "E5 4";

const char* const kThemeB =
    "F5 3 F5 3 Eb5 2 Db5 4 C5 4 | Eb5 3 Eb5 3 Db5 2 C5 4 Bb4 4 | C5 3 C5 3 Bb4 2 G4 4 Eb5 4 | F5 6 "
    "C5 2 Ab4 4 r 4 | Ab5 3 F5 3 Eb5 2 Db5 4 F5 4 | G5 3 Eb5 3 Db5 2 C5 4 Eb5 4 | G5 3 Eb5 3 C5 2 "
    "Bb4 4 G4 4 | F4 4 Ab4 4 C5 4 F5 4";

const char* const kThemeC =
    "C6 8 Ab5 4 F5 4 | G5 8 Ab5 8 | F5 8 Db6 8 | C6 12 r 4 | Bb5 8 Db6 4 Gb5 4 | F5 8 Eb5 8 | E5 8 "
    "G5 4 Bb5 4 | C6 16";

const char* const kThemeRise =
    "F5 4 Db5 2 F5 2 Bb5 4 Ab5 4 | G5 4 E5 2 G5 2 C6 4 Bb5 4 | Ab5 4 F5 2 Ab5 2 Db6 4 C6 4 | Bb5 4 "
    "G5 2 Bb5 2 Eb6 4 Db6 4";

const char* const kThemeCalm =
    "F5 8 Ab5 8 | F5 8 Eb5 4 Db5 4 | C5 12 Eb5 4 | Ab5 16 | G5 8 F5 8 | Eb5 8 Bb4 8 | C5 16 | F5 "
    "16";
const char* const kThemeCalmUnder = "Bb3 16 | G3 8 Ab3 8 | Ab3 8 G3 8 | F3 8 C4 8";

const char* const kThemeHook =
    "C6 3 Ab5 3 F5 2 Ab5 2 C6 2 Eb6 4 | Bb5 3 G5 3 Eb5 2 G5 2 Bb5 2 C6 4 | Ab5 3 F5 3 Db5 2 F5 2 "
    "Ab5 2 Bb5 4 | G5 3 E5 3 C5 2 E5 2 G5 2 Bb5 4 | C6 3 Ab5 3 F5 2 Ab5 2 C6 2 F6 4 | Eb6 3 Bb5 3 "
    "G5 2 Bb5 2 Eb6 2 Db6 4 | C6 3 Ab5 3 F5 2 Ab5 2 C6 2 Db6 4 | C6 6 Bb5 2 G5 4 E5 4";

}  // namespace synth
