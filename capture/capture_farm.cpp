// The sshlogin file, the command a machine runs and GNU parallel's arguments.
#include "capture/capture_farm.h"

#include <algorithm>
#include <cctype>
#include <sstream>

namespace {

// One word for a POSIX shell, whatever it holds.
std::string shellWord(const std::string& text) {
  std::string result = "'";
  for (char c : text) result += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return result + "'";
}

std::string trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

}  // namespace

LoginFile parseLoginFile(const std::string& text) {
  LoginFile file;
  std::istringstream lines(text);
  std::string line;
  int number = 0;
  while (std::getline(lines, line)) {
    ++number;
    line = trimmed(line);
    if (line.empty() || line[0] == '#') continue;
    std::string groups;
    if (line[0] == '@') {
      const size_t slash = line.find('/');
      if (slash == std::string::npos) {
        file.error = "line " + std::to_string(number) + " names a host group and no machine";
        return file;
      }
      groups = line.substr(0, slash + 1);
      line.erase(0, slash + 1);
    }
    size_t digits = 0;
    while (digits < line.size() && std::isdigit(static_cast<unsigned char>(line[digits]))) ++digits;
    int slots = 1;
    if (digits > 0 && digits < line.size() && line[digits] == '/') {
      slots = std::atoi(line.substr(0, digits).c_str());
      line.erase(0, digits + 1);
    }
    line = trimmed(line);
    if (slots < 1 || slots > 1000 || line.empty()) {
      file.error = "line " + std::to_string(number) + " is not a machine with 1 to 1000 ranges";
      return file;
    }
    // ":" is GNU parallel's name for this machine without ssh; its jobs would
    // run in this folder, where nothing is sent and nothing comes back.
    if (line == ":") {
      file.error = "line " + std::to_string(number) +
                   " names this machine as \":\"; name it as ssh reaches it (localhost)";
      return file;
    }
    file.logins.push_back(groups + std::to_string(slots) + "/" + line);
    file.slots += slots;
  }
  if (file.logins.empty()) file.error = "it names no machine";
  return file;
}

std::string rangeVideoName(const std::string& number) { return "range-" + number + ".mp4"; }

std::string hostCommand(const FarmSettings& farm, int index) {
  const std::string unpacked = "data-" + std::to_string(index);
  const RangeSettings& range = farm.range;
  // Xvfb's screen holds the window; each range starts looking for a free
  // display number of its own, so that ranges starting together on one
  // machine do not take the same.
  const int width = std::max(range.width, 1920);
  const int height = std::max(range.width * 9 / 16, 1080);
  std::string command =
      "mkdir -p " + unpacked + " && tar -xf " + shellWord(farm.dataArchive) + " -C " + unpacked +
      " && SDL_AUDIODRIVER=dummy TESSALY_BATCH=1 xvfb-run -a -n " +
      std::to_string(100 + 10 * index) + " -s " +
      shellWord("-screen 0 " + std::to_string(width) + "x" + std::to_string(height) + "x24") +
      " tessaly --data " + shellWord(unpacked + "/" + farm.dataName);
  for (const std::string& arg :
       rangeArguments(range, index, farm.ranges, rangeVideoName(std::to_string(index))))
    command += " " + shellWord(arg);
  return command + "; status=$?; rm -rf " + unpacked + "; exit $status";
}

std::vector<std::string> parallelArguments(const FarmSettings& farm, const std::string& loginFile,
                                           const std::string& jobLog) {
  return {"--sshloginfile", loginFile,
          // Each line as it comes, tagged with its range, for the progress bar.
          "--line-buffer", "--tagstring", "{#}",
          // One failed range fails the capture: the others stop at once.
          "--halt", "now,fail=1", "--joblog", jobLog, "--workdir", farm.workFolder, "--basefile",
          farm.dataArchive, "--return", rangeVideoName("{#}"), "--cleanup"};
}

std::vector<std::string> parallelClearArguments(const std::string& loginFile,
                                                const std::string& workFolder) {
  return {"parallel", "--sshloginfile", loginFile, "--nonall", "rm -rf " + shellWord(workFolder)};
}
