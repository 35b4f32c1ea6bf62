// Starts GTK for the setup dialog and the clipboard handover.
#pragma once

namespace platform {

// Opens GTK's display connection once; false when no display can be opened.
// The process locale is left as it is: GTK would otherwise switch it to the
// user's, and numbers in shader sources, meshes and the capture text would
// then read and print with the wrong decimal separator.
bool startGtk();

}  // namespace platform
