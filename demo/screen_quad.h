// Full-screen quads and the fixed-function reset shared by every pass.
#pragma once

// Disables blending, lighting, colour material, light 0, 2-D texturing and
// fog, and sets the colour to opaque white.
void resetFixedState();

// Identity projection, texture (of the active unit) and model-view matrices;
// the model-view matrix is left selected.
void loadIdentityMatrices();

// One textured quad (-1,-1)..(1,1) rotated by angleDegrees about z and scaled
// by (|scaleX|, scaleY). With billboard set, the current matrix is first
// replaced by the model-view matrix with its rotation reset (translation
// kept). Texture coordinates run 0..repeat; a scaleX of 0 or below mirrors s.
// With identity matrices, drawScreenQuad(0, 1, 1, true, 1) covers the viewport.
void drawScreenQuad(double angleDegrees, double scaleX, double scaleY, bool billboard,
                    float repeat);
