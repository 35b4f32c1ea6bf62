// The cue windows of the show, filled by code at startup.
#include "runtime/cue_table.h"

namespace {

// Rows are neither sorted nor disjoint; the highest matching row wins.
const CueWindow kCueRows[kCueRowCount] = {
    {80.0, 85.14, 1},       {85.14, 92.85, 2},      {92.85, 98.0, 3},       {104.94, 105.01, 4},
    {105.01, 105.134, 5},   {0.0, 80.0, 9},         {226.281, 227.281, 1},  {246.86, 250.282, 2},
    {227.281, 229.715, 3},  {274.329, 274.765, 21}, {274.765, 275.07, 21},  {275.07, 275.402, 21},
    {275.402, 276.031, 21}, {276.031, 276.356, 21}, {276.356, 276.688, 21}, {276.688, 277.752, 21},
    {277.752, 277.965, 21}, {277.965, 278.289, 21}, {278.289, 278.595, 21}, {278.595, 279.438, 21},
    {279.438, 280.102, 21}, {280.102, 280.741, 21}, {280.741, 281.178, 21}, {281.741, 291.178, 21},
    {267.442, 267.755, 21}, {267.775, 268.073, 21}, {268.073, 268.5, 21},   {268.5, 269.141, 21},
    {269.141, 274.329, 21}, {270.858, 271.07, 21},  {271.402, 271.713, 21},
};

}  // namespace

void fillCueTable(CueTable& table) {
  for (int i = 0; i < kCueRowCount; ++i) table.rows[i] = kCueRows[i];
  table.lastActive = -1;
}

int cueAt(CueTable& table, double t) {
  int match = -1;
  for (int i = 0; i < kCueRowCount; ++i) {
    const CueWindow& row = table.rows[i];
    if (row.start <= t && t <= row.end) match = i;
  }
  if (match < 0) return 0;
  table.lastActive = match;
  return table.rows[match].value;
}
