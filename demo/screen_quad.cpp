// Full-screen quads and the fixed-function reset.
#include "demo/screen_quad.h"

#include <GL/glew.h>

#include <cmath>

void resetFixedState() {
  glDisable(GL_BLEND);
  glDisable(GL_LIGHTING);
  glDisable(GL_COLOR_MATERIAL);
  glDisable(GL_LIGHT0);
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_FOG);
  glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}

void loadIdentityMatrices() {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glMatrixMode(GL_TEXTURE);
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
}

void drawScreenQuad(double angleDegrees, double scaleX, double scaleY, bool billboard,
                    float repeat) {
  GLfloat modelView[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, modelView);
  if (billboard) {
    for (int column = 0; column < 3; ++column)
      for (int row = 0; row < 3; ++row) modelView[column * 4 + row] = column == row ? 1.0f : 0.0f;
    glLoadMatrixf(modelView);
  }
  glRotatef(static_cast<float>(angleDegrees), 0.0f, 0.0f, 1.0f);
  glScalef(static_cast<float>(std::fabs(scaleX)), static_cast<float>(scaleY), 0.0f);
  const float r = repeat;
  const bool mirrored = scaleX <= 0.0;
  const float s0 = mirrored ? r : 0.0f;
  const float s1 = mirrored ? 0.0f : r;
  glBegin(GL_QUADS);
  glTexCoord2f(s0, 0.0f);
  glVertex3f(-1.0f, -1.0f, 0.0f);
  glTexCoord2f(s1, 0.0f);
  glVertex3f(1.0f, -1.0f, 0.0f);
  glTexCoord2f(s1, r);
  glVertex3f(1.0f, 1.0f, 0.0f);
  glTexCoord2f(s0, r);
  glVertex3f(-1.0f, 1.0f, 0.0f);
  glEnd();
}
