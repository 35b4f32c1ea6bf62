// Parsing of the command line.
#include "app/command_line.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "capture/ffmpeg_pipe.h"

namespace {

bool parseNumber(const std::string& text, double& value) {
  if (text.empty()) return false;
  char* end = nullptr;
  errno = 0;
  value = std::strtod(text.c_str(), &end);
  return errno == 0 && end && *end == '\0' && std::isfinite(value);
}

// A name ending in ".png", in any case.
bool pngName(const std::string& name) {
  if (name.size() < 5) return false;
  std::string ending = name.substr(name.size() - 4);
  for (char& c : ending) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ending == ".png";
}

}  // namespace

const char* usageText() {
  return "Usage: tessaly [options]\n"
         "Without options the setup dialog chooses the screen, then the show runs.\n"
         "  --no-dialog        skip the dialog: 1280 x 720 windowed\n"
         "  --windowed         windowed, without the dialog\n"
         "  --fullscreen       fullscreen, without the dialog\n"
         "  --width W          render width W (height W*9/16), without the dialog\n"
         "  --data DIR         data directory (default: $TESSALY_DATA, data/ beside the program)\n"
         "  --start T          start the show at T seconds\n"
         "  --aa, --no-aa      the scene with 4 samples a pixel (default), or with one and a\n"
         "                     cheaper edge filter, as the dialog's \"Antialiased\" box\n"
         "  --live             watch the data folder's shader files and rebuild a program\n"
         "                     within a second of its file changing; one that does not\n"
         "                     compile keeps the last working program (for makers)\n"
         "  --vsync, --no-vsync  wait for the display's refresh at each frame (default), or not\n"
         "  --loop             at the end (205 s) start the show again from 0, music too,\n"
         "                     until Escape or the window closes\n"
         "  --screenshot T FILE.png  render the frame at T seconds to a PNG and exit\n"
         "  --capture FILE.mp4 render the show offline to a video with its soundtrack and exit\n"
         "  --fps N            frames per second of the capture (default 60)\n"
         "  --stop T           end the capture at T seconds (default 205, the end of the show)\n"
         "                     --start and --width set the capture's first frame and size\n"
         "  --benchmark        time every scene's frame and pass offline, print a table, exit\n"
         "  --frames N         frames at each of the benchmark's moments (default 5)\n"
         "  --jobs N           render the capture as N ranges side by side, each a process\n"
         "                     of its own, and join them (default: this machine's cores\n"
         "                     over the cores one capture keeps busy)\n"
         "  --sshloginfile F   render the ranges on the machines of GNU parallel's sshlogin\n"
         "                     file F (N/host: N ranges at once there); each needs tessaly,\n"
         "                     ffmpeg, Xvfb and rsync. --jobs then counts the ranges\n"
         "                     (default: the ranges the machines run at once)\n"
         "  --range I/N        render range I of N of the capture only, as video without\n"
         "                     sound, with progress lines on stdout (what --jobs runs)\n"
         "  --preset P         x264's preset for the capture, fastest first: ultrafast,\n"
         "                     superfast, veryfast, faster, fast, medium (the default), slow,\n"
         "                     slower, veryslow. A faster one finishes the video sooner but\n"
         "                     compresses less well: at the same quality setting (CRF 16)\n"
         "                     its file is larger or its picture less faithful\n"
         "  --help             this text\n"
         "  --version          the program's version\n"
         "Keys during the show: Space pauses and resumes; Left and Right seek 5 s back\n"
         "or on, Page Up and Page Down 30 s; Home plays from the start. F2 shows or hides\n"
         "the frame-time overlay, F11 switches between the window and fullscreen at the\n"
         "desktop's own mode. Escape ends the show.\n";
}

CommandLine parseCommandLine(const std::vector<std::string>& arguments) {
  CommandLine line;
  line.any = !arguments.empty();
  bool captureTiming = false;  // --fps or --stop given
  bool framesGiven = false;
  // An option's value never begins with "-": "--screenshot 10 --help" is a
  // screenshot without a name, not a PNG named "--help". A file whose name
  // begins with "-" is reached as ./-name.
  const auto isValue = [&arguments](size_t i) {
    return i < arguments.size() && !arguments[i].empty() && arguments[i][0] != '-';
  };
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& arg = arguments[i];
    const bool hasValue = isValue(i + 1);
    double number = 0.0;
    if (arg == "--help" || arg == "-h") {
      line.help = true;
    } else if (arg == "--version") {
      line.version = true;
    } else if (arg == "--no-dialog") {
      line.noDialog = true;
    } else if (arg == "--windowed" || arg == "--fullscreen") {
      line.noDialog = true;
      line.fullscreen = arg == "--fullscreen";
    } else if (arg == "--width") {
      // The largest width this machine can show is for the window system and
      // the driver to say once the program asks them (with a message naming
      // their limit); here the upper bound only keeps the number an int.
      if (!hasValue || !parseNumber(arguments[i + 1], number) || number < 16 ||
          number > std::numeric_limits<int>::max() || number != std::floor(number)) {
        line.error = "--width needs a whole number of pixels, 16 or more";
        return line;
      }
      line.noDialog = true;
      line.width = static_cast<int>(number);
      ++i;
    } else if (arg == "--aa" || arg == "--no-aa") {
      line.antialiased = arg == "--aa";
    } else if (arg == "--live") {
      line.live = true;
    } else if (arg == "--loop") {
      line.loop = true;
    } else if (arg == "--vsync" || arg == "--no-vsync") {
      line.vsync = arg == "--vsync";
    } else if (arg == "--benchmark") {
      line.noDialog = true;
      line.benchmark = true;
    } else if (arg == "--frames") {
      if (!hasValue || !parseNumber(arguments[i + 1], number) || number < 1 || number > 1000 ||
          number != std::floor(number)) {
        line.error = "--frames needs a whole number of frames between 1 and 1000";
        return line;
      }
      line.benchmarkFrames = static_cast<int>(number);
      framesGiven = true;
      ++i;
    } else if (arg == "--data") {
      if (!hasValue) {
        line.error = "--data needs a directory";
        return line;
      }
      line.dataDir = arguments[++i];
    } else if (arg == "--start") {
      if (!hasValue || !parseNumber(arguments[i + 1], number) || number < 0.0 ||
          number > kShowEnd) {
        line.error = "--start needs a time in seconds between 0 and 205";
        return line;
      }
      line.start = number;
      ++i;
    } else if (arg == "--screenshot") {
      if (!hasValue || !parseNumber(arguments[i + 1], number) || number < 0.0 ||
          number > kShowEnd || !isValue(i + 2)) {
        line.error = "--screenshot needs a time between 0 and 205 seconds and a PNG file name";
        return line;
      }
      if (!pngName(arguments[i + 2])) {
        line.error = "--screenshot writes a PNG picture: its file name must end in .png, not " +
                     arguments[i + 2];
        return line;
      }
      line.noDialog = true;
      line.screenshotTime = number;
      line.screenshotPath = arguments[i + 2];
      i += 2;
    } else if (arg == "--capture") {
      if (!hasValue) {
        line.error = "--capture needs a video file name";
        return line;
      }
      line.noDialog = true;
      line.capturePath = arguments[++i];
    } else if (arg == "--fps") {
      if (!hasValue || !parseNumber(arguments[i + 1], number) || number < 1 || number > 240 ||
          number != std::floor(number)) {
        line.error = "--fps needs a whole number of frames per second between 1 and 240";
        return line;
      }
      line.captureFps = static_cast<int>(number);
      captureTiming = true;
      ++i;
    } else if (arg == "--stop") {
      if (!hasValue || !parseNumber(arguments[i + 1], number) || number <= 0.0) {
        line.error = "--stop needs a time in seconds after 0";
        return line;
      }
      line.captureStop = std::min(number, kShowEnd);
      captureTiming = true;
      ++i;
    } else if (arg == "--jobs") {
      if (!hasValue || !parseNumber(arguments[i + 1], number) || number < 1 || number > 1000 ||
          number != std::floor(number)) {
        line.error = "--jobs needs a whole number of ranges between 1 and 1000";
        return line;
      }
      line.captureJobs = static_cast<int>(number);
      ++i;
    } else if (arg == "--sshloginfile") {
      if (!hasValue) {
        line.error = "--sshloginfile needs GNU parallel's file of machines";
        return line;
      }
      line.sshLoginFile = arguments[++i];
    } else if (arg == "--range") {
      int index = 0, count = 0;
      char rest = 0;
      if (!hasValue ||
          std::sscanf(arguments[i + 1].c_str(), "%d/%d%c", &index, &count, &rest) != 2 ||
          index < 1 || count > 1000 || index > count) {
        line.error = "--range needs I/N: range I of N, with 1 <= I <= N <= 1000";
        return line;
      }
      line.rangeIndex = index;
      line.rangeCount = count;
      ++i;
    } else if (arg == "--preset") {
      if (!hasValue || !isX264Preset(arguments[i + 1])) {
        line.error = "--preset needs one of x264's presets:";
        for (const char* preset : kX264Presets) line.error += std::string(" ") + preset;
        return line;
      }
      line.capturePreset = arguments[++i];
    } else {
      line.error = "unknown option: " + arg;
      return line;
    }
  }
  const int offlineJobs =
      !line.capturePath.empty() + line.screenshotTime.has_value() + line.benchmark;
  if (framesGiven && !line.benchmark)
    line.error = "--frames needs --benchmark";
  else if (offlineJobs > 1)
    line.error = "--capture, --screenshot and --benchmark cannot be used together";
  else if (captureTiming && line.capturePath.empty())
    line.error = "--fps and --stop need --capture";
  else if (!line.capturePath.empty() && line.captureStop <= line.start)
    line.error = "--stop must be later than --start";
  if (line.error.empty() && !line.capturePreset.empty() && line.capturePath.empty())
    line.error = "--preset needs --capture";
  const bool split = line.captureJobs || !line.sshLoginFile.empty();
  if (line.error.empty() && (split || line.rangeCount > 0) && line.capturePath.empty())
    line.error = "--jobs, --sshloginfile and --range need --capture";
  else if (line.error.empty() && split && line.rangeCount > 0)
    line.error =
        "--range renders one range itself: it cannot be split again with --jobs or "
        "--sshloginfile";
  return line;
}
