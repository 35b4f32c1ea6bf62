// Edge filter for a scene drawn with one sample a pixel (the "Antialiased"
// box unticked): where the luma of the four diagonal neighbours spans a
// contrast edge, a few samples along the edge's direction are blended, which
// smooths the stair steps at a fraction of the cost of more samples. It runs
// as a pass of its own so that the antialiased chain does not pay for it.
in vec2 texCoord;
out vec4 fragColor;

uniform sampler2D texture2d_1;  // scene colour

float luma(vec3 c) { return dot(c, vec3(0.299, 0.587, 0.114)); }

// The luma of the texel at pixel + offset; the texture repeats, so beyond an
// edge lies the opposite edge.
float lumaAt(ivec2 pixel, ivec2 offset) {
  ivec2 size = textureSize(texture2d_1, 0);
  ivec2 p = pixel + offset;
  // One step at most beyond an edge; a modulo would divide lane by lane.
  p += size * (ivec2(lessThan(p, ivec2(0))) - ivec2(greaterThanEqual(p, size)));
  return luma(texelFetch(texture2d_1, p, 0).rgb);
}

// The centre and its diagonal neighbours lie on texels: fetched, not filtered.
vec3 edgeFiltered(vec2 uv, vec2 texel) {
  ivec2 pixel = ivec2(gl_FragCoord.xy);
  vec3 centre = texelFetch(texture2d_1, pixel, 0).rgb;
  float lumaNW = lumaAt(pixel, ivec2(-1, -1));
  float lumaNE = lumaAt(pixel, ivec2(1, -1));
  float lumaSW = lumaAt(pixel, ivec2(-1, 1));
  float lumaSE = lumaAt(pixel, ivec2(1, 1));
  float lumaM = luma(centre);
  float lumaMin = min(lumaM, min(min(lumaNW, lumaNE), min(lumaSW, lumaSE)));
  float lumaMax = max(lumaM, max(max(lumaNW, lumaNE), max(lumaSW, lumaSE)));
  if (lumaMax - lumaMin < max(0.03, lumaMax * 0.125)) return centre;

  vec2 direction = vec2((lumaSW + lumaSE) - (lumaNW + lumaNE), (lumaNW + lumaSW) - (lumaNE + lumaSE));
  float reduce = max((lumaNW + lumaNE + lumaSW + lumaSE) * 0.03125, 1.0 / 128.0);
  direction *= 1.0 / (min(abs(direction.x), abs(direction.y)) + reduce);
  direction = clamp(direction, -8.0, 8.0) * texel;
  vec3 inner = 0.5 * (texture(texture2d_1, uv - direction / 6.0).rgb +
                      texture(texture2d_1, uv + direction / 6.0).rgb);
  vec3 outer = 0.5 * inner + 0.25 * (texture(texture2d_1, uv - direction * 0.5).rgb +
                                     texture(texture2d_1, uv + direction * 0.5).rgb);
  float lumaOuter = luma(outer);
  return lumaOuter < lumaMin || lumaOuter > lumaMax ? inner : outer;
}

void main() {
  vec2 uv = texCoord;
  fragColor = vec4(edgeFiltered(uv, vec2(dFdx(uv.x), dFdy(uv.y))), 1.0);
}
