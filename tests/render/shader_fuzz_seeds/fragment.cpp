// The finishing pass onto the window: a light depth-driven blur of what lies
// far away, a chromatic fringe that kicks with the low spectrum, grain from
// the noise and a vignette. "Limit" (the viewer's Q/A value, 0 by default)
// widens the blur and the fringe.
#version 120

uniform sampler2D texture2d_1;           // combined image
uniform sampler2D texture2d_velocities;  // velocity buffer (not written by the show)
uniform sampler2D texture2d_random;      // noise
uniform sampler2D texture2d_2;           // scene depth
uniform sampler1D texture1d_dsp;         // spectrum, low bands first
uniform float Limit;
uniform float time;

void main() {
  vec2 uv = gl_TexCoord[0].st;
  float depth = texture2D(texture2d_2, uv).r;
  float spread = clamp((depth - 0.985) * 40.0, 0.0, 1.0) * (0.0015 + 0.002 * max(Limit, 0.0));

  vec3 sum = texture2D(texture2d_1, uv).rgb * 0.4;
  sum += texture2D(texture2d_1, uv + vec2(spread, 0.0)).rgb * 0.15;
  sum += texture2D(texture2d_1, uv - vec2(spread, 0.0)).rgb * 0.15;
  sum += texture2D(texture2d_1, uv + vec2(0.0, spread)).rgb * 0.15;
  sum += texture2D(texture2d_1, uv - vec2(0.0, spread)).rgb * 0.15;

  float kick = texture1D(texture1d_dsp, 2.5 / 256.0).r;
  vec2 fromCentre = uv - 0.5;
  vec2 fringe = fromCentre * (0.002 + 0.006 * kick) * (1.0 + max(Limit, 0.0));
  float red = texture2D(texture2d_1, uv + fringe).r;
  float blue = texture2D(texture2d_1, uv - fringe).b;
  vec3 color = vec3(mix(sum.r, red, 0.6), sum.g, mix(sum.b, blue, 0.6));

  float grain = texture2D(texture2d_random, uv * 2.7 + vec2(fract(time * 7.13), fract(time * 3.71))).g - 0.5;
  color += grain * 0.025;
  float vignette = 1.0 - 0.55 * pow(length(fromCentre) * 1.35, 2.5);
  gl_FragColor = vec4(color * vignette, 1.0);
}
