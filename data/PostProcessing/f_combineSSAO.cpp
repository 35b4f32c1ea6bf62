// Ambient-occlusion combine at full size: the scene colour darkened by the
// half-size occlusion, upsampled with weights that follow the depth so that
// no shadow bleeds across an edge, plus the glow mask of the second colour
// buffer. "Limit" changes every frame and moves a faint grain. When the scene
// was drawn with one sample a pixel, "EdgeFilter" is 1 and a cheap edge
// filter smooths the scene's stair steps before anything else reads them.
#version 120

uniform sampler2D texture2d_1;          // scene colour
uniform sampler2D texture2d_2;          // scene depth
uniform sampler2D texture2d_3;          // glow mask
uniform sampler2D texture2d_random;     // noise
uniform sampler2D texture2d_occlusion;  // half size: occlusion, linear depth in 16 bits
uniform float Limit;
uniform float EdgeFilter;
uniform vec4 OcclusionSize;  // xy: texels of the occlusion texture

const float near = 1.0;
const float far = 100.0;

float linearDepth(vec2 uv) {
  float d = texture2D(texture2d_2, uv).r * 2.0 - 1.0;
  return 2.0 * near * far / (far + near - d * (far - near));
}

float luma(vec3 c) { return dot(c, vec3(0.299, 0.587, 0.114)); }

// Where the luma of the four diagonal neighbours spans a contrast edge, blend
// a few samples along the edge's direction; elsewhere the pixel stays as is.
vec3 edgeFiltered(vec2 uv, vec2 texel) {
  vec3 centre = texture2D(texture2d_1, uv).rgb;
  float lumaNW = luma(texture2D(texture2d_1, uv + vec2(-1.0, -1.0) * texel).rgb);
  float lumaNE = luma(texture2D(texture2d_1, uv + vec2(1.0, -1.0) * texel).rgb);
  float lumaSW = luma(texture2D(texture2d_1, uv + vec2(-1.0, 1.0) * texel).rgb);
  float lumaSE = luma(texture2D(texture2d_1, uv + vec2(1.0, 1.0) * texel).rgb);
  float lumaM = luma(centre);
  float lumaMin = min(lumaM, min(min(lumaNW, lumaNE), min(lumaSW, lumaSE)));
  float lumaMax = max(lumaM, max(max(lumaNW, lumaNE), max(lumaSW, lumaSE)));
  if (lumaMax - lumaMin < max(0.03, lumaMax * 0.125)) return centre;

  vec2 direction = vec2((lumaSW + lumaSE) - (lumaNW + lumaNE), (lumaNW + lumaSW) - (lumaNE + lumaSE));
  float reduce = max((lumaNW + lumaNE + lumaSW + lumaSE) * 0.03125, 1.0 / 128.0);
  direction *= 1.0 / (min(abs(direction.x), abs(direction.y)) + reduce);
  direction = clamp(direction, -8.0, 8.0) * texel;
  vec3 inner = 0.5 * (texture2D(texture2d_1, uv - direction / 6.0).rgb +
                      texture2D(texture2d_1, uv + direction / 6.0).rgb);
  vec3 outer = 0.5 * inner + 0.25 * (texture2D(texture2d_1, uv - direction * 0.5).rgb +
                                     texture2D(texture2d_1, uv + direction * 0.5).rgb);
  float lumaOuter = luma(outer);
  return lumaOuter < lumaMin || lumaOuter > lumaMax ? inner : outer;
}

// The four occlusion texels around uv, each weighted by its bilinear share and
// by how close the depth it was measured at lies to this pixel's depth.
vec2 occlusionTap(vec2 uv, float z, float share) {
  vec3 texel = texture2D(texture2d_occlusion, uv).rgb;
  float texelZ = (texel.g * 65280.0 + texel.b * 255.0) / 65535.0 * far;
  float weight = share / (0.002 + abs(texelZ - z) / z);
  return vec2(texel.r * weight, weight);
}

float upsampledOcclusion(vec2 uv, float z) {
  vec2 position = uv * OcclusionSize.xy - 0.5;
  vec2 corner = floor(position);
  vec2 f = position - corner;
  vec2 texel = 1.0 / OcclusionSize.xy;
  vec2 lowerLeft = (corner + 0.5) * texel;
  vec2 sum = occlusionTap(lowerLeft, z, (1.0 - f.x) * (1.0 - f.y)) +
             occlusionTap(lowerLeft + vec2(texel.x, 0.0), z, f.x * (1.0 - f.y)) +
             occlusionTap(lowerLeft + vec2(0.0, texel.y), z, (1.0 - f.x) * f.y) +
             occlusionTap(lowerLeft + texel, z, f.x * f.y);
  return sum.y > 0.0 ? sum.x / sum.y : 0.0;
}

void main() {
  vec2 uv = gl_TexCoord[0].st;
  vec2 texel = vec2(dFdx(uv.x), dFdy(uv.y));
  vec3 scene = EdgeFilter > 0.5 ? edgeFiltered(uv, texel) : texture2D(texture2d_1, uv).rgb;
  vec3 glow = texture2D(texture2d_3, uv).rgb;
  float occlusion = upsampledOcclusion(uv, linearDepth(uv));

  float grain = (texture2D(texture2d_random, uv * 3.1 + vec2(Limit, Limit * 0.7)).b - 0.5) / 255.0 * 3.0;
  vec3 combined = scene * (1.0 - 0.55 * occlusion) + glow * 0.35 + grain;
  gl_FragColor = vec4(combined, 1.0);
}
