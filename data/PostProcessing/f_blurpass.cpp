// The finishing pass onto the window: a light depth-driven blur of what lies
// far away, a chromatic fringe that kicks with the low spectrum, then the
// section's grade (exposure opened by the kick read from the spectrum, so the
// frame breathes on the beat; gain, saturation, a soft shoulder and a tinted
// lift), grain from the noise, a dither from the velocity texture against
// banding, and a vignette. "Limit" (the viewer's Q/A value, 0 by default)
// widens the blur and the fringe. Then the three layers of the screen's
// pulse, each as the 8-bit window would have it: the glow added
// ("GlowLevel" times the glow image), the white flash added ("FlashLevel"),
// and the dip or fade to black ("BlackLevel", the share of black).
in vec2 texCoord;
out vec4 fragColor;

uniform sampler2D texture2d_1;           // combined image
uniform sampler2D texture2d_velocities;  // velocity buffer: never written, it keeps its random bytes
uniform sampler2D texture2d_random;      // noise
uniform sampler2D texture2d_2;           // scene depth
uniform sampler2D texture2d_glow;        // quarter-size highlight blur
uniform sampler2D texture1d_dsp;         // the spectrum, one texel a band
uniform vec4 GradeLift;   // rgb: tint lifted into the shadows; a: exposure
uniform vec4 GradeGain;   // rgb: gain on the light; a: saturation
uniform float KickPulse;  // the share of exposure the kick adds
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

  // Near surfaces (spread 0) keep their own colour without the two taps.
  vec3 sum = texelFetch(texture2d_1, pixel, 0).rgb;
  if (spread > 0.0) {
    sum = sum * 0.4 + (texture(texture2d_1, uv + vec2(spread, spread)).rgb +
                       texture(texture2d_1, uv - vec2(spread, spread)).rgb) * 0.3;
  }

  // The kick: a bass drum sounds while the spectrum's lowest bands carry
  // energy; its light falls off from the beat (on the whole second) over a
  // fifth of a second, so the frame swells on the hit and settles.
  float low = max(texelFetch(texture1d_dsp, ivec2(1, 0), 0).r, texelFetch(texture1d_dsp, ivec2(2, 0), 0).r);
  float kick = smoothstep(0.02, 0.12, low) * exp(-5.0 * fract(time));

  vec2 fromCentre = uv - 0.5;
  // The fringe follows the bass: faint between beats, wide on them.
  vec2 fringe = fromCentre * (0.001 + 0.01 * kick) * (1.0 + max(Limit, 0.0));
  float red = texture(texture2d_1, uv + fringe).r;
  float blue = texture(texture2d_1, uv - fringe).b;
  vec3 color = vec3(mix(sum.r, red, 0.6), sum.g, mix(sum.b, blue, 0.6));

  // Exposure and gain scale the light, which keeps the contrast of the
  // shapes, and saturation spreads the channels; above 0.8 a shoulder rolls
  // the light off toward white instead of clipping it, and the tint lifts
  // the shadows last, so nothing leaves the range.
  color *= GradeLift.a * (1.0 + KickPulse * kick) * GradeGain.rgb;
  color = max(mix(vec3(dot(color, vec3(0.299, 0.587, 0.114))), color, GradeGain.a), 0.0);
  vec3 over = max(color - 0.8, 0.0);
  color = min(color, 0.8) + 0.2 * over / (over + 0.2);
  color = GradeLift.rgb + color * (1.0 - GradeLift.rgb);

  float grain = texture(texture2d_random, uv * 2.7 + vec2(fract(time * 7.13), fract(time * 3.71))).g - 0.5;
  float dither = texelFetch(texture2d_velocities, pixel, 0).r - 0.5;
  color += grain * 0.025 + dither / 255.0;
  // 1 - 0.55 x^2.5 with x = 1.35 |fromCentre|, as x^2 sqrt(x).
  float x = length(fromCentre) * 1.35;
  float vignette = 1.0 - 0.55 * x * x * sqrt(x);
  color = clamp(color * vignette, 0.0, 1.0);
  // The glow image is read only while a glow is drawn.
  if (GlowLevel > 0.0) color = min(color + GlowLevel * textureLod(texture2d_glow, uv, 0.0).rgb, 1.0);
  color = min(color + FlashLevel, 1.0);
  fragColor = vec4(color * (1.0 - clamp(BlackLevel, 0.0, 1.0)), 1.0);
}
