// Output files written beside their target: the target keeps its old
// contents until the new ones are complete, and what a dead writer left is
// cleared by the next one while a live writer's file stays.
#include "platform/output_file.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

namespace fs = std::filesystem;

namespace {

std::string readText(const fs::path& path) {
  std::ifstream file(path);
  return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

std::set<std::string> namesIn(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename());
  return names;
}

// The id of a process that has ended.
pid_t endedProcess() {
  const pid_t child = fork();
  if (child == 0) _exit(0);
  waitpid(child, nullptr, 0);
  return child;
}

TEST(OutputFile, TheTargetChangesOnlyWhenTheNewFileIsWholeAndDeadWritersAreCleared) {
  std::string pattern = (fs::temp_directory_path() / "tessaly-output-XXXXXX").string();
  const fs::path folder = mkdtemp(pattern.data());
  const std::string target = (folder / "state.txt").string();
  std::ofstream(target) << "old";
  // Left by a writer that died, and by one that still runs (our parent).
  const std::string dead = platform::stagingPrefix(target) + std::to_string(endedProcess());
  fs::create_directory(dead + "-Ab12Cd");
  std::ofstream(dead + ".txt") << "half";
  const std::string live = platform::stagingPrefix(target) + std::to_string(getppid()) + ".txt";
  std::ofstream(live) << "busy";

  {
    platform::StagedTextFile file;
    file.open(target);
    file.stream() << "new";
    file.stream().flush();
    EXPECT_EQ(readText(target), "old");
    EXPECT_EQ(namesIn(folder),
              (std::set<std::string>{"state.txt", fs::path(live).filename(),
                                     fs::path(platform::stagingPath(target)).filename()}));
    std::string error;
    ASSERT_TRUE(file.commit(error)) << error;
  }
  EXPECT_EQ(readText(target), "new");
  EXPECT_EQ(namesIn(folder), (std::set<std::string>{"state.txt", fs::path(live).filename()}));

  // One never committed leaves the target as it was and nothing beside it.
  {
    platform::StagedTextFile file;
    file.open(target);
    file.stream() << "lost";
  }
  EXPECT_EQ(readText(target), "new");
  EXPECT_EQ(namesIn(folder), (std::set<std::string>{"state.txt", fs::path(live).filename()}));

  // One that cannot be opened is not reported as written.
  {
    platform::StagedTextFile file;
    file.open((folder / "missing" / "state.txt").string());
    std::string error;
    EXPECT_FALSE(file.commit(error));
    EXPECT_NE(error.find("No such file or directory"), std::string::npos) << error;
  }
  fs::remove_all(folder);
}

}  // namespace
