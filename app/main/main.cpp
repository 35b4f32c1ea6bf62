// Program entry: the command line, the data folder, then the show.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/data_directory.h"
#include "app/main_loop.h"

int main(int argc, char** argv) {
  CommandLine commandLine = parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  if (!commandLine.error.empty()) {
    std::fprintf(stderr, "tessaly: %s\n\n%s", commandLine.error.c_str(), usageText());
    return 2;
  }
  if (commandLine.help) {
    std::fputs(usageText(), stdout);
    return 0;
  }
  if (commandLine.version) {
    std::printf("tessaly %s\n", TESSALY_VERSION);
    return 0;
  }
  // Output files are named relative to where the program was started, not the data folder.
  if (!commandLine.screenshotPath.empty())
    commandLine.screenshotPath = std::filesystem::absolute(commandLine.screenshotPath).string();
  if (!commandLine.capturePath.empty())
    commandLine.capturePath = std::filesystem::absolute(commandLine.capturePath).string();
  // A folder under an output's name cannot be replaced by a file.
  for (const std::string* output : {&commandLine.screenshotPath, &commandLine.capturePath}) {
    std::error_code error;
    if (!output->empty() && std::filesystem::is_directory(*output, error)) {
      std::fprintf(stderr, "tessaly: cannot write %s: it is a folder; name a file\n",
                   output->c_str());
      return 1;
    }
  }
  if (!commandLine.sshLoginFile.empty())
    commandLine.sshLoginFile = std::filesystem::absolute(commandLine.sshLoginFile).string();
  if (enterDataDirectory(commandLine.dataDir).empty()) return 1;
  return runProgram(commandLine);
}
