// Material: vertex stage. The model-view matrix holds only the camera, so the
// vertex position is the world position.
//
// Every vertex carries, as the columns of clipPlanes, the four edge planes
// (nx, ny, nz, d) of the clip panel that was current when its shape was drawn;
// rings drawn after a panel are cut to its outline. The cut is exact in the
// fragment stage, which drops every pixel whose centre lies outside a plane
// (n.p + d < -0.0005). The clip distances here remove beforehand what lies
// well outside, so it is never rasterised and shaded: they keep a band
// 1/50 of the half view height wide (four pixels at 360 lines) beyond each
// plane, so that no sample the fragment stage keeps is clipped.
// Version 1.30 for the clip distances; the compatibility context keeps
// gl_Vertex, gl_Color, the matrices and ftransform.
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

  // Half the view's height at this depth is w / projection[1][1].
  float band = 0.0005 + 0.02 * gl_Position.w / gl_ProjectionMatrix[1][1];
  vec4 inside = vec4(gl_Vertex.xyz, 1.0) * clipPlanes + band;
  gl_ClipDistance[0] = inside.x;
  gl_ClipDistance[1] = inside.y;
  gl_ClipDistance[2] = inside.z;
  gl_ClipDistance[3] = inside.w;
}
