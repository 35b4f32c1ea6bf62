// One whole frame: the cameras, the scene of the current time window into the
// 4-sample target (or, without antialiasing, straight into textures and
// through an edge filter), then the post-processing chain: occlusion at half
// size, the combine, the glow at quarter size, and the final pass onto the
// window with the glow, flash and black layers folded in. Every pass after
// the scene draws into a texture attached to a framebuffer, so nothing is
// copied between passes.
#include "demo/frame_composition.h"

#include <algorithm>
#include <cmath>

#include "core/random.h"
#include "core/timeline.h"
#include "core/vector.h"
#include "demo/camera_script.h"
#include "demo/colour_script.h"
#include "demo/part_start.h"
#include "demo/scenes/scenes.h"
#include "render/draw_state.h"
#include "render/frame_profile.h"
#include "render/matrix.h"
#include "render/post_pass.h"

BeatLevels beatLevels(double t) {
  BeatLevels levels{static_cast<float>(1.4 * std::pow(std::sin(2 * kPi * t + kPi / 2), 104)), 0.0};
  if (t > kPanelFieldStart) {
    levels.beatOffset = (0.5 * std::sin(4 * kPi * t + kPi / 2) + 0.5) *
                        (-1.8 * std::pow(std::sin(kPi * t + kPi / 2), 84));
  }
  if (t > kPanelCubeStart && t < kFinaleSecondAssembly) levels.beatOffset = 0.0;
  if (t < kPanelFieldStart || (t > kPanelCubeStart && t < kFinaleSecondAssembly))
    levels.glow = 0.0f;
  if (t > kFinaleFrozen) {
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

void part_start::drawFrame(const FrameRecord& frame, RenderResources& renderer, Random& random) {
  const PartTextures& ids = textureIds;
  const int w = renderer.renderWidth, h = renderer.renderHeight;
  const Viewport full{0, 0, w, h};

  // 1.-3. The frame's time and the spectrum texture.
  const double t = frame.time;
  unsigned char spectrumBytes[3 * kSpectrumSize];
  spectrumTexels(frame.spectrum, spectrumBytes);
  renderer.uploadSpectrum(ids.spectrum, 256, spectrumBytes);

  // 5. Cameras.
  renderer.mainCamera = scriptCameraAt(t, requestCamera, frame.cameraZ, random);
  renderer.orbitCamera = orbitCameraAt(t);

  // 6. Copy what the multisample buffers still hold from the previous frame
  // into textures the scene could sample; only while the material reads the
  // copied depth, since nothing else reads the copy. A scene drawn with one
  // sample has no buffers of its own to keep the previous frame in.
  const bool multisampled = renderer.targetSamples[0] > 0;
  if (multisampled && shaders.programReads(programs.material, "texture2d_2")) {
    renderer.attachColorTexture(0, 0, ids.sceneColor);
    renderer.attachColorTexture(0, 1, ids.secondColor);
    renderer.attachDepthTexture(0, ids.depthB);
    renderer.bindForDrawing(0, 2);
    renderer.resolveTarget(0, w, h, 2, true);
  }
  markPass(&renderer, "previous copy");

  // 7., 8. The scene of this moment: into the 4-sample target, or with one
  // sample straight into the textures the passes read.
  renderer.attachColorTexture(0, 0, ids.sceneColor);
  renderer.attachColorTexture(0, 1, ids.secondColor);
  renderer.attachDepthTexture(0, ids.depthA);
  if (multisampled)
    renderer.bindForDrawing(0, 2);
  else
    renderer.bindTexturesForDrawing(0, 2);
  // The benchmark may leave the slot empty, cleared only, to time the chain alone.
  const bool sceneSlotFilled = !renderer.frameProfile || renderer.frameProfile->drawScene;
  if (!sceneSlotFilled) {
    setViewport(full);
    clearColorAndDepth(0.0f, 0.0f, 0.0f, 0.0f);
  } else {
    SceneContext scene{renderer,    shaders,       programs, textureIds, meshes,
                       shapeInputs, sceneGeometry, random,   beatOffset, requestCamera};
    switch (sceneAt(t)) {
      case Scene::OpeningPanels:
        drawOpeningPanels(frame, scene);
        break;
      case Scene::PanelField:
        drawPanelField(frame, scene);
        break;
      case Scene::RingTunnel:
        drawRingTunnel(frame, scene);
        break;
      case Scene::PanelCube:
        drawPanelCube(frame, scene);
        break;
    }
  }
  markPass(&renderer, "scene");

  // 9. Resolve the scene: both colour buffers into textures 0 and 11, its
  // depth into depth A. A scene drawn with one sample is already there, and
  // its colour goes through the edge filter instead.
  if (multisampled) {
    renderer.resolveTarget(0, w, h, 2, true);
    markPass(&renderer, "resolve");
  } else {
    PostPass edgeFilter{programs.edgeFilter, PassTarget::Textures, 2, ids.edgeFiltered, full};
    edgeFilter.sample("texture2d_1", 0, ids.sceneColor);
    runPostPass(renderer, shaders, edgeFilter);
    markPass(&renderer, "edge filter");
  }
  const TextureId sceneColor = multisampled ? ids.sceneColor : ids.edgeFiltered;

  // 10. Ambient occlusion at half size, with the rings' bloom spread from the
  // glow mask beside it, then the combine at full size into its own texture.
  const Grade grade = gradeAt(t);
  PostPass occlusion{
      programs.occlusion, PassTarget::Textures, 2, ids.occlusion, {0, 0, w / 2, h / 2}};
  occlusion.sample("texture2d_2", 0, ids.depthA);
  occlusion.sample("texture2d_random", 1, ids.noise);
  occlusion.sample("texture2d_3", 2, ids.secondColor);
  occlusion.set("FullTexel", 1.0f / w, 1.0f / h, 0.0f, 0.0f);
  runPostPass(renderer, shaders, occlusion);
  markPass(&renderer, "occlusion");

  random.seed(static_cast<uint32_t>(static_cast<int32_t>(t * 423424.0)));
  for (int i = 0; i < 1000; ++i) random.next();
  PostPass combine{programs.combineOcclusion, PassTarget::Textures, 2, ids.combined, full};
  combine.set("Limit", static_cast<float>(random.unit()));
  combine.set("OcclusionSize", static_cast<float>(w / 2), static_cast<float>(h / 2), 0.0f, 0.0f);
  combine.sample("texture2d_1", 0, sceneColor);
  combine.sample("texture2d_2", 1, ids.depthA);
  combine.sample("texture2d_3", 2, ids.secondColor);
  combine.sample("texture2d_random", 3, ids.noise);
  combine.sample("texture2d_occlusion", 5, ids.occlusion);
  combine.sample("texture1d_dsp", 4, ids.spectrum);
  // The main camera's picture of the world at 65 degrees, and the key light
  // standing at the orbit camera's eye, whose glare shows where that picture
  // holds its source (the material lights its pool on the surfaces).
  const double aspect = static_cast<double>(w) / h;
  combine.set("TextureMatrix2", textureBiasMatrix() * perspectiveMatrix(65.0, aspect, 1.0, 100.0) *
                                    lookAtMatrix(renderer.mainCamera));
  const Vec3 keyEye = renderer.orbitCamera.eye;
  combine.set("KeyLightPosition", keyEye.x, keyEye.y, keyEye.z, static_cast<float>(aspect));
  // The scene's own view, undone: a pixel's direction into the world, for
  // the backdrop behind the scene.
  combine.set(
      "InverseViewProjection",
      inverseMatrix(perspectiveMatrix(35.0 + beatOffset, static_cast<double>(w) / h, 1.0, 100.0) *
                    lookAtMatrix(renderer.mainCamera)));
  combine.set("SkyColor", grade.sky.r, grade.sky.g, grade.sky.b, 0.0f);
  combine.set("time", static_cast<float>(t));
  runPostPass(renderer, shaders, combine);
  markPass(&renderer, "combine");

  // 11. Glow and beat.
  const BeatLevels beat = beatLevels(t);
  beatOffset = beat.beatOffset;

  // 12. Highlight blur into the quarter-size glow texture.
  const bool glowDrawn = beat.glow > 0.03f;
  if (glowDrawn)
    runFilterPass(renderer, {programs.highlightBlur, 1, 1, w / 4, h / 4, ids.combined, ids.glow});
  markPass(&renderer, "glow blur");

  // 13.-17. The final blur pass onto the window, with the three layers of the
  // screen's pulse folded in: the glow added (its colour clamps to 1 as a
  // vertex colour would), the white flash added, the black dip and fade.
  const float flash = flashLevel(t);
  const float black = blackLevel(t);
  PostPass finalPass{programs.finalBlur, PassTarget::Screen, 0, 0, full};
  finalPass.sample("texture2d_1", 0, ids.combined);
  finalPass.sample("texture2d_velocities", 1, ids.velocity);
  finalPass.sample("texture2d_random", 2, ids.noise);
  finalPass.sample("texture2d_2", 3, ids.depthA);
  finalPass.sample("texture1d_dsp", 4, ids.spectrum);
  finalPass.sample("texture2d_glow", 5, ids.glow);
  // The section's grade: lift and exposure, gain and saturation, and how far
  // the kick opens the exposure.
  finalPass.set("GradeLift", grade.lift.r, grade.lift.g, grade.lift.b, grade.exposure);
  finalPass.set("GradeGain", grade.gain.r, grade.gain.g, grade.gain.b, grade.saturation);
  finalPass.set("KickPulse", grade.kickPulse);
  finalPass.set("Limit", static_cast<float>(frame.adjustA));
  finalPass.set("time", static_cast<float>(t));
  finalPass.set("GlowLevel", glowDrawn ? std::min(beat.glow, 1.0f) : 0.0f);
  finalPass.set("FlashLevel", flash > 0.03f ? flash : 0.0f);
  finalPass.set("BlackLevel", black > 0.001f ? black : 0.0f);
  runPostPass(renderer, shaders, finalPass);
  markPass(&renderer, "final");
}

void part_start::runFilterPass(RenderResources& renderer, const FilterPass& filter) {
  for (int i = 0; i < filter.iterations; ++i) {
    // The first iteration draws straight into destination. Later ones read
    // it, so they draw into the pair's renderbuffer and resolve into it.
    PostPass pass{filter.program,
                  i == 0 ? PassTarget::Textures : PassTarget::Multisample,
                  filter.pair,
                  filter.destination,
                  {0, 0, filter.width, filter.height}};
    // From the second iteration on, each pass filters the previous result.
    pass.sample("texture2d_1", 0, i == 0 ? filter.source : filter.destination);
    if (filter.extra2 >= 0) pass.sample("texture2d_2", 1, filter.extra2);
    if (filter.extra3 >= 0) pass.sample("texture2d_3", 2, filter.extra3);
    runPostPass(renderer, shaders, pass);
  }
  renderer.bindScreen();
}
