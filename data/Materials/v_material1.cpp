// Material: vertex stage. The model-view matrix holds only the camera, so the
// vertex position is the world position. Every vertex carries, as the columns
// of clipPlanes, the four edge planes (nx, ny, nz, d) of the clip panel that
// was current when its shape was drawn; the fragment stage cuts to them.
#version 130

in mat4 clipPlanes;

out vec3 worldPosition;
out vec3 eyePosition;
out vec4 orbitCoord;  // world position in the orbit camera's [0,1] screen space
out vec4 color;
flat out mat4 panelPlanes;

void main() {
  worldPosition = gl_Vertex.xyz;
  eyePosition = (gl_ModelViewMatrix * gl_Vertex).xyz;
  orbitCoord = gl_TextureMatrix[2] * gl_Vertex;
  color = gl_Color;
  gl_Position = ftransform();
  panelPlanes = clipPlanes;
}
