// The floor of a frame, for the benchmark: stand-ins for every program of a
// shader set that do the least that still draws the same triangles through
// the same passes. A program with a vertex stage of its own (the material)
// keeps that stage and writes one constant colour to every colour target; a
// full-screen pass reads one texel of the input on texture unit 0 (where
// every pass binds its first input) and writes it. The frame sets uniforms
// and samplers on the stand-ins by name as on the show's programs; those a
// stand-in lacks are set at location -1, which does nothing.
#pragma once

#include <utility>
#include <vector>

#include "render/gl_names.h"

class ShaderSet;

class FloorPrograms {
 public:
  // Builds a stand-in for every program the shader set has built.
  explicit FloorPrograms(ShaderSet& shaders);
  // Puts the show's programs back if the stand-ins are in place, and deletes
  // the stand-ins.
  ~FloorPrograms();
  FloorPrograms(const FloorPrograms&) = delete;
  FloorPrograms& operator=(const FloorPrograms&) = delete;

  // Puts the stand-ins into their programs' slots, or the show's programs
  // back.
  void exchange();
  bool inPlace() const { return inPlace_; }

 private:
  ShaderSet& shaders_;
  std::vector<std::pair<int, ProgramName>> outOfSlot_;  // slot, the program not in it
  bool inPlace_ = false;
};
