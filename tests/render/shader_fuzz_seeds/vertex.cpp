// Material: vertex stage. The model-view matrix holds only the camera, so the
// vertex position is the world position.
#version 120

varying vec3 worldPosition;
varying vec3 eyePosition;
varying vec4 orbitCoord;  // world position in the orbit camera's [0,1] screen space
varying vec4 color;

void main() {
  worldPosition = gl_Vertex.xyz;
  eyePosition = (gl_ModelViewMatrix * gl_Vertex).xyz;
  orbitCoord = gl_TextureMatrix[2] * gl_Vertex;
  color = gl_Color;
  gl_Position = ftransform();
}
