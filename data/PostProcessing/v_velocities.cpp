// Velocities: vertex stage. "TextureMatrix3" holds the previous frame's
// projection and camera; the fragment stage writes the screen motion.
uniform mat4 ProjectionMatrix;
uniform mat4 ModelViewMatrix;
uniform mat4 TextureMatrix3;
in vec3 vertexPosition;
out vec4 currentClip;
out vec4 previousClip;

void main() {
  vec4 vertex = vec4(vertexPosition, 1.0);
  currentClip = ProjectionMatrix * ModelViewMatrix * vertex;
  previousClip = TextureMatrix3 * vertex;
  gl_Position = currentClip;
}
