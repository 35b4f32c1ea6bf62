// One whole frame: the cameras, the scene of the current time window into the
// 4-sample target (or, without antialiasing, straight into textures and
// through an edge filter), then the post-processing chain: occlusion at half
// size, the combine, the glow at quarter size, and the final pass onto the
// window with the glow, flash and black layers folded in. Every pass after
// the scene draws into a texture attached to a framebuffer, so nothing is
// copied between passes.
#include "demo/frame_composition.h"

#include <GL/glew.h>

#include <algorithm>
#include <cmath>

#include "core/random.h"
#include "core/timeline.h"
#include "core/vector.h"
#include "demo/camera_script.h"
#include "demo/part_start.h"
#include "demo/screen_quad.h"
#include "render/frame_profile.h"

namespace {

void fullScreenQuad() { drawScreenQuad(0.0, 1.0, 1.0, true, 1.0f); }

}  // namespace

BeatLevels beatLevels(double t) {
  BeatLevels levels{static_cast<float>(1.4 * std::pow(std::sin(2 * kPi * t + kPi / 2), 104)), 0.0};
  if (t > kPanelFieldStart) {
    levels.beatOffset = (0.5 * std::sin(4 * kPi * t + kPi / 2) + 0.5) *
                        (-1.8 * std::pow(std::sin(kPi * t + kPi / 2), 84));
  }
  if (t > kPanelCubeStart && t < 148) levels.beatOffset = 0.0;
  if (t < kPanelFieldStart || (t > kPanelCubeStart && t < 148)) levels.glow = 0.0f;
  if (t > 196) {
    levels.glow = 0.0f;
    levels.beatOffset = 0.0;
  }
  return levels;
}

float flashLevel(double t) {
  float level = 0.0f;
  for (const Flash& flash : kFlashes)
    if (t > flash.start)
      level = static_cast<float>(1.0 - easeInOut((t - flash.start) * flash.rate, 1));
  return level;
}

float blackLevel(double t) {
  const float a = std::clamp(static_cast<float>(t - kFinaleDipStart), 0.0f, 1.0f);
  return static_cast<float>(std::sin(kPi * a) + easeInOut((t - kFadeOutStart) * 0.15, 1));
}

void spectrumTexels(const float* spectrum, unsigned char* rgb) {
  for (int i = 0; i < kSpectrumSize; ++i) {
    const unsigned char v =
        static_cast<unsigned char>(static_cast<int>(spectrum[i] * 255.0) & 0xFF);
    rgb[3 * i] = rgb[3 * i + 1] = rgb[3 * i + 2] = v;
  }
}

void part_start::drawFrame(double* timeStep, RenderResources* renderer, FrameInput* input) {
  const PartTextures& ids = textureIds;
  const int w = renderer->renderWidth, h = renderer->renderHeight;
  // Points a sampler of the current program at a texture of the part on a unit.
  auto bindSampler = [&](int program, int unit, const char* name, TextureId id,
                         GLenum target = GL_TEXTURE_2D) {
    shaders.bindTextureUniform(target, program, unit, name, renderer->textureHandle(id));
  };

  // 1.-3. The frame's input, the clock and the spectrum texture.
  frameInputCopy = *input;
  partTime += *timeStep;
  const double t = partTime;
  unsigned char spectrumBytes[3 * kSpectrumSize];
  spectrumTexels(frameInputCopy.spectrum, spectrumBytes);
  renderer->uploadSpectrum(ids.spectrum, 256, spectrumBytes);

  glPushAttrib(GL_ALL_ATTRIB_BITS);

  // 5. Cameras.
  renderer->mainCamera = scriptCameraAt(t, requestCamera, frameInputCopy.cameraZ);
  renderer->orbitCamera = orbitCameraAt(t);

  // 6. Copy what the multisample buffers still hold from the previous frame
  // into textures the scene could sample; only while the material reads the
  // copied depth, since nothing else reads the copy. A scene drawn with one
  // sample has no buffers of its own to keep the previous frame in.
  const bool multisampled = renderer->targetSamples[0] > 0;
  if (multisampled && shaders.programReads(programs.material, "texture2d_2")) {
    renderer->attachColorTexture(0, 0, ids.sceneColor);
    renderer->attachColorTexture(0, 1, ids.secondColor);
    renderer->attachDepthTexture(0, ids.depthB);
    renderer->bindForDrawing(0, 2);
    renderer->resolveTarget(0, w, h, 2, true);
  }
  markPass(renderer, "previous copy");

  // 7., 8. The scene of this moment: into the 4-sample target, or with one
  // sample straight into the textures the passes read.
  renderer->attachColorTexture(0, 0, ids.sceneColor);
  renderer->attachColorTexture(0, 1, ids.secondColor);
  renderer->attachDepthTexture(0, ids.depthA);
  if (multisampled)
    renderer->bindForDrawing(0, 2);
  else
    renderer->bindTexturesForDrawing(0, 2);
  // The benchmark may leave the slot empty, cleared only, to time the chain alone.
  const bool sceneSlotFilled = !renderer->frameProfile || renderer->frameProfile->drawScene;
  if (!sceneSlotFilled)
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  else {
    switch (sceneAt(t)) {
      case Scene::OpeningPanels:
        drawOpeningPanels(renderer, 0, 0);
        break;
      case Scene::PanelField:
        drawPanelField(renderer, 0, 0);
        break;
      case Scene::RingTunnel:
        drawRingTunnel(renderer, 0, 0);
        break;
      case Scene::PanelCube:
        drawPanelCube(renderer, 0, 0);
        break;
    }
  }
  markPass(renderer, "scene");

  // 9. Resolve the scene: both colour buffers into textures 0 and 11, its
  // depth into depth A. A scene drawn with one sample is already there, and
  // its colour goes through the edge filter instead.
  loadIdentityMatrices();
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_BLEND);
  if (multisampled) {
    renderer->resolveTarget(0, w, h, 2, true);
    markPass(renderer, "resolve");
  } else {
    renderer->attachColorTexture(2, 0, ids.edgeFiltered);
    renderer->bindTexturesForDrawing(2, 1);
    shaders.useProgram(programs.edgeFilter);
    bindSampler(programs.edgeFilter, 0, "texture2d_1", ids.sceneColor);
    fullScreenQuad();
    markPass(renderer, "edge filter");
  }
  const TextureId sceneColor = multisampled ? ids.sceneColor : ids.edgeFiltered;

  // 10. Ambient occlusion at half size, then the combine at full size into
  // its own texture.
  renderer->attachColorTexture(2, 0, ids.occlusion);
  renderer->bindTexturesForDrawing(2, 1);
  glViewport(0, 0, w / 2, h / 2);
  shaders.useProgram(programs.occlusion);
  bindSampler(programs.occlusion, 0, "texture2d_2", ids.depthA);
  bindSampler(programs.occlusion, 1, "texture2d_random", ids.noise);
  shaders.setUniformVec4(programs.occlusion, "FullTexel", 1.0f / w, 1.0f / h, 0.0f, 0.0f);
  glActiveTexture(GL_TEXTURE0);
  fullScreenQuad();
  markPass(renderer, "occlusion");

  renderer->attachColorTexture(2, 0, ids.combined);
  renderer->bindTexturesForDrawing(2, 1);
  glViewport(0, 0, w, h);
  crtSrand(static_cast<uint32_t>(static_cast<int32_t>(t * 423424.0)));
  for (int i = 0; i < 1000; ++i) crtRand();
  shaders.useProgram(programs.combineOcclusion);
  shaders.setUniformFloat(programs.combineOcclusion, "Limit", static_cast<float>(randomUnit()));
  shaders.setUniformVec4(programs.combineOcclusion, "OcclusionSize", static_cast<float>(w / 2),
                         static_cast<float>(h / 2), 0.0f, 0.0f);
  bindSampler(programs.combineOcclusion, 0, "texture2d_1", sceneColor);
  bindSampler(programs.combineOcclusion, 1, "texture2d_2", ids.depthA);
  bindSampler(programs.combineOcclusion, 2, "texture2d_3", ids.secondColor);
  bindSampler(programs.combineOcclusion, 3, "texture2d_random", ids.noise);
  bindSampler(programs.combineOcclusion, 5, "texture2d_occlusion", ids.occlusion);
  shaders.setProjectiveTextureMatrix(65.0, static_cast<double>(w) / static_cast<double>(h), 1.0,
                                     100.0, renderer->mainCamera);
  glLoadIdentity();
  fullScreenQuad();
  markPass(renderer, "combine");

  // 11. Glow and beat.
  const BeatLevels beat = beatLevels(t);
  beatOffset = beat.beatOffset;

  // 12. Highlight blur into the quarter-size glow texture.
  const bool glowDrawn = beat.glow > 0.03f;
  if (glowDrawn) {
    runFilterPass(renderer, programs.highlightBlur, 1, 1, w / 4, h / 4, ids.combined, ids.glow, -1,
                  -1);
  }
  markPass(renderer, "glow blur");

  // 13. Back to the window.
  glMatrixMode(GL_MODELVIEW);
  renderer->bindScreen();
  glViewport(0, 0, w, h);
  glActiveTexture(GL_TEXTURE0);
  loadIdentityMatrices();
  glDisable(GL_DEPTH_TEST);

  // 14.-17. The final blur pass onto the window, with the three layers of the
  // screen's pulse folded in: the glow added (its colour clamps to 1 as a
  // vertex colour would), the white flash added, the black dip and fade.
  const float flash = flashLevel(t);
  const float black = blackLevel(t);
  shaders.useProgram(programs.finalBlur);
  bindSampler(programs.finalBlur, 0, "texture2d_1", ids.combined);
  bindSampler(programs.finalBlur, 1, "texture2d_velocities", ids.velocity);
  bindSampler(programs.finalBlur, 2, "texture2d_random", ids.noise);
  bindSampler(programs.finalBlur, 3, "texture2d_2", ids.depthA);
  // The whole spectrum, for a final pass that reads it per pixel; ours reads
  // only the texel its fringe follows, the same for every pixel, as "Kick".
  bindSampler(programs.finalBlur, 4, "texture1d_dsp", ids.spectrum, GL_TEXTURE_1D);
  bindSampler(programs.finalBlur, 5, "texture2d_glow", ids.glow);
  shaders.setUniformFloat(programs.finalBlur, "Kick", spectrumBytes[3 * 2] / 255.0f);
  shaders.setUniformFloat(programs.finalBlur, "Limit", static_cast<float>(frameInputCopy.adjustA));
  shaders.setUniformFloat(programs.finalBlur, "time", static_cast<float>(t));
  shaders.setUniformFloat(programs.finalBlur, "GlowLevel",
                          glowDrawn ? std::min(beat.glow, 1.0f) : 0.0f);
  shaders.setUniformFloat(programs.finalBlur, "FlashLevel", flash > 0.03f ? flash : 0.0f);
  shaders.setUniformFloat(programs.finalBlur, "BlackLevel", black > 0.001f ? black : 0.0f);
  glActiveTexture(GL_TEXTURE0);
  resetFixedState();
  glColor3f(1.0f, 1.0f, 1.0f);
  glEnable(GL_TEXTURE_2D);
  glMatrixMode(GL_TEXTURE);
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glDisable(GL_BLEND);
  glDisable(GL_DEPTH_TEST);
  fullScreenQuad();
  shaders.useFixedFunction();
  markPass(renderer, "final");

  // 18., 19.
  glPopAttrib();
  glFlush();
  *input = frameInputCopy;
}

void part_start::runFilterPass(RenderResources* renderer, int program, int pair, int iterations,
                               int width, int height, TextureId source, TextureId destination,
                               TextureId extra2, TextureId extra3) {
  renderer->bindScreen();
  resetFixedState();
  // Each iteration pushes and pops the model-view matrix.
  glMatrixMode(GL_MODELVIEW);
  GLfloat savedViewport[4];
  glGetFloatv(GL_VIEWPORT, savedViewport);
  for (int i = 0; i < iterations; ++i) {
    glPushMatrix();
    glViewport(0, 0, width, height);
    // The first iteration draws straight into destination. Later ones read
    // it, so they draw into the pair's renderbuffer and resolve into it.
    const bool direct = i == 0;
    renderer->attachColorTexture(pair, 0, destination);
    if (direct)
      renderer->bindTexturesForDrawing(pair, 1);
    else
      renderer->bindForDrawing(pair, 1);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_TEXTURE);
    glActiveTexture(GL_TEXTURE1);
    glLoadIdentity();
    glActiveTexture(GL_TEXTURE0);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glColor3f(1.0f, 1.0f, 1.0f);
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    shaders.useProgram(program);
    // From the second iteration on, each pass filters the previous result.
    const TextureId input = i == 0 ? source : destination;
    shaders.bindTextureUniform(GL_TEXTURE_2D, program, 0, "texture2d_1",
                               renderer->textureHandle(input));
    if (extra2 >= 0)
      shaders.bindTextureUniform(GL_TEXTURE_2D, program, 1, "texture2d_2",
                                 renderer->textureHandle(extra2));
    if (extra3 >= 0)
      shaders.bindTextureUniform(GL_TEXTURE_2D, program, 2, "texture2d_3",
                                 renderer->textureHandle(extra3));
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    fullScreenQuad();
    glPopMatrix();
    if (!direct) renderer->resolveTarget(pair, width, height, 1, false);
    renderer->bindScreen();
  }
  renderer->bindScreen();
  glViewport(static_cast<int>(savedViewport[0]), static_cast<int>(savedViewport[1]),
             static_cast<int>(savedViewport[2]), static_cast<int>(savedViewport[3]));
}
