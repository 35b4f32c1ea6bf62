// The setup dialog in the browser is the page's own form, answered before
// the program starts (its choices arrive as the command line), so the program
// never shows one.
#include "platform/dialog.h"

namespace platform {

SetupDialogResult runSetupDialog(const std::vector<std::string>&, int) { return {}; }

void scriptNextSetupDialog(const SetupDialogScript&) {}

}  // namespace platform
