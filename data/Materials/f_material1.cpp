// Material: fragment stage. Panels are dark glass with a faint relief from the
// noise normal map, a cool rim and a soft blob highlight; rings carry the
// light. Every pixel whose centre lies outside one of the four planes of the
// clip panel current when its shape was drawn is dropped, so rings drawn after
// a panel are cut to its outline (the vertex stage has already clipped away
// what lies well outside). The second colour attachment receives a glow mask
// for the combine pass.
#version 130

uniform float alpha;
uniform sampler2D texture2d_1;     // normal map of the noise height field
uniform sampler2D texture2d_blob;  // soft round blob

in vec3 worldPosition;
in vec3 eyePosition;
in vec3 blobCoord;  // times the orbit camera's w, in z
in vec4 color;
in vec4 planeDistances;  // n.p + d of the four planes

void main() {
  if (any(lessThan(planeDistances, vec4(-0.0005)))) discard;

  // The face normal from the screen-space derivatives, turned toward the eye.
  vec3 faceNormal = normalize(cross(dFdx(eyePosition), dFdy(eyePosition)));
  vec3 toEye = normalize(-eyePosition);
  if (dot(faceNormal, toEye) < 0.0) faceNormal = -faceNormal;

  // Surface relief: tilt the normal by the noise normal map, sampled in world
  // space. The map has no mipmaps, so the relief fades out where it would be
  // minified (far or grazing surfaces) instead of shimmering.
  vec2 reliefCoord = worldPosition.xy * 0.21 + worldPosition.z * 0.13;
  float reliefDetail = 1.0 - smoothstep(0.15, 0.6, max(fwidth(reliefCoord).x, fwidth(reliefCoord).y) * 256.0);
  vec3 relief = texture2D(texture2d_1, reliefCoord).xyz * 2.0 - 1.0;
  vec3 n = normalize(faceNormal + 0.18 * reliefDetail * vec3(relief.xy, 0.0));

  vec3 base = color.rgb;
  float brightness = max(max(base.r, base.g), base.b);
  // Rings (bright colours) glow; panels (dark colours) reflect.
  float emissive = smoothstep(0.35, 0.8, brightness);

  vec3 lightDir = normalize(vec3(0.3, 0.6, 0.75));
  float diffuse = 0.35 + 0.65 * max(dot(n, lightDir), 0.0);
  float facing = 1.0 - max(dot(n, toEye), 0.0);
  float rim = facing * facing * facing;
  // A soft highlight where the orbit camera looks; nothing behind it.
  float blob = blobCoord.z > 0.0 ? texture2D(texture2d_blob, blobCoord.xy / max(blobCoord.z, 0.0001)).r : 0.0;

  vec3 panel = base * diffuse + vec3(0.10, 0.14, 0.22) * rim + vec3(0.18, 0.2, 0.26) * blob * (0.3 + 0.7 * diffuse);
  vec3 ring = base * (0.75 + 0.5 * diffuse) + base * rim * 0.6;
  vec3 shaded = mix(panel, ring, emissive);
  // A soft shoulder on the brightest channel above 0.7, applied to all three,
  // keeps bright rings in their hue rather than clipping them to white.
  float peak = max(max(shaded.r, shaded.g), shaded.b);
  if (peak > 0.7) shaded *= (0.7 + 0.3 * (1.0 - exp(-(peak - 0.7) / 0.3))) / peak;

  gl_FragData[0] = vec4(shaded, alpha);
  gl_FragData[1] = vec4(base * emissive, 1.0);
}
