// The finishing pass onto the window: a light depth-driven blur of what lies
// far away, a chromatic fringe that kicks with the low spectrum, grain from
// the noise and a vignette. "Limit" (the viewer's Q/A value, 0 by default)
// widens the blur and the fringe. Then the three layers of the screen's
// pulse, each as the 8-bit window would have it: the glow added
// ("GlowLevel" times the glow image), the white flash added ("FlashLevel"),
// and the dip or fade to black ("BlackLevel", the share of black).
in vec2 texCoord;
out vec4 fragColor;

uniform sampler2D texture2d_1;           // combined image
uniform sampler2D texture2d_velocities;  // velocity buffer (not written by the show)
uniform sampler2D texture2d_random;      // noise
uniform sampler2D texture2d_2;           // scene depth
uniform sampler2D texture2d_glow;        // quarter-size highlight blur
uniform float Kick;  // spectrum band 2, the low band the fringe follows
uniform float Limit;
uniform float time;
uniform float GlowLevel;   // 0 when no glow is drawn
uniform float FlashLevel;  // 0 when no flash is drawn
uniform float BlackLevel;  // 0 when no black is drawn

void main() {
  vec2 uv = texCoord;
  // Taps at this pixel's own texel are fetched, not filtered: the same value
  // for less work.
  ivec2 pixel = ivec2(gl_FragCoord.xy);
  float depth = texelFetch(texture2d_2, pixel, 0).r;
  float spread = clamp((depth - 0.985) * 40.0, 0.0, 1.0) * (0.0015 + 0.002 * max(Limit, 0.0));

  // Near surfaces (spread 0) keep their own colour without the four taps.
  vec3 sum = texelFetch(texture2d_1, pixel, 0).rgb;
  if (spread > 0.0) {
    sum = sum * 0.4 + (texture(texture2d_1, uv + vec2(spread, 0.0)).rgb +
                       texture(texture2d_1, uv - vec2(spread, 0.0)).rgb +
                       texture(texture2d_1, uv + vec2(0.0, spread)).rgb +
                       texture(texture2d_1, uv - vec2(0.0, spread)).rgb) * 0.15;
  }

  vec2 fromCentre = uv - 0.5;
  // The fringe follows the bass: faint between beats, wide on them.
  vec2 fringe = fromCentre * (0.001 + 0.01 * Kick * Kick) * (1.0 + max(Limit, 0.0));
  float red = texture(texture2d_1, uv + fringe).r;
  float blue = texture(texture2d_1, uv - fringe).b;
  vec3 color = vec3(mix(sum.r, red, 0.6), sum.g, mix(sum.b, blue, 0.6));

  float grain = texture(texture2d_random, uv * 2.7 + vec2(fract(time * 7.13), fract(time * 3.71))).g - 0.5;
  color += grain * 0.025;
  // 1 - 0.55 x^2.5 with x = 1.35 |fromCentre|, as x^2 sqrt(x).
  float x = length(fromCentre) * 1.35;
  float vignette = 1.0 - 0.55 * x * x * sqrt(x);
  color = clamp(color * vignette, 0.0, 1.0);
  color = min(color + GlowLevel * texture(texture2d_glow, uv).rgb, 1.0);
  color = min(color + FlashLevel, 1.0);
  fragColor = vec4(color * (1.0 - clamp(BlackLevel, 0.0, 1.0)), 1.0);
}
