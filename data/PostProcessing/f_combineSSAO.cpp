// Ambient-occlusion combine at full size: the scene colour darkened by the
// half-size occlusion, upsampled with weights that follow the depth so that
// no shadow bleeds across an edge, plus the glow mask of the second colour
// buffer and the rings' bloom, tinted by the section's sky. A key light
// circles the scene at the orbit camera's eye (the material lights its pool
// on the surfaces): a glare round its source where the main camera's picture
// ("TextureMatrix2") shows it. Behind the scene stands a
// backdrop fixed in the world in the section's colour: a light along the
// horizon, slow clouds, breathing with the kick read from the spectrum; far
// surfaces fade into it. "Limit" changes every frame and moves a faint grain.
in vec2 texCoord;
out vec4 fragColor;

uniform sampler2D texture2d_1;          // scene colour (edge-filtered when drawn with one sample)
uniform sampler2D texture2d_2;          // scene depth
uniform sampler2D texture2d_3;          // glow mask
uniform sampler2D texture2d_random;     // noise
uniform sampler2D texture2d_occlusion;  // half size: occlusion, linear depth in 16 bits
uniform float Limit;
uniform vec4 OcclusionSize;  // xy: texels of the occlusion texture
uniform mat4 InverseViewProjection;  // the scene's clip space back to the world
uniform mat4 TextureMatrix2;         // the world to the main camera's 65-degree picture, 0..1
uniform vec4 KeyLightPosition;       // xyz: the key light (the orbit camera's eye); w: width / height
uniform vec4 SkyColor;               // rgb: the section's sky at the horizon
uniform float time;                  // show time, seconds: the kick falls on the whole second
uniform sampler2D texture1d_dsp;     // the spectrum, one texel a band

const float near = 1.0;
const float far = 100.0;

// The four occlusion texels around uv, each weighted by its bilinear share and
// by how close the depth it was measured at lies to this pixel's depth. The
// texture repeats, so a texel beyond an edge is the one on the opposite edge.
vec3 occlusionTap(ivec2 texelIndex, float z, float share) {
  ivec2 size = ivec2(OcclusionSize.xy);
  // One step at most beyond an edge; a modulo would divide lane by lane.
  ivec2 wrapped = texelIndex + size * (ivec2(lessThan(texelIndex, ivec2(0))) -
                                       ivec2(greaterThanEqual(texelIndex, size)));
  vec4 texel = texelFetch(texture2d_occlusion, wrapped, 0);
  float texelZ = (texel.g * 65280.0 + texel.b * 255.0) / 65535.0 * far;
  float weight = share / (0.002 + abs(texelZ - z) / z);
  return vec3(texel.r * weight, weight, texel.a * share);
}

// Occlusion in x (depth-aware), bloom in y (plain bilinear: a halo crosses
// edges on purpose).
vec2 upsampledOcclusion(vec2 uv, float z) {
  vec2 position = uv * OcclusionSize.xy - 0.5;
  vec2 corner = floor(position);
  vec2 f = position - corner;
  ivec2 lowerLeft = ivec2(corner);
  vec3 sum = occlusionTap(lowerLeft, z, (1.0 - f.x) * (1.0 - f.y)) +
             occlusionTap(lowerLeft + ivec2(1, 0), z, f.x * (1.0 - f.y)) +
             occlusionTap(lowerLeft + ivec2(0, 1), z, (1.0 - f.x) * f.y) +
             occlusionTap(lowerLeft + ivec2(1, 1), z, f.x * f.y);
  return vec2(sum.y > 0.0 ? sum.x / sum.y : 0.0, sum.z);
}

// A pixel's point in the world at normalised depth d (-1 near, 1 far).
vec3 worldPoint(vec2 uv, float d) {
  vec4 p = InverseViewProjection * vec4(uv * 2.0 - 1.0, d, 1.0);
  return p.xyz / p.w;
}

// The glare round the key light's source: both the light and a point on the
// pixel's line of sight go through the main camera's picture, and the pixels
// near where the light stands there are lit, less where a surface at depth z
// stands before the light. Nothing is worked out while the light stands
// behind the camera or well outside the picture.
float keyGlare(vec3 farPoint, float z) {
  vec4 light = TextureMatrix2 * vec4(KeyLightPosition.xyz, 1.0);
  if (light.w <= 0.0) return 0.0;
  vec2 source = light.xy / light.w;
  if (any(greaterThan(abs(source - 0.5), vec2(0.9)))) return 0.0;
  vec4 point = TextureMatrix2 * vec4(farPoint, 1.0);
  vec2 offset = (point.xy / point.w - source) * vec2(KeyLightPosition.w, 1.0);
  float glare = 1.0 / (1.0 + 900.0 * dot(offset, offset));
  return z < light.w ? 0.25 * glare : glare;
}

// The noise texture seen from far away, two octaves: two planar projections of the
// direction blended by how squarely they face it, so no seam runs round the sky.
float clouds(vec3 direction) {
  vec2 weights = abs(direction.zx) + 0.001;
  weights /= weights.x + weights.y;
  float along = 0.0;
  for (int octave = 0; octave < 2; ++octave) {
    float scale = 0.012 * exp2(float(octave));
    float a = textureLod(texture2d_random, direction.xy * scale + 0.37, 0.0).r;
    float b = textureLod(texture2d_random, direction.zy * scale + 0.71, 0.0).g;
    along += (a * weights.x + b * weights.y) / exp2(float(octave));
  }
  return along / 1.5;
}

vec3 backdrop(vec3 direction, float kick) {
  float horizon = 1.0 - abs(direction.y);
  horizon *= horizon;
  horizon *= horizon;
  vec3 sky = mix(SkyColor.rgb * 0.45 + 0.02, SkyColor.rgb, horizon);
  float cloud = clouds(direction);
  sky *= 0.55 + 1.1 * cloud * cloud;
  return sky * (0.8 + 0.7 * kick);
}

void main() {
  // Full-size inputs are read at this pixel's own texel: fetched, not filtered.
  vec2 uv = texCoord;
  ivec2 pixel = ivec2(gl_FragCoord.xy);
  vec3 scene = texelFetch(texture2d_1, pixel, 0).rgb;
  vec3 glow = texelFetch(texture2d_3, pixel, 0).rgb;
  float rawDepth = texelFetch(texture2d_2, pixel, 0).r * 2.0 - 1.0;
  float z = 2.0 * near * far / (far + near - rawDepth * (far - near));
  vec2 occlusionAndBloom = upsampledOcclusion(uv, z);
  float occlusion = occlusionAndBloom.x;
  // The kick as the final pass reads it: a drum sounds while the lowest
  // bands carry energy, its light falling off from the beat.
  float low = max(texelFetch(texture1d_dsp, ivec2(1, 0), 0).r, texelFetch(texture1d_dsp, ivec2(2, 0), 0).r);
  float kick = smoothstep(0.02, 0.12, low) * exp(-5.0 * fract(time));

  // The grain: a hash of the pixel and "Limit", cheaper than a texture tap.
  uvec2 cell = uvec2(pixel) * uvec2(1664525u, 22695477u) + uint(Limit * 65535.0);
  uint hash = (cell.x ^ cell.y ^ (cell.x >> 13u)) * 2654435761u;
  float grain = (float(hash >> 8u) / 16777216.0 - 0.5) / 255.0 * 3.0;
  float haze = z > 99.0 ? 1.0 : 0.7 * smoothstep(30.0, 95.0, z);
  vec3 farPoint = worldPoint(uv, 1.0);
  // Occlusion grounds the shapes. The glow mask is compressed, so that
  // the rings it marks brighten without going flat white; above 0.75 a soft
  // shoulder keeps every colour below the top of the range, in its hue.
  vec3 lit = scene * (1.0 - 0.6 * occlusion) + 0.5 * glow / (1.0 + 0.6 * glow);
  float peak = max(max(lit.r, lit.g), lit.b);
  float over = max(peak - 0.75, 0.0);
  lit *= (0.75 + 0.15 * over / (over + 0.2)) / max(peak, 0.75);
  // Nothing was drawn where the depth is the far plane's: the backdrop alone.
  // The backdrop is worked out only where it shows.
  vec3 combined = lit;
  if (haze > 0.0) {
    vec3 direction = normalize(farPoint - worldPoint(uv, -1.0));
    combined = mix(lit, backdrop(direction, kick), haze);
  }
  // The bloom in the section's colour, laid over as a screen: it lights the
  // dark around the rings and adds little to what is already bright.
  vec3 bloom = occlusionAndBloom.y * (0.45 + 0.6 * kick) * (normalize(SkyColor.rgb + 0.05) * 0.9 + 0.2);
  vec3 glare = keyGlare(farPoint, z) * vec3(0.8, 0.7, 0.55);
  combined = combined + (bloom + glare) * (1.0 - combined) + grain;
  fragColor = vec4(combined, 1.0);
}
