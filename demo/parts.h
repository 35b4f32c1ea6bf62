// The part interface: the runtime knows the show's content only through
// this: load, draw a frame, reload its programs (for --live) and release.
// The part reads everything it needs from the records it is handed: the
// frame record (the show time, the spectrum, the tuning values), the
// renderer (render size, cameras, texture table) and the show's generator.
// The program's entry (app/) owns the one part and hands it down.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/load_failure.h"
#include "demo/frame_record.h"
#include "demo/image_texture.h"

class RenderResources;
class Random;

// What loading reports back: the images loaded (for the asset list), the
// failure that ends the show when an image cannot be read, and one line for
// each file the show goes on without or uses only in part (a shader, a mesh,
// an image cut short), already said on standard error: an offline render
// refuses to render without them.
struct PartLoad {
  std::vector<LoadedImage> images;
  std::optional<LoadFailure> failure;
  std::vector<std::string> problems;
};

class parts {
 public:
  virtual ~parts() = default;
  // Loads every resource of the part once, with the GL context current. A
  // missing mesh or shader is reported on the console and the show goes on.
  // The generated textures take their contents from `random`.
  virtual PartLoad initResources(RenderResources& renderer, Random& random) = 0;
  // Draws the whole frame at frame.time into the back buffer, drawing its
  // patterns from the show's generator, which the frame driver has seeded.
  virtual void drawFrame(const FrameRecord& frame, RenderResources& renderer, Random& random) = 0;
  // For --live: the shader files the part's programs are built from, and a
  // rebuild of every program that uses one of changedFiles (a program that
  // does not build keeps drawing as it did). Returns how many were rebuilt.
  // A part without shader programs has nothing to watch.
  virtual std::vector<std::string> programFiles() const { return {}; }
  virtual int reloadPrograms(const std::vector<std::string>& /*changedFiles*/) { return 0; }
  // Lets go of what initResources loaded, at the show's teardown.
  virtual void release() {}

  // The part's camera-track channel: the value the camera-track recorder
  // stores for channel 0 and a digit jump restores.
  double channelValue = 0.0;
};
