// A failure that ends the show while it loads (a missing or broken image, no
// sound file): the caption and text of the message box that reports it. The
// loader returns it to its caller; the program shows it and exits with code 1.
#pragma once

#include <string>

struct LoadFailure {
  std::string title;
  std::string text;
};
