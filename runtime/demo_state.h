// The run-time state of the show: the records of its concerns, which the
// program's entry (app/) owns for the whole run. A function takes the records
// it reads; the frame driver, the startup and the main loop, which touch
// most of them, take the whole. The part never sees it: the frame driver
// hands it the frame record (demo/frame_record.h), the renderer and the
// generator. Everything runs on the main thread.
#pragma once

#include <string>
#include <vector>

#include "core/random.h"
#include "render/render_resources.h"
#include "runtime/cue_table.h"
#include "runtime/directing_tools.h"
#include "runtime/frame_input.h"
#include "runtime/music.h"
#include "runtime/part_slots.h"
#include "runtime/show_clock.h"
#include "runtime/show_options.h"

struct DemoState {
  ShowClock clock;
  // The show's one random generator: the frame driver seeds it, the part's
  // textures and patterns draw from it (core/random.h).
  Random random;
  ShowOptions options;
  ViewerInput input;
  Music music;
  DirectingTools directing;
  PartSlots partSlots;
  RenderResources renderer;
  CueTable cueTable;
  // The data files the show goes on without or uses in part, one line each
  // (already said on standard error at startup): offline renders refuse them.
  std::vector<std::string> loadProblems;
};
