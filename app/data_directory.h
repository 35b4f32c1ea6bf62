// Finds the run-time data pack and makes it the working directory, so the
// show's relative paths ("Materials//...", "music//...") resolve.
#pragma once

#include <string>

// Tries, in order: the given folder, $TESSALY_DATA, data/ beside the
// executable, ../share/tessaly/ beside it. Returns the folder it entered, or
// an empty string after printing what was tried.
std::string enterDataDirectory(const std::string& requested);
