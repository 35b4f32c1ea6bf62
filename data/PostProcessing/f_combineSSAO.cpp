// Ambient-occlusion combine: darkens creases from the scene depth, with the
// sample kernel rotated per pixel by the noise texture, then adds the glow
// mask of the second colour buffer. "Limit" changes every frame and moves a
// faint grain.
#version 120

uniform sampler2D texture2d_1;       // scene colour
uniform sampler2D texture2d_2;       // scene depth
uniform sampler2D texture2d_3;       // glow mask
uniform sampler2D texture2d_random;  // noise
uniform float Limit;

const float near = 1.0;
const float far = 100.0;

float linearDepth(vec2 uv) {
  float d = texture2D(texture2d_2, uv).r * 2.0 - 1.0;
  return 2.0 * near * far / (far + near - d * (far - near));
}

void main() {
  vec2 uv = gl_TexCoord[0].st;
  vec3 scene = texture2D(texture2d_1, uv).rgb;
  vec3 glow = texture2D(texture2d_3, uv).rgb;
  float z = linearDepth(uv);

  vec2 noise = texture2D(texture2d_random, uv * 7.3).rg * 2.0 - 1.0;
  float angle = atan(noise.y, noise.x);
  mat2 rotation = mat2(cos(angle), sin(angle), -sin(angle), cos(angle));
  float radius = 0.09 / z;  // a fixed world radius shrinks with distance

  float occlusion = 0.0;
  for (int i = 0; i < 8; ++i) {
    float a = float(i) * 0.785398;
    float r = radius * (0.35 + 0.65 * fract(float(i) * 0.618));
    vec2 offset = rotation * vec2(cos(a), sin(a)) * r;
    float sampleZ = linearDepth(uv + offset);
    float difference = z - sampleZ;
    occlusion += smoothstep(0.02, 0.4, difference) * (1.0 - smoothstep(0.4, 2.0, difference));
  }
  occlusion = occlusion / 8.0;
  if (z > 95.0) occlusion = 0.0;

  float grain = (texture2D(texture2d_random, uv * 3.1 + vec2(Limit, Limit * 0.7)).b - 0.5) / 255.0 * 3.0;
  vec3 combined = scene * (1.0 - 0.55 * occlusion) + glow * 0.35 + grain;
  gl_FragColor = vec4(combined, 1.0);
}
