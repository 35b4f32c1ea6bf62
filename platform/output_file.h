// Output files (videos, pictures, logs, state files) are written beside their
// target under a hidden name and renamed onto it only once complete, so that
// a file already under the name survives a full disk, a failure or a stop
// half-way, and nothing half-written ever stands under the name. The hidden
// name carries the writing process's id, so the next writer of the same
// target can clear what a process that died left behind.
#pragma once

#include <fstream>
#include <string>

namespace platform {

// ".NAME.tessaly-PID.EXT" in target's folder (NAME: target's file name, EXT:
// its extension, kept so that tools that choose a format by the name's end
// still do).
std::string stagingPath(const std::string& target);
// The prefix every hidden name of target's writers starts with, followed by
// the writer's process id: ".NAME.tessaly-" in target's folder.
std::string stagingPrefix(const std::string& target);
// Renames staged onto target (in the same folder, so the rename is atomic);
// on failure removes staged and gives the system's reason in error.
bool moveIntoPlace(const std::string& staged, const std::string& target, std::string& error);
// Removes the hidden files and folders beside target that writers of target
// left when they died (their process no longer runs).
void clearAbandonedStaging(const std::string& target);

// A text file written under its staging name and moved into place by
// commit. A file that cannot be opened leaves the stream failed, so that
// writes go nowhere; one never committed is removed.
class StagedTextFile {
 public:
  StagedTextFile() = default;
  ~StagedTextFile();
  StagedTextFile(StagedTextFile&& other) noexcept;
  StagedTextFile& operator=(StagedTextFile&& other) noexcept;

  void open(const std::string& target);
  std::ofstream& stream() { return stream_; }
  // Closes the file and renames it onto its target; false with the reason
  // when the file could not be opened, a write failed or the rename did.
  // Does nothing more once committed.
  bool commit(std::string& error);

 private:
  void discard();

  std::ofstream stream_;
  std::string target_;
  std::string staged_;
  std::string openError_;  // why open failed, reported by commit
};

}  // namespace platform
