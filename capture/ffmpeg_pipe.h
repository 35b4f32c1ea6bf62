// Video encoding through the ffmpeg command: raw RGB frames go down a pipe to
// a child ffmpeg process, which encodes them as H.264 (yuv420p) and muxes a
// section of a sound file as AAC beside them.
#pragma once

#include <sys/types.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// x264's presets, fastest first. A faster preset encodes sooner but
// compresses less well: at the same CRF its file is larger or its picture
// less faithful. The default is the one the capture has always used.
inline constexpr std::array<const char*, 9> kX264Presets = {
    "ultrafast", "superfast", "veryfast", "faster", "fast", "medium", "slow", "slower", "veryslow"};
inline constexpr const char* kDefaultX264Preset = "medium";
bool isX264Preset(const std::string& name);

// What the video holds. Frames are width x height tightly packed RGB rows,
// top row first, fps per second. With an audio path, the sound file from
// audioStartSample for audioSamples samples (at audioRate) is the soundtrack.
// preset is one of kX264Presets. Lossless keeps every RGB value (x264's RGB
// encoder at quantiser 0), so that tests can compare decoded frames with
// the rendered ones. With a joined list (ffmpeg's concat format: one
// "file 'NAME'" line per video) the picture is those videos' streams one
// after the other, copied as they are, and no frames are written.
struct VideoSettings {
  std::string path;
  int width = 0;
  int height = 0;
  int fps = 60;
  std::string preset = kDefaultX264Preset;
  bool lossless = false;
  std::string joinedList;
  std::string audioPath;
  int64_t audioStartSample = 0;
  int64_t audioSamples = 0;
  int audioRate = 44100;
};

// The full path of an executable found on $PATH, or empty.
std::string findOnPath(const std::string& program);

// Writes two frames of a small black picture (and a moment of silence with
// withSound) to path as a capture would, to learn before any frame renders
// whether ffmpeg can write such a video there (a folder, a name whose ending
// no container claims, a picture format or an unwritable folder fail). The
// file is removed again. False with ffmpeg's reason in error.
bool checkVideoTarget(const std::string& path, bool withSound, std::string& error);
// Copies the first `seconds` of the video `from` into `to` without encoding
// it again, so that the sound of a video stopped early ends with its picture.
bool cutVideo(const std::string& from, const std::string& to, double seconds, std::string& error);

class FfmpegPipe {
 public:
  FfmpegPipe() = default;
  ~FfmpegPipe();
  FfmpegPipe(const FfmpegPipe&) = delete;
  FfmpegPipe& operator=(const FfmpegPipe&) = delete;

  // Starts ffmpeg writing settings.path (replacing an existing file). ffmpeg
  // runs in a process group of its own, so that a Ctrl-C at the terminal
  // reaches this program, which stops the capture and lets ffmpeg end the
  // file, rather than ffmpeg, which would leave it unfinished.
  // False with the reason in error when it cannot be started.
  bool start(const VideoSettings& settings, std::string& error);
  // Hands one frame of width * height * 3 bytes to ffmpeg. False once ffmpeg
  // no longer reads (it failed); finish then says why.
  bool writeFrame(const uint8_t* rgb, size_t size);
  // Ends the input so ffmpeg writes the end of the file, and waits for it.
  // True when it exited with status 0; otherwise error holds what went wrong
  // and the end of ffmpeg's own messages. Safe to repeat.
  bool finish(std::string& error);
  bool running() const { return child_ > 0; }
  // Runs ffmpeg with these arguments (after its name) to its end, its input
  // closed at once; false with the reason and its messages in error.
  bool run(const std::vector<std::string>& args, std::string& error);

 private:
  bool launch(const std::vector<std::string>& args, std::string& error);

  pid_t child_ = -1;
  int input_ = -1;
  std::FILE* log_ = nullptr;  // ffmpeg's standard error
};
