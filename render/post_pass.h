// A post-processing pass as a value: the target it draws into, the program,
// its sampler inputs and uniforms, the viewport. The frame composition writes
// the chain as a list of these in its order; runPostPass draws one.
#pragma once

#include <cassert>

#include "render/draw_state.h"
#include "render/matrix.h"
#include "render/render_resources.h"

class ShaderSet;

enum class PassTarget {
  Screen,       // the window, or the render-size target standing in for it
  Textures,     // the pair's texture framebuffer, destination attached as colour 0
  Multisample,  // the pair's multisample framebuffer, resolved into destination after
};

struct PassSampler {
  const char* name = "";
  int unit = 0;
  TextureId texture = 0;
};

// A float uniform or, with four components, a vec4.
struct PassUniform {
  const char* name = "";
  float x = 0.0f, y = 0.0f, z = 0.0f, w = 0.0f;
  int components = 1;
};

// A mat4 uniform.
struct PassMatrix {
  const char* name = "";
  Mat4 value{};
};

struct PostPass {
  static constexpr int kMaxSamplers = 8;
  static constexpr int kMaxUniforms = 8;
  static constexpr int kMaxMatrices = 2;

  PostPass(int program, PassTarget target, int pair, TextureId destination, Viewport viewport)
      : program(program),
        target(target),
        pair(pair),
        destination(destination),
        viewport(viewport) {}

  int program = 0;
  PassTarget target = PassTarget::Screen;
  int pair = 0;
  TextureId destination = 0;
  Viewport viewport;
  PassSampler samplers[kMaxSamplers];
  int samplerCount = 0;
  PassUniform uniforms[kMaxUniforms];
  int uniformCount = 0;
  PassMatrix matrices[kMaxMatrices];
  int matrixCount = 0;

  void sample(const char* name, int unit, TextureId texture) {
    assert(samplerCount < kMaxSamplers && "too many samplers for one pass");
    samplers[samplerCount++] = {name, unit, texture};
  }
  void set(const char* name, float value) {
    assert(uniformCount < kMaxUniforms && "too many uniforms for one pass");
    uniforms[uniformCount++] = {name, value, 0.0f, 0.0f, 0.0f, 1};
  }
  void set(const char* name, float x, float y, float z, float w) {
    assert(uniformCount < kMaxUniforms && "too many uniforms for one pass");
    uniforms[uniformCount++] = {name, x, y, z, w, 4};
  }
  void set(const char* name, const Mat4& value) {
    assert(matrixCount < kMaxMatrices && "too many matrices for one pass");
    matrices[matrixCount++] = {name, value};
  }
};

// Binds the pass's target and viewport, sets the pass state (no depth test,
// no blending), the program, its uniforms and samplers, and draws the screen
// quad; a multisample target is resolved into the destination afterwards.
void runPostPass(RenderResources& renderer, ShaderSet& shaders, const PostPass& pass);
