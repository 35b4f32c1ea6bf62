// Ambient-occlusion combine at full size: the scene colour darkened by the
// half-size occlusion, upsampled with weights that follow the depth so that
// no shadow bleeds across an edge, plus the glow mask of the second colour
// buffer. "Limit" changes every frame and moves a faint grain.
in vec2 texCoord;
out vec4 fragColor;

uniform sampler2D texture2d_1;          // scene colour (edge-filtered when drawn with one sample)
uniform sampler2D texture2d_2;          // scene depth
uniform sampler2D texture2d_3;          // glow mask
uniform sampler2D texture2d_random;     // noise
uniform sampler2D texture2d_occlusion;  // half size: occlusion, linear depth in 16 bits
uniform float Limit;
uniform vec4 OcclusionSize;  // xy: texels of the occlusion texture

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

void main() {
  // Full-size inputs are read at this pixel's own texel: fetched, not filtered.
  vec2 uv = texCoord;
  ivec2 pixel = ivec2(gl_FragCoord.xy);
  vec3 scene = texelFetch(texture2d_1, pixel, 0).rgb;
  vec3 glow = texelFetch(texture2d_3, pixel, 0).rgb;
  float occlusion = upsampledOcclusion(uv, linearDepth(pixel));

  float grain = (texture(texture2d_random, uv * 3.1 + vec2(Limit, Limit * 0.7)).b - 0.5) / 255.0 * 3.0;
  vec3 combined = scene * (1.0 - 0.55 * occlusion) + glow * 0.35 + grain;
  fragColor = vec4(combined, 1.0);
}
