// Edge filter for a scene drawn with one sample a pixel (the "Antialiased"
// box unticked): where the luma of the four diagonal neighbours spans a
// contrast edge, a few samples along the edge's direction are blended, which
// smooths the stair steps at a fraction of the cost of more samples. It runs
// as a pass of its own so that the antialiased chain does not pay for it.
#version 120

uniform sampler2D texture2d_1;  // scene colour

float luma(vec3 c) { return dot(c, vec3(0.299, 0.587, 0.114)); }

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

void main() {
  vec2 uv = gl_TexCoord[0].st;
  gl_FragColor = vec4(edgeFiltered(uv, vec2(dFdx(uv.x), dFdy(uv.y))), 1.0);
}
