// A capture's ranges spread over machines with GNU parallel: the sshlogin
// file (one machine a line, as GNU parallel reads it, "N/" before a machine
// giving it N ranges at a time), the shell command that renders one range on
// a machine, and GNU parallel's own command line.
//
// Every machine runs the tessaly on its PATH (the same version as this one)
// under Xvfb, with the data folder this capture uses: GNU parallel sends it
// as an archive to each machine before its first range, each range unpacks
// it for itself, and GNU parallel brings each range's video back and
// removes what it sent.
#pragma once

#include <string>
#include <vector>

#include "capture/capture_ranges.h"

// The machines of an sshlogin file: GNU parallel's lines with the number of
// ranges each runs at once written out (1 where the line gives none).
struct LoginFile {
  std::vector<std::string> logins;
  int slots = 0;      // ranges at once over all machines
  std::string error;  // why the file cannot be used
};
LoginFile parseLoginFile(const std::string& text);

struct FarmSettings {
  RangeSettings range;
  int ranges = 1;
  std::string workFolder;   // on each machine, in the login's home folder; unique to the capture
  std::string dataArchive;  // the data folder's archive, sent into workFolder
  std::string dataName;     // the data folder's name inside the archive
};

// The shell command that renders range `index` into its video
// (rangeVideoName) in the work folder of the machine it runs on.
std::string hostCommand(const FarmSettings& farm, int index);
// GNU parallel's arguments (after its name), to be run in the folder that
// holds the archive, with the commands (one a line, range 1 first) as its
// standard input. Lines of range n's output are tagged "n<TAB>".
std::vector<std::string> parallelArguments(const FarmSettings& farm, const std::string& loginFile,
                                           const std::string& jobLog);
// GNU parallel's arguments (its name first) that remove the work folder on
// every machine of the login file.
std::vector<std::string> parallelClearArguments(const std::string& loginFile,
                                                const std::string& workFolder);
// The name of the video of the range numbered `number`.
std::string rangeVideoName(const std::string& number);
