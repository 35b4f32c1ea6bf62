// Velocities: vertex stage. Texture matrix 3 holds the previous frame's
// projection and camera; the fragment stage writes the screen motion.
#version 120

varying vec4 currentClip;
varying vec4 previousClip;

void main() {
  currentClip = gl_ModelViewProjectionMatrix * gl_Vertex;
  previousClip = gl_TextureMatrix[3] * gl_Vertex;
  gl_Position = currentClip;
}
