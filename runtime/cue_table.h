// The cue windows: time ranges that hand the part a cue value.
#pragma once

// Fills the 31 rows of demo.cueTable; the last active index becomes -1.
void fillCueTable();
// The value of the highest-numbered row whose closed range holds t, or 0.
// A match is remembered as the last active row.
int cueAt(double t);
