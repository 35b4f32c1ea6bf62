// The cue windows: time ranges that hand the part a cue value.
#pragma once

#include <cstdint>

constexpr int kCueRowCount = 31;

struct CueWindow {
  double start;
  double end;
  int32_t value;
};

struct CueTable {
  CueWindow rows[kCueRowCount] = {};
  int lastActive = -1;
};

// Fills the 31 rows of the table; the last active index becomes -1.
void fillCueTable(CueTable& table);
// The value of the highest-numbered row whose closed range holds t, or 0.
// A match is remembered as the last active row.
int cueAt(CueTable& table, double t);
