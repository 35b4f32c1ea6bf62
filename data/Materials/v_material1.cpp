// Material: vertex stage. The model-view matrix holds only the camera, so the
// vertex position is the world position.
//
// Every vertex carries, as the columns of clipPlanes, the four edge planes
// (nx, ny, nz, d) of the clip panel that was current when its shape was drawn;
// rings drawn after a panel are cut to its outline. The cut is exact in the
// fragment stage, which drops every pixel whose centre lies outside a plane
// (n.p + d < -0.0005); a plane's n.p + d is affine in the position, so it is
// computed here and interpolated like the position. The clip distances here remove beforehand what lies
// well outside, so it is never rasterised and shaded: they keep a band
// 1/50 of the half view height wide (four pixels at 360 lines) beyond each
// plane, so that no sample the fragment stage keeps is clipped.
// The loader defines CLIP_DISTANCES where the context has clip distances;
// without them the fragment stage's cut alone keeps the outline.
//
// What the fragment stage needs per shape is worked out here, once a vertex:
// whether the shape is a ring's wall (its normal square to the panel's, which
// is that of two edge planes crossed), the panel's half extents across its
// pairs of opposite edges, the vertex's offset from the panel's centre
// across them (an affine function of the position, so it interpolates
// exactly), and the coordinates of the blob image and of the key light's
// pool in the orbit camera's picture.
//
// A ring's walls seen from the other side of their panel lie behind it; the
// fragment stage drops the parts the panel hides (where the line of sight
// crosses the panel's plane inside its outline) rather than leave them to the
// depth test, which at the walls' foot, right on the panel, is a tie that
// software rasterisers with coarse multisample depth let the walls win. It
// needs the eye's n.p + d and the eye's height along the panel's normal above
// this point and above the panel's plane. The plane is read from the
// provoking vertex, the last of each triangle, which for a wall is always one
// at its foot on the panel. Every panel the scenes place is drawn, so the
// planes a ring carries are always those of a panel that hides it.
uniform float ttime;
uniform mat4 ProjectionMatrix;
uniform mat4 ModelViewMatrix;  // the camera alone
uniform mat4 TextureMatrix2;   // world to the orbit camera's picture, 0..1
in vec3 vertexPosition;
in vec3 vertexNormal;
in vec3 vertexColor;
in mat4 clipPlanes;

out vec3 worldPosition;
out vec3 eyePosition;
out vec3 blobCoord;    // divide xy by z: the blob image where the orbit camera looks
out vec3 keyCoord;     // divide xy by z: the offset from the orbit camera's line of sight
out float letterFade;  // 1, or less on the word's panels as they lie farther from the eye
out vec2 panelOffset;  // from the panel's centre across its pairs of edges, world units
out vec4 color;
out vec4 planeDistances;  // n.p + d of the four planes
flat out vec2 panelHalf;
flat out float wall;
flat out vec4 eyeInside;       // n.e + d of the four planes at the eye
flat out float eyeAbovePanel;  // the eye's height above the panel's plane
centroid out float eyeAbove;   // the eye's height above this point, within the wall

void main() {
  vec4 vertex = vec4(vertexPosition, 1.0);
  worldPosition = vertexPosition;
  vec4 eye = ModelViewMatrix * vertex;
  eyePosition = eye.xyz;
  vec4 orbit = TextureMatrix2 * vertex;
  blobCoord = vec3(0.8 * orbit.xy + (vec2(0.1 + 0.05 * sin(ttime * 0.3), 0.1)) * orbit.w, orbit.w);
  keyCoord = vec3(orbit.xy - 0.5 * orbit.w, orbit.w);
  color = vec4(vertexColor, 1.0);
  // The word's pale panels (the only panels in this colour) stand at several
  // stations along the tunnel's flight line, and looking down the line shows
  // them all behind one another. They fade out with the distance from the eye
  // much sooner than other surfaces, so that the nearest copy reads alone.
  bool letter = all(lessThan(abs(vertexColor - vec3(0.5, 0.56, 0.72)), vec3(0.002)));
  letterFade = letter ? 1.0 - smoothstep(15.0, 22.0, length(eye.xyz)) : 1.0;
  gl_Position = ProjectionMatrix * eye;

  vec4 inside = vertex * clipPlanes;
  planeDistances = inside;
  panelHalf = max((inside.xy + inside.zw) * 0.5, vec2(0.0001));
  panelOffset = (inside.xy - inside.zw) * 0.5;
  vec3 panelNormal = cross(clipPlanes[0].xyz, clipPlanes[1].xyz);
  float square = dot(panelNormal, panelNormal);
  float facing = abs(dot(normalize(vertexNormal), panelNormal)) * inversesqrt(square + 1e-12);
  wall = square > 1e-8 ? 1.0 - smoothstep(0.2, 0.5, facing) : 0.0;
  // The camera's world position: the model-view matrix is a rotation and a
  // translation.
  vec3 eyeWorld = -transpose(mat3(ModelViewMatrix)) * ModelViewMatrix[3].xyz;
  eyeInside = vec4(eyeWorld, 1.0) * clipPlanes;
  eyeAbove = dot(eyeWorld - vertexPosition, panelNormal) * inversesqrt(square + 1e-20);
  eyeAbovePanel = eyeAbove;

#ifdef CLIP_DISTANCES
  // Half the view's height at this depth is w / projection[1][1].
  float band = 0.0005 + 0.02 * gl_Position.w / ProjectionMatrix[1][1];
  gl_ClipDistance[0] = inside.x + band;
  gl_ClipDistance[1] = inside.y + band;
  gl_ClipDistance[2] = inside.z + band;
  gl_ClipDistance[3] = inside.w + band;
#endif
}
