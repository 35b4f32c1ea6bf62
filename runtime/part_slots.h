// The show's part slots: four pointers to parts, none of them owning. Slot 0
// holds the show's one part, which the program's entry (app/) owns; slots 1-3
// stay empty. The frame driver draws slot 0, or slot 1 while it holds a part
// between 51.6 and 66.3 s; camera-track channel i reads the part in slot i.
#pragma once

class parts;

constexpr int kPartSlotCount = 4;

struct PartSlots {
  parts* slot[kPartSlotCount] = {};
};
