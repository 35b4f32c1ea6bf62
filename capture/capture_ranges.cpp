// The split of a capture into ranges and the lines its range processes speak.
#include "capture/capture_ranges.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

// Every digit of a double, so that the text reads back as the same number.
std::string exactNumber(double value) {
  char text[40];
  std::snprintf(text, sizeof text, "%.17g", value);
  return text;
}

}  // namespace

FrameRange frameRange(int frames, int index, int ranges) {
  const auto boundary = [&](int i) {
    return static_cast<int>(static_cast<long long>(frames) * i / ranges);
  };
  return {boundary(index - 1), boundary(index) - boundary(index - 1)};
}

int rangeCount(int frames, int jobs) { return std::max(1, std::min(frames, jobs)); }

std::vector<std::string> rangeArguments(const RangeSettings& settings, int index, int ranges,
                                        const std::string& video) {
  const CaptureRequest& capture = settings.capture;
  std::vector<std::string> args = {"--capture", video,
                                   "--start",   exactNumber(capture.start),
                                   "--stop",    exactNumber(capture.stop),
                                   "--fps",     std::to_string(capture.fps),
                                   "--width",   std::to_string(settings.width)};
  if (!capture.preset.empty()) args.insert(args.end(), {"--preset", capture.preset});
  if (settings.antialiased) args.push_back(*settings.antialiased ? "--aa" : "--no-aa");
  args.insert(args.end(), {"--range", std::to_string(index) + "/" + std::to_string(ranges)});
  return args;
}

std::string rangeVersionLine(const std::string& version) {
  return std::string(kRangeLinePrefix) + "tessaly " + version;
}

std::string rangeProgressLine(int done, int total) {
  return std::string(kRangeLinePrefix) + std::to_string(done) + "/" + std::to_string(total) +
         " frames";
}

RangeReport parseRangeLine(const std::string& line) {
  RangeReport report;
  const size_t prefix = std::strlen(kRangeLinePrefix);
  if (line.compare(0, prefix, kRangeLinePrefix) != 0) return report;
  const std::string text = line.substr(prefix);
  int done = 0, total = 0;
  char end[8] = {};
  if (text.rfind("tessaly ", 0) == 0) {
    report.kind = RangeReport::Kind::Version;
    report.version = text.substr(8);
  } else if (std::sscanf(text.c_str(), "%d/%d frame%7s", &done, &total, end) == 3 &&
             std::strcmp(end, "s") == 0) {
    report.kind = RangeReport::Kind::Progress;
    report.done = done;
  }
  return report;
}
