// Highlight blur at quarter size: keeps what is bright and spreads it, for
// the additive glow layer. Only the light above a threshold is kept, and most
// of a texel's own light is taken out again, so the glow is a halo that
// spills from bright rings onto the dark around them while the bright
// surfaces themselves, already near the top of the range, gain little and
// keep their texture instead of clipping to white. The glow layer adds this
// up to 1.4 times on the beat.
in vec2 texCoord;
out vec4 fragColor;

uniform sampler2D texture2d_1;

vec3 bright(vec2 uv) {
  vec3 c = texture(texture2d_1, uv).rgb;
  float luma = dot(c, vec3(0.299, 0.587, 0.114));
  return c * (max(luma - 0.45, 0.0) / max(luma, 0.001)) * 1.2;
}

void main() {
  vec2 uv = texCoord;
  vec3 centre = bright(uv);
  vec3 sum = centre * 0.2;
  float total = 0.2;
  for (int i = 1; i <= 6; ++i) {
    float r = float(i) * 0.006;
    float w = 0.2 * (1.0 - float(i) / 7.0);
    sum += (bright(uv + vec2(r, 0.0)) + bright(uv - vec2(r, 0.0))) * w * 0.5;
    sum += (bright(uv + vec2(0.0, r * 1.7)) + bright(uv - vec2(0.0, r * 1.7))) * w * 0.5;
    total += 2.0 * w;
  }
  fragColor = vec4(max(sum * (0.6 / total) - 0.42 * centre, 0.0), 1.0);
}
