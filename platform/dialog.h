// The setup dialog's window: a modal, centred dialog shown before the GL window exists.
//
// Content: a group "Resolution" with a drop-down of the given labels, the
// check boxes "Antialiased" (checked) and "Windowed" (unchecked), and the
// buttons "Run ... " (the default: Enter activates it) and "Quit". The
// dialog only reports what the user chose; the caller decides what it means.
#pragma once

#include <string>
#include <vector>

namespace platform {

enum class SetupOutcome {
  Run,        // "Run ... " was activated
  Quit,       // "Quit" was pressed or the dialog was closed
  NoDisplay,  // no display could be opened; nothing was shown
};

struct SetupDialogResult {
  SetupOutcome outcome = SetupOutcome::NoDisplay;
  int selectedIndex = -1;  // the drop-down entry chosen, -1 when none
  bool antialiased = true;
  bool windowed = false;
};

// Shows the dialog with `labels` in the drop-down, `initialIndex` selected,
// and waits until it is answered.
SetupDialogResult runSetupDialog(const std::vector<std::string>& labels, int initialIndex);

// ---- Test hook ----------------------------------------------------------------

// What the dialog's widgets showed when it appeared.
struct SetupDialogSnapshot {
  std::vector<std::string> labels;  // the drop-down entries, read back from the widget
  int activeIndex = -1;
  bool antialiased = false;
  bool windowed = false;
  std::string groupTitle;
  std::string runText;
  std::string quitText;
  bool runIsDefault = false;
  bool modal = false;
};

enum class SetupDialogAnswer { PressEnter, ClickRun, ClickQuit, CloseWindow };

// Actions the next dialog performs on itself once it is on screen, as a user
// would: select an entry, toggle the check boxes, then answer. An Enter that
// does not answer the dialog within two seconds makes it report Quit.
struct SetupDialogScript {
  int selectIndex = -1;    // -1 keeps the initial selection
  bool focusList = false;  // give the drop-down the keyboard focus
  bool toggleAntialiased = false;
  bool toggleWindowed = false;
  SetupDialogAnswer answer = SetupDialogAnswer::PressEnter;
  SetupDialogSnapshot* seen = nullptr;  // filled before the actions, when not null
};

// Applies `script` to the next runSetupDialog call only.
void scriptNextSetupDialog(const SetupDialogScript& script);

}  // namespace platform
