// Live shaders for makers (--live): the shader files of every program are
// watched while the show plays, and a program whose file changed is built
// anew within a quarter of a second. A file that does not compile or link
// prints its log with its name and leaves the program in use as it was, so
// the picture never goes black while a maker types.
#pragma once

#include <string>
#include <vector>

class parts;

// Notes the files and their current state.
void watchShaderFiles(const std::vector<std::string>& paths);
// Has the part build anew every program one of whose files changed since it
// was last seen, and returns how many were rebuilt. A file that cannot be
// rebuilt is tried again only after its next change.
int rebuildChangedShaders(parts& content);

// The main loop's part: watches the show part's shader files once the window
// exists (when --live asked for it) and looks at them four times a second.
void startLiveShaders(parts* content);
void pollLiveShaders(parts* content);
