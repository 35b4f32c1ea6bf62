// Material: fragment stage. Panels are dark glass or slate: a faint relief
// from the noise normal map that catches a cool glint, a bevelled outline with
// a thin cool edge line, a cool rim and a soft blob highlight. Rings carry the
// light and the colour. A key light circles the scene at the orbit camera's
// eye and lifts the panels in the pool where that camera looks; a broad ring that fills its panel keeps its full light
// round the panel's centre and thins to tinted glass towards the outline. Every
// pixel whose centre lies outside one of the four planes of the clip panel
// current when its shape was drawn is dropped, so rings drawn after a panel
// are cut to its outline (the vertex stage has already clipped away what lies
// well outside). The second colour attachment receives a glow mask for the
// combine pass.
uniform float alpha;
uniform sampler2D texture2d_1;     // normal map of the noise height field
uniform sampler2D texture2d_blob;  // soft round blob

in vec3 worldPosition;
in vec3 eyePosition;
in vec3 blobCoord;
in vec3 keyCoord;
in float letterFade;
in vec2 panelOffset;
in vec4 color;
in vec4 planeDistances;  // n.p + d of the four edge planes
flat in vec2 panelHalf;    // half extents across the pairs of opposite edges
flat in float wall;        // 1 on a ring's walls
flat in vec4 eyeInside;       // n.e + d of the four planes at the eye
flat in float eyeAbovePanel;  // the eye's height above the panel's plane
centroid in float eyeAbove;   // the eye's height above this point, within the wall

layout(location = 0) out vec4 sceneColor;
layout(location = 1) out vec4 glowMask;

void main() {
  // Distances inside the four edge planes, in world units.
  vec4 inside = planeDistances;
  float edge = min(min(inside.x, inside.y), min(inside.z, inside.w));
  if (edge < -0.0005) discard;
  // A fading panel of the word drops a growing share of its pixels in an
  // ordered 4 x 4 pattern: what lies behind shows through, with no blending.
  if (letterFade < 1.0) {
    ivec2 cell = ivec2(gl_FragCoord.xy) & 3;
    int mixed = cell.x ^ cell.y;
    int bayer = ((mixed & 1) << 3) | ((cell.y & 1) << 2) | (mixed & 2) | ((cell.y & 2) >> 1);
    if (letterFade * 16.0 <= float(bayer) + 0.5) discard;
  }
  // A wall on the far side of its own panel from the eye, where the line of
  // sight to it crosses the panel's plane (a share t of the way to the eye)
  // inside the outline.
  if (wall > 0.5) {
    float t = (eyeAbove - eyeAbovePanel) / eyeAbove;
    vec4 crossing = mix(inside, eyeInside, t);
    if (t > 0.0 && t < 1.0 && min(min(crossing.x, crossing.y), min(crossing.z, crossing.w)) > 0.0)
      discard;
  }

  // The face normal from the screen-space derivatives, turned toward the eye.
  vec3 faceNormal = normalize(cross(dFdx(eyePosition), dFdy(eyePosition)));
  vec3 toEye = normalize(-eyePosition);
  if (dot(faceNormal, toEye) < 0.0) faceNormal = -faceNormal;

  // Surface relief: tilt the normal by the noise normal map, sampled in world
  // space. The map has no mipmaps, so the relief fades out where it would be
  // minified (far or grazing surfaces) instead of shimmering.
  vec2 reliefCoord = worldPosition.xy * 0.07 + worldPosition.z * 0.05;
  float reliefDetail = 1.0 - smoothstep(0.15, 0.6, max(fwidth(reliefCoord).x, fwidth(reliefCoord).y) * 256.0);
  vec3 relief = texture(texture2d_1, reliefCoord).xyz * 2.0 - 1.0;

  // The distance from the panel's centre over its smaller half extent: round
  // about the centre, 1 where the circle meets the nearer edges.
  float fromCentre = length(panelOffset) / min(panelHalf.x, panelHalf.y);

  vec3 base = color.rgb;
  float brightness = max(max(base.r, base.g), base.b);
  // Rings (bright colours) glow; panels (dark colours) reflect. A ring's
  // walls are lit like the ring whatever their colour.
  float emissive = smoothstep(0.35, 0.8, brightness);
  float ringLit = max(emissive, wall);

  // Bevel: within a rim as wide as a tenth of the panel's smaller half extent
  // (at least two pixels) the normal leans out over the nearest edge, whose
  // outward direction on the screen is against the rise of the distance to it.
  vec2 rise = vec2(dFdx(edge), dFdy(edge));
  float pixel = abs(rise.x) + abs(rise.y);
  float bevelWidth = max(0.1 * min(panelHalf.x, panelHalf.y), 2.0 * pixel);
  float bevel = 1.0 - smoothstep(0.0, bevelWidth, edge);
  vec2 outward = -rise * (bevel * inversesqrt(dot(rise, rise) + 1e-20));
  vec3 n = normalize(faceNormal + vec3(0.7 * outward + 0.6 * reliefDetail * relief.xy, 0.0));
  float edgeLine = 1.0 - smoothstep(0.0, 1.5 * pixel, edge);

  vec3 lightDir = normalize(vec3(-0.35, 0.6, 0.7));
  float diffuse = max(dot(n, lightDir), 0.0);
  // The light and a soft key near the line of sight, both reflected in the
  // glass: a glint on the relief, and a broad sheen on a floor of black tiles
  // seen from above. Powers by repeated products, cheaper than pow on a
  // software renderer.
  vec3 mirrored = reflect(-toEye, n);
  float glint = max(dot(mirrored, lightDir), 0.0);
  glint *= glint;
  glint *= glint;
  glint *= glint;  // the 8th power
  float sky = max(dot(mirrored, normalize(vec3(-0.2, 0.35, 0.9))), 0.0);
  sky *= sky * sky;
  sky *= sky;  // the 6th power
  float facing = 1.0 - max(dot(n, toEye), 0.0);
  float rim = facing * facing * facing;
  // A soft highlight where the orbit camera looks; nothing behind it.
  float blob = blobCoord.z > 0.0 ? texture(texture2d_blob, blobCoord.xy / blobCoord.z).r : 0.0;

  vec3 cool = vec3(0.45, 0.6, 0.9);
  // What the glass reflects, whatever its colour.
  // The night sky behind the scene (the combine pass's backdrop) lies in
  // every glass surface, more at a grazing angle.
  vec3 ambient = vec3(0.052, 0.060, 0.085) * (0.25 + 1.4 * facing);
  vec3 sheen = cool * (0.22 * sky + 0.5 * glint + 0.45 * rim + 0.45 * edgeLine) +
               vec3(0.18, 0.2, 0.26) * blob * (0.3 + 0.7 * diffuse) + ambient;
  vec3 panel = base * (0.06 + 0.3 * diffuse) + sheen;

  // Rings keep their hue: pastel colours are pushed away from grey.
  vec3 hue = max(mix(vec3(dot(base, vec3(0.3333))), base, 1.5), 0.0);
  // Walls are lit less than the caps, so a deep ring reads as a coloured
  // tube with a bright mouth rather than a block of white.
  vec3 ring = hue * (mix(0.75, 0.4, wall) + 0.5 * diffuse) + hue * rim * 0.6;
  // A broad ring fades out towards its panel's outline into glass tinted by
  // its colour, so panels read as glass lit from the rings, not as flat fills.
  // The show's broad rings are its blue ones; warm and green rings, thin ones
  // near the outline among them, keep their light.
  float spread = smoothstep(0.06, 0.6, fromCentre) * smoothstep(0.15, 0.35, base.b - base.r) * (1.0 - wall);
  ring = mix(ring, sheen + hue * 0.1, spread * 0.9);
  vec3 shaded = mix(panel, ring, ringLit);
  // The key light's pool: bright on the orbit camera's line of sight, soft to
  // its edge, nothing behind it. It lifts what the glow mask leaves dark (the
  // rings carry their own light).
  vec3 glow = base * emissive * (1.0 - 0.9 * spread);
  if (keyCoord.z > 0.0) {
    vec2 s = keyCoord.xy / keyCoord.z;
    float pool = clamp(1.0 - 9.0 * dot(s, s), 0.0, 1.0);
    shaded *= 1.0 + 0.35 * pool * pool * (1.0 - min(dot(glow, vec3(0.7)), 1.0));
  }
  // A soft shoulder on the brightest channel above 0.7, applied to all three,
  // keeps bright rings in their hue rather than clipping them to white.
  float peak = max(max(shaded.r, shaded.g), shaded.b);
  float over = max(peak - 0.7, 0.0);
  shaded *= (0.7 + 0.3 * over / (over + 0.3)) / max(peak, 0.7);

  sceneColor = vec4(shaded, alpha);
  glowMask = vec4(glow, 1.0);
}
