// Ambient-occlusion combine at full size: the scene colour darkened by the
// half-size occlusion, upsampled with weights that follow the depth so that
// no shadow bleeds across an edge, plus the glow mask of the second colour
// buffer. Behind the scene stands a backdrop, a dim night sky fixed in the
// world: a cool light along the horizon, slow clouds, breathing with the
// bass; far surfaces fade into it. "Limit" changes every frame and moves a
// faint grain.
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
uniform float Kick;                  // the low spectrum band the screen pulses with

const float near = 1.0;
const float far = 100.0;

float linearDepth(ivec2 pixel) {
  float d = texelFetch(texture2d_2, pixel, 0).r * 2.0 - 1.0;
  return 2.0 * near * far / (far + near - d * (far - near));
}

// The four occlusion texels around uv, each weighted by its bilinear share and
// by how close the depth it was measured at lies to this pixel's depth. The
// texture repeats, so a texel beyond an edge is the one on the opposite edge.
vec2 occlusionTap(ivec2 texelIndex, float z, float share) {
  ivec2 size = ivec2(OcclusionSize.xy);
  // One step at most beyond an edge; a modulo would divide lane by lane.
  ivec2 wrapped = texelIndex + size * (ivec2(lessThan(texelIndex, ivec2(0))) -
                                       ivec2(greaterThanEqual(texelIndex, size)));
  vec3 texel = texelFetch(texture2d_occlusion, wrapped, 0).rgb;
  float texelZ = (texel.g * 65280.0 + texel.b * 255.0) / 65535.0 * far;
  float weight = share / (0.002 + abs(texelZ - z) / z);
  return vec2(texel.r * weight, weight);
}

float upsampledOcclusion(vec2 uv, float z) {
  vec2 position = uv * OcclusionSize.xy - 0.5;
  vec2 corner = floor(position);
  vec2 f = position - corner;
  ivec2 lowerLeft = ivec2(corner);
  vec2 sum = occlusionTap(lowerLeft, z, (1.0 - f.x) * (1.0 - f.y)) +
             occlusionTap(lowerLeft + ivec2(1, 0), z, f.x * (1.0 - f.y)) +
             occlusionTap(lowerLeft + ivec2(0, 1), z, (1.0 - f.x) * f.y) +
             occlusionTap(lowerLeft + ivec2(1, 1), z, f.x * f.y);
  return sum.y > 0.0 ? sum.x / sum.y : 0.0;
}

// A pixel's direction into the world.
vec3 viewDirection(vec2 uv) {
  vec2 ndc = uv * 2.0 - 1.0;
  vec4 nearPoint = InverseViewProjection * vec4(ndc, -1.0, 1.0);
  vec4 farPoint = InverseViewProjection * vec4(ndc, 1.0, 1.0);
  return normalize(farPoint.xyz / farPoint.w - nearPoint.xyz / nearPoint.w);
}

// The noise texture seen from far away: two planar projections of the
// direction blended by how squarely they face it, so no seam runs round the sky.
float clouds(vec3 direction) {
  vec2 weights = abs(direction.zx) + 0.001;
  weights /= weights.x + weights.y;
  float along = 0.0;
  for (int octave = 0; octave < 3; ++octave) {
    float scale = 0.012 * exp2(float(octave));
    float a = texture(texture2d_random, direction.xy * scale + 0.37).r;
    float b = texture(texture2d_random, direction.zy * scale + 0.71).g;
    along += (a * weights.x + b * weights.y) / exp2(float(octave));
  }
  return along / 1.75;
}

vec3 backdrop(vec3 direction) {
  float horizon = 1.0 - abs(direction.y);
  horizon *= horizon;
  horizon *= horizon;
  vec3 sky = mix(vec3(0.050, 0.056, 0.085), vec3(0.115, 0.125, 0.175), horizon);
  float cloud = clouds(direction);
  sky *= 0.4 + 1.2 * cloud * cloud;
  return sky * (0.85 + 0.6 * Kick * Kick);
}

void main() {
  // Full-size inputs are read at this pixel's own texel: fetched, not filtered.
  vec2 uv = texCoord;
  ivec2 pixel = ivec2(gl_FragCoord.xy);
  vec3 scene = texelFetch(texture2d_1, pixel, 0).rgb;
  vec3 glow = texelFetch(texture2d_3, pixel, 0).rgb;
  float z = linearDepth(pixel);
  float occlusion = upsampledOcclusion(uv, z);

  float grain = (texture(texture2d_random, uv * 3.1 + vec2(Limit, Limit * 0.7)).b - 0.5) / 255.0 * 3.0;
  // The glow mask is compressed, so that the rings it marks brighten without
  // going flat white; above 0.75 a soft shoulder keeps every colour below
  // the top of the range, in its hue.
  vec3 lit = scene * (1.0 - 0.55 * occlusion) + 0.5 * glow / (1.0 + 0.6 * glow);
  float peak = max(max(lit.r, lit.g), lit.b);
  float over = max(peak - 0.75, 0.0);
  lit *= (0.75 + 0.15 * over / (over + 0.2)) / max(peak, 0.75);
  // Nothing was drawn where the depth is the far plane's: the backdrop alone.
  float haze = z > 99.0 ? 1.0 : 0.7 * smoothstep(30.0, 95.0, z);
  vec3 combined = mix(lit, backdrop(viewDirection(uv)), haze) + grain;
  fragColor = vec4(combined, 1.0);
}
