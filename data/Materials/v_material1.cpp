// Material: vertex stage. The model-view matrix holds only the camera, so the
// vertex position is the world position.
//
// Every vertex carries, as the columns of clipPlanes, the four edge planes
// (nx, ny, nz, d) of the clip panel that was current when its shape was drawn;
// rings drawn after a panel are cut to its outline. The cut is exact in the
// fragment stage, which drops every pixel whose centre lies outside a plane
// (n.p + d < -0.0005). A plane's n.p + d is affine in the position, so it is
// computed here and interpolated like the position itself. The clip
// distances here remove beforehand what lies well outside, so it is never
// rasterised and shaded: they keep a band 1/50 of the half view height wide
// (four pixels at 360 lines) beyond each plane, so that no sample the
// fragment stage keeps is clipped.
// Version 1.30 for the clip distances; the compatibility context keeps
// gl_Vertex, gl_Color, the matrices and ftransform.
#version 130

uniform float ttime;
in mat4 clipPlanes;

out vec3 worldPosition;
out vec3 eyePosition;
// The blob's texture coordinates, times the orbit camera's w (in z), so that
// they interpolate as the orbit position does: its [0,1] screen position,
// drawn in by 0.8 about the centre and drifting sideways with the time.
out vec3 blobCoord;
out vec4 color;
out vec4 planeDistances;  // n.p + d of the four planes

void main() {
  worldPosition = gl_Vertex.xyz;
  eyePosition = (gl_ModelViewMatrix * gl_Vertex).xyz;
  vec4 orbit = gl_TextureMatrix[2] * gl_Vertex;
  blobCoord = vec3(0.8 * orbit.xy + vec2(0.1 + 0.05 * sin(ttime * 0.3), 0.1) * orbit.w, orbit.w);
  color = gl_Color;
  gl_Position = ftransform();

  // Half the view's height at this depth is w / projection[1][1].
  float band = 0.0005 + 0.02 * gl_Position.w / gl_ProjectionMatrix[1][1];
  planeDistances = vec4(gl_Vertex.xyz, 1.0) * clipPlanes;
  vec4 inside = planeDistances + band;
  gl_ClipDistance[0] = inside.x;
  gl_ClipDistance[1] = inside.y;
  gl_ClipDistance[2] = inside.z;
  gl_ClipDistance[3] = inside.w;
}
