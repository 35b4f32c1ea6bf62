// Data files as the show reads them: only regular files are opened (a FIFO
// would block the open, a device could feed bytes without end, a folder
// holds no text), and a file that cannot be used is reported with its name,
// the folder it was looked for in and the reason.
#pragma once

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>

// True when path names a regular file; otherwise false with why: the
// system's reason, or what stands under the name instead.
inline bool isRegularDataFile(const std::string& path, std::string& why) {
  struct stat info;
  if (stat(path.c_str(), &info) != 0) {
    why = std::strerror(errno);
    return false;
  }
  if (S_ISREG(info.st_mode)) return true;
  why = S_ISDIR(info.st_mode)    ? "it is a folder, not a file"
        : S_ISFIFO(info.st_mode) ? "it is a FIFO, not a regular file"
        : S_ISSOCK(info.st_mode) ? "it is a socket, not a regular file"
                                 : "it is a device, not a regular file";
  return false;
}

// The detail line of a data file the show cannot use: "tessaly: FILE in
// FOLDER: WHY", FOLDER being the data folder the program reads from.
inline std::string dataFileProblem(const std::string& path, const std::string& why) {
  std::error_code error;
  const std::filesystem::path folder = std::filesystem::current_path(error);
  return "tessaly: " + path + " in " + (error ? std::string("the data folder") : folder.string()) +
         ": " + why;
}
