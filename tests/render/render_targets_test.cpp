// Render-target pairs against a live context: index and count clamps, the
// multisample resolve, partial resolves, the startup pairs and the reports of
// incomplete framebuffers and missing extensions.
#include <GL/glew.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/random.h"
#include "render/gl_fixture.h"
#include "render/render_resources.h"
#include "render/render_startup.h"

namespace {

constexpr int kSize = 64;

GLint integer(GLenum query) {
  GLint value = -1;
  glGetIntegerv(query, &value);
  return value;
}

GLint renderbufferParameter(GLuint renderbuffer, GLenum parameter) {
  GLint value = -1;
  glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, renderbuffer);
  glGetRenderbufferParameterivEXT(GL_RENDERBUFFER_EXT, parameter, &value);
  return value;
}

// Red channel of a kSize x kSize RGBA texture, row y = 0 first.
std::vector<unsigned char> redChannel(const RenderResources& renderer, TextureId id) {
  std::vector<unsigned char> rgba(kSize * kSize * 4);
  renderer.bindTextureId(id);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
  std::vector<unsigned char> red(kSize * kSize);
  for (size_t i = 0; i < red.size(); ++i) red[i] = rgba[i * 4];
  return red;
}

// Clears the bound target to black and draws a white triangle whose long
// edge runs diagonally across it, with fixed-function state.
void drawDiagonalEdge() {
  glViewport(0, 0, kSize, kSize);
  glUseProgram(0);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_TEXTURE_2D);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glColor4f(1, 1, 1, 1);
  glBegin(GL_TRIANGLES);
  glVertex2f(-1.0f, -1.0f);
  glVertex2f(1.0f, -1.0f);
  glVertex2f(-1.0f, 0.7f);
  glEnd();
}

int countIntermediate(const std::vector<unsigned char>& red) {
  int count = 0;
  for (unsigned char value : red) count += (value > 8 && value < 247);
  return count;
}

class RenderTargetsTest : public GLTest {
 protected:
  void TearDown() override { renderer->bindScreen(); }

  // Creates pair index with a fresh colour texture on colour attachment 0.
  void makeTarget(int index, int samples, TextureId colour) {
    renderer->createTargetPair(index, kSize, kSize, samples);
    renderer->createColorTexture(colour, kSize, kSize);
    renderer->attachColorTexture(index, 0, colour);
  }

  std::unique_ptr<RenderResources> renderer = std::make_unique<RenderResources>();
};

TEST_F(RenderTargetsTest, PairIndexAndAttachmentCountsAreClamped) {
  renderer->createTargetPair(20, 16, 16, 0);
  EXPECT_NE(renderer->multisampleFramebuffer[15], 0u);
  EXPECT_NE(renderer->depthRenderbuffer[15], 0u);
  EXPECT_EQ(static_cast<GLuint>(integer(GL_FRAMEBUFFER_BINDING_EXT)),
            renderer->textureFramebuffer[15]);

  renderer->createTargetPair(-1, 16, 16, 4);
  EXPECT_NE(renderer->colorRenderbuffer1[0], 0u);
  EXPECT_EQ(renderbufferParameter(renderer->colorRenderbuffer0[0], GL_RENDERBUFFER_SAMPLES_EXT), 4);
  EXPECT_EQ(
      renderbufferParameter(renderer->depthRenderbuffer[0], GL_RENDERBUFFER_INTERNAL_FORMAT_EXT),
      GL_DEPTH_COMPONENT24);
  for (int pair = 1; pair < 15; ++pair) EXPECT_EQ(renderer->multisampleFramebuffer[pair], 0u);

  renderer->bindForDrawing(-3, 0);
  EXPECT_EQ(static_cast<GLuint>(integer(GL_FRAMEBUFFER_BINDING_EXT)),
            renderer->multisampleFramebuffer[0]);
  EXPECT_EQ(integer(GL_DRAW_BUFFER0), GL_COLOR_ATTACHMENT0_EXT);
  EXPECT_EQ(integer(GL_DRAW_BUFFER1), GL_NONE);

  renderer->bindForDrawing(0, 2);
  EXPECT_EQ(integer(GL_DRAW_BUFFER1), GL_COLOR_ATTACHMENT1_EXT);
  EXPECT_EQ(integer(GL_DRAW_BUFFER2), GL_NONE);

  testing::internal::CaptureStderr();  // three buffers name the missing attachment 2
  renderer->bindForDrawing(0, 5);
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(integer(GL_DRAW_BUFFER2), GL_COLOR_ATTACHMENT2_EXT);
  EXPECT_EQ(integer(GL_DRAW_BUFFER3), GL_NONE);

  // Attachment 7 lands on colour attachment 2 of the texture framebuffer.
  renderer->createColorTexture(300, 16, 16);
  renderer->attachColorTexture(15, 7, 300);
  GLint attached = 0;
  glGetFramebufferAttachmentParameterivEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT2_EXT,
                                           GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME_EXT, &attached);
  EXPECT_EQ(static_cast<GLuint>(attached), renderer->textureHandle(300));
}

TEST_F(RenderTargetsTest, FourSampleResolveSmoothsTheEdgeAndZeroSamplesDoNot) {
  makeTarget(0, 4, 100);
  renderer->bindForDrawing(0, 1);
  drawDiagonalEdge();
  renderer->resolveTarget(0, kSize, kSize, 1, false);
  EXPECT_EQ(static_cast<GLuint>(integer(GL_READ_FRAMEBUFFER_BINDING_EXT)),
            renderer->multisampleFramebuffer[0]);
  EXPECT_EQ(static_cast<GLuint>(integer(GL_DRAW_FRAMEBUFFER_BINDING_EXT)),
            renderer->textureFramebuffer[0]);
  std::vector<unsigned char> smooth = redChannel(*renderer, 100);

  makeTarget(1, 0, 101);
  renderer->bindForDrawing(1, 1);
  drawDiagonalEdge();
  renderer->resolveTarget(1, kSize, kSize, 1, false);
  std::vector<unsigned char> hard = redChannel(*renderer, 101);

  for (const auto* red : {&smooth, &hard}) {
    EXPECT_EQ((*red)[2 * kSize + 2], 255);                  // inside the triangle
    EXPECT_EQ((*red)[(kSize - 3) * kSize + kSize - 3], 0);  // outside: the random bytes are gone
  }
  // The edge crosses every row below y = 54: each has a partly covered pixel.
  EXPECT_GE(countIntermediate(smooth), 50);
  EXPECT_EQ(countIntermediate(hard), 0);
}

TEST_F(RenderTargetsTest, ResolveCopiesOnlyTheRequestedAttachmentsAndRectangle) {
  makeTarget(4, 0, 110);
  renderer->createColorTexture(111, kSize, kSize);
  renderer->attachColorTexture(4, 1, 111);
  const std::vector<unsigned char> secondBefore = redChannel(*renderer, 111);

  renderer->bindForDrawing(4, 2);
  glClearColor(1, 1, 1, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  // A colour count of 0 resolves attachment 0 only; the rectangle is one corner.
  renderer->resolveTarget(4, kSize / 4, kSize / 2, 0, false);

  std::vector<unsigned char> first = redChannel(*renderer, 110);
  EXPECT_EQ(first[0], 255);
  EXPECT_EQ(first[(kSize / 2 - 1) * kSize + kSize / 4 - 1], 255);
  EXPECT_LT(first[(kSize / 2 - 1) * kSize + kSize / 4], 255);  // just right of the corner
  EXPECT_LT(first[(kSize / 2) * kSize], 255);                  // just above it
  EXPECT_EQ(redChannel(*renderer, 111), secondBefore);

  // Two colours and depth: the second texture and a depth texture take the copy too.
  renderer->createDepthTexture(112, kSize, kSize);
  renderer->attachDepthTexture(4, 112);
  renderer->bindForDrawing(4, 2);
  glClearDepth(0.25);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  renderer->resolveTarget(4, kSize, kSize, 2, true);
  std::vector<unsigned char> second = redChannel(*renderer, 111);
  EXPECT_EQ(std::vector<unsigned char>(second.size(), 255), second);
  std::vector<float> depth(kSize * kSize);
  renderer->bindTextureId(112);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
  EXPECT_NEAR(depth[0], 0.25f, 1e-4);
  EXPECT_NEAR(depth[kSize * kSize - 1], 0.25f, 1e-4);
}

TEST_F(RenderTargetsTest, StartupMakesThreeCompletePairsFromTheRenderSize) {
  static double presented = 0.0;
  auto swap = [](double value) { presented = value; };
  GLuint texture = 0;
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);

  testing::internal::CaptureStderr();
  EXPECT_EQ(startRenderer(*renderer, swap, 1366, 768, 1366, 768, true), "");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");

  EXPECT_EQ(renderer->renderWidth, 1366);
  EXPECT_EQ(renderer->renderHeight, 768);
  ASSERT_NE(renderer->swapBuffers, nullptr);
  renderer->swapBuffers(2.0);
  EXPECT_EQ(presented, 2.0);
  const int widths[] = {1366, 683, 341};
  const int heights[] = {768, 384, 192};
  const int samples[] = {4, 0, 0};
  for (int pair = 0; pair < 3; ++pair) {
    SCOPED_TRACE(pair);
    GLuint colour = renderer->colorRenderbuffer0[pair];
    EXPECT_EQ(renderbufferParameter(colour, GL_RENDERBUFFER_WIDTH_EXT), widths[pair]);
    EXPECT_EQ(renderbufferParameter(colour, GL_RENDERBUFFER_HEIGHT_EXT), heights[pair]);
    EXPECT_EQ(renderbufferParameter(colour, GL_RENDERBUFFER_SAMPLES_EXT), samples[pair]);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, renderer->multisampleFramebuffer[pair]);
    EXPECT_EQ(glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT), GL_FRAMEBUFFER_COMPLETE_EXT);
  }
  EXPECT_EQ(renderer->multisampleFramebuffer[3], 0u);

  GLint minFilter = 0, magFilter = 0;
  glBindTexture(GL_TEXTURE_2D, texture);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
  glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &magFilter);
  EXPECT_EQ(minFilter, GL_LINEAR);
  EXPECT_EQ(magFilter, GL_LINEAR);
}

TEST_F(RenderTargetsTest, IncompleteFramebufferIsReportedOnceWithPairAndStatus) {
  renderer->createTargetPair(9, kSize, kSize, 0);
  renderer->createColorTexture(120, 0, 0);  // no storage: an incomplete attachment
  renderer->attachColorTexture(9, 0, 120);

  testing::internal::CaptureStderr();
  renderer->resolveTarget(9, kSize, kSize, 1, false);
  renderer->resolveTarget(9, kSize, kSize, 1, false);
  std::string report = testing::internal::GetCapturedStderr();
  EXPECT_NE(report.find("pair 9"), std::string::npos) << report;
  EXPECT_NE(report.find("0x8CD6"), std::string::npos) << report;
  EXPECT_EQ(report.find('\n'), report.size() - 1) << report;
}

// A pair or texture beyond the driver's largest size is not drawn into: the
// first one is kept as the creation failure, naming what failed, and nothing
// goes to stderr; a startup asked for such a render size refuses it before
// any pair exists.
TEST_F(RenderTargetsTest, WhatTheDriverCannotHoldIsTheCreationFailure) {
  const int beyond = queryRenderLimits().renderbuffer + 1;
  testing::internal::CaptureStderr();
  renderer->createTargetPair(10, beyond, 16, 0);
  const std::string pairFailure = renderer->creationFailure;
  EXPECT_NE(pairFailure.find("pair 10: multisample framebuffer incomplete"), std::string::npos)
      << pairFailure;
  renderer->createColorTexture(121, beyond, 1);
  EXPECT_EQ(renderer->creationFailure, pairFailure) << "the first failure is kept";
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");

  const auto fresh = std::make_unique<RenderResources>();
  glEnable(GL_RGBA8);  // an error left by someone else is not the texture's
  fresh->createColorTexture(122, 16, 16);
  EXPECT_EQ(fresh->creationFailure, "");
  fresh->createColorTexture(123, queryRenderLimits().texture + 1, 1);
  EXPECT_NE(fresh->creationFailure.find("Texture 123"), std::string::npos)
      << fresh->creationFailure;

  const auto tooLarge = std::make_unique<RenderResources>();
  const std::string refused = startRenderer(*tooLarge, nullptr, beyond, 16, beyond, 16, true);
  EXPECT_NE(refused.find("largest renderbuffer"), std::string::npos) << refused;
  EXPECT_EQ(tooLarge->multisampleFramebuffer[0], 0u);
}

TEST_F(RenderTargetsTest, MissingExtensionsAreReportedAndDrawingStaysOnTheWindow) {
  const PFNGLGENFRAMEBUFFERSEXTPROC loaded = glGenFramebuffersEXT;
  glGenFramebuffersEXT = nullptr;
  testing::internal::CaptureStderr();
  renderer->createTargetPair(12, kSize, kSize, 0);
  renderer->bindForDrawing(12, 1);
  renderer->resolveTarget(12, kSize, kSize, 1, false);
  std::string report = testing::internal::GetCapturedStderr();
  glGenFramebuffersEXT = loaded;

  EXPECT_NE(report.find("pair 12"), std::string::npos) << report;
  EXPECT_NE(report.find("extensions are missing"), std::string::npos) << report;
  EXPECT_EQ(report.find('\n'), report.size() - 1) << report;
  EXPECT_EQ(renderer->colorRenderbuffer0[12], 0u);
  EXPECT_EQ(renderer->multisampleFramebuffer[12], 0u);
}

}  // namespace
