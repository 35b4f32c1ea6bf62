// Render-target pairs against a live context: index and count clamps, the
// multisample resolve, partial resolves, the startup pairs and the report of
// incomplete framebuffers.
#include <GL/glew.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/random.h"
#include "render/matrix.h"
#include "render/render_resources.h"
#include "render/render_startup.h"
#include "support/gl_fixture.h"

namespace {

constexpr int kSize = 64;

GLint integer(GLenum query) {
  GLint value = -1;
  glGetIntegerv(query, &value);
  return value;
}

GLint renderbufferParameter(RenderbufferName renderbuffer, GLenum parameter) {
  GLint value = -1;
  glBindRenderbuffer(GL_RENDERBUFFER, renderbuffer.value);
  glGetRenderbufferParameteriv(GL_RENDERBUFFER, parameter, &value);
  return value;
}

void bindTexture(const RenderResources& renderer, TextureId id) {
  glBindTexture(GL_TEXTURE_2D, renderer.textureHandle(id).value);
}

// Red channel of a kSize x kSize RGBA texture, row y = 0 first.
std::vector<unsigned char> redChannel(const RenderResources& renderer, TextureId id) {
  std::vector<unsigned char> rgba(kSize * kSize * 4);
  bindTexture(renderer, id);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
  std::vector<unsigned char> red(kSize * kSize);
  for (size_t i = 0; i < red.size(); ++i) red[i] = rgba[i * 4];
  return red;
}

// Clears the bound target to black and draws a white square turned by 45
// degrees about the bottom-left corner, whose edge runs diagonally across it.
void drawDiagonalEdge(const RenderResources& renderer) {
  glViewport(0, 0, kSize, kSize);
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  renderer.drawFlatQuad(
      translationMatrix(-1.0, -1.0, 0.0) * rotationZMatrix(45.0) * scaleMatrix(1.3, 1.3, 1.0), 1.0f,
      1.0f, 1.0f, 1.0f, Blend::Off);
}

int countIntermediate(const std::vector<unsigned char>& red) {
  int count = 0;
  for (unsigned char value : red) count += (value > 8 && value < 247);
  return count;
}

class RenderTargetsTest : public GLTest {
 protected:
  void SetUp() override {
    GLTest::SetUp();
    renderer->createScreenQuad();
  }
  void TearDown() override { renderer->bindScreen(); }

  // Creates pair index with a fresh colour texture on colour attachment 0.
  void makeTarget(int index, int samples, TextureId colour) {
    renderer->createTargetPair(index, kSize, kSize, samples);
    renderer->createColorTexture(colour, kSize, kSize, random);
    renderer->attachColorTexture(index, 0, colour);
  }

  std::unique_ptr<RenderResources> renderer = std::make_unique<RenderResources>();
  Random random;
};

TEST_F(RenderTargetsTest, PairIndexAndAttachmentCountsAreClamped) {
  renderer->createTargetPair(20, 16, 16, 0);
  EXPECT_NE(renderer->multisampleFramebuffer[15].value, 0u);
  EXPECT_NE(renderer->depthRenderbuffer[15].value, 0u);
  EXPECT_EQ(static_cast<GLuint>(integer(GL_FRAMEBUFFER_BINDING)),
            renderer->textureFramebuffer[15].value);

  renderer->createTargetPair(-1, 16, 16, 4);
  EXPECT_NE(renderer->colorRenderbuffer1[0].value, 0u);
  EXPECT_EQ(renderbufferParameter(renderer->colorRenderbuffer0[0], GL_RENDERBUFFER_SAMPLES), 4);
  EXPECT_EQ(renderbufferParameter(renderer->depthRenderbuffer[0], GL_RENDERBUFFER_INTERNAL_FORMAT),
            GL_DEPTH_COMPONENT24);
  for (int pair = 1; pair < 15; ++pair) EXPECT_EQ(renderer->multisampleFramebuffer[pair].value, 0u);

  renderer->bindForDrawing(-3, 0);
  EXPECT_EQ(static_cast<GLuint>(integer(GL_FRAMEBUFFER_BINDING)),
            renderer->multisampleFramebuffer[0].value);
  EXPECT_EQ(integer(GL_DRAW_BUFFER0), GL_COLOR_ATTACHMENT0);
  EXPECT_EQ(integer(GL_DRAW_BUFFER1), GL_NONE);

  renderer->bindForDrawing(0, 2);
  EXPECT_EQ(integer(GL_DRAW_BUFFER1), GL_COLOR_ATTACHMENT1);
  EXPECT_EQ(integer(GL_DRAW_BUFFER2), GL_NONE);

  testing::internal::CaptureStderr();  // three buffers name the missing attachment 2
  renderer->bindForDrawing(0, 5);
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(integer(GL_DRAW_BUFFER2), GL_COLOR_ATTACHMENT2);
  EXPECT_EQ(integer(GL_DRAW_BUFFER3), GL_NONE);

  // Attachment 7 lands on colour attachment 2 of the texture framebuffer.
  renderer->createColorTexture(300, 16, 16, random);
  renderer->attachColorTexture(15, 7, 300);
  GLint attached = 0;
  glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT2,
                                        GL_FRAMEBUFFER_ATTACHMENT_OBJECT_NAME, &attached);
  EXPECT_EQ(static_cast<GLuint>(attached), renderer->textureHandle(300).value);
}

TEST_F(RenderTargetsTest, FourSampleResolveSmoothsTheEdgeAndZeroSamplesDoNot) {
  makeTarget(0, 4, 100);
  renderer->bindForDrawing(0, 1);
  drawDiagonalEdge(*renderer);
  renderer->resolveTarget(0, kSize, kSize, 1, false);
  EXPECT_EQ(static_cast<GLuint>(integer(GL_READ_FRAMEBUFFER_BINDING)),
            renderer->multisampleFramebuffer[0].value);
  EXPECT_EQ(static_cast<GLuint>(integer(GL_DRAW_FRAMEBUFFER_BINDING)),
            renderer->textureFramebuffer[0].value);
  std::vector<unsigned char> smooth = redChannel(*renderer, 100);

  makeTarget(1, 0, 101);
  renderer->bindForDrawing(1, 1);
  drawDiagonalEdge(*renderer);
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
  renderer->createColorTexture(111, kSize, kSize, random);
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
  bindTexture(*renderer, 112);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
  EXPECT_NEAR(depth[0], 0.25f, 1e-4);
  EXPECT_NEAR(depth[kSize * kSize - 1], 0.25f, 1e-4);
}

TEST_F(RenderTargetsTest, StartupMakesThreeCompletePairsFromTheRenderSize) {
  static double presented = 0.0;
  auto swap = [](double value) { presented = value; };
  testing::internal::CaptureStderr();
  EXPECT_FALSE(startRenderer(*renderer, swap, 1366, 768, 1366, 768, true));
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
    const RenderbufferName colour = renderer->colorRenderbuffer0[pair];
    EXPECT_EQ(renderbufferParameter(colour, GL_RENDERBUFFER_WIDTH), widths[pair]);
    EXPECT_EQ(renderbufferParameter(colour, GL_RENDERBUFFER_HEIGHT), heights[pair]);
    EXPECT_EQ(renderbufferParameter(colour, GL_RENDERBUFFER_SAMPLES), samples[pair]);
    glBindFramebuffer(GL_FRAMEBUFFER, renderer->multisampleFramebuffer[pair].value);
    EXPECT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), GL_FRAMEBUFFER_COMPLETE);
  }
  EXPECT_EQ(renderer->multisampleFramebuffer[3].value, 0u);
}

TEST_F(RenderTargetsTest, IncompleteFramebufferIsReportedOnceWithPairAndStatus) {
  renderer->createTargetPair(9, kSize, kSize, 0);
  renderer->createColorTexture(120, 0, 0, random);  // no storage: an incomplete attachment
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
  renderer->createColorTexture(121, beyond, 1, random);
  EXPECT_EQ(renderer->creationFailure, pairFailure) << "the first failure is kept";
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");

  const auto fresh = std::make_unique<RenderResources>();
  glEnable(GL_RGBA8);  // an error left by someone else is not the texture's
  fresh->createColorTexture(122, 16, 16, random);
  EXPECT_EQ(fresh->creationFailure, "");
  fresh->createColorTexture(123, queryRenderLimits().texture + 1, 1, random);
  EXPECT_NE(fresh->creationFailure.find("Texture 123"), std::string::npos)
      << fresh->creationFailure;

  const auto tooLarge = std::make_unique<RenderResources>();
  const std::optional<LoadFailure> refused =
      startRenderer(*tooLarge, nullptr, beyond, 16, beyond, 16, true);
  ASSERT_TRUE(refused);
  EXPECT_NE(refused->text.find("largest renderbuffer"), std::string::npos) << refused->text;
  EXPECT_EQ(tooLarge->multisampleFramebuffer[0].value, 0u);
}

}  // namespace
