// Ambient occlusion at half size: darkening of creases from the scene depth,
// with the sample kernel rotated per pixel by the noise texture. Writes the
// occlusion to red and the linear depth it was measured at, 16 bits spread
// over green and blue, so the combine can upsample it without bleeding
// across depth edges. Alpha carries the rings' bloom: the glow mask's light
// gathered from a ring of taps around the pixel, a soft halo the combine
// spreads into the dark around them. The textures have no mipmaps: the reads
// inside the branch name level 0.
in vec2 texCoord;
out vec4 fragColor;

uniform sampler2D texture2d_2;       // scene depth, full size
uniform sampler2D texture2d_random;  // noise
uniform sampler2D texture2d_3;       // glow mask, full size
uniform vec4 FullTexel;              // xy: one texel of the full-size depth

const float near = 1.0;
const float far = 100.0;

float linearDepth(vec2 uv) {
  float d = textureLod(texture2d_2, uv, 0.0).r * 2.0 - 1.0;
  return 2.0 * near * far / (far + near - d * (far - near));
}

void main() {
  // A half-size texel centre lies on the corner of four full-size texels;
  // measure at the centre of its lower-left one, never a blend of depths.
  vec2 uv = texCoord - 0.5 * FullTexel.xy;
  float z = linearDepth(uv);

  // Far away (the backdrop) nothing is darkened: the taps are skipped there.
  float occlusion = 0.0;
  if (z <= 95.0) {
    vec2 noise = textureLod(texture2d_random, texCoord * 7.3, 0.0).rg * 2.0 - 1.0;
    // The rotation by the noise vector's angle: its cosine and sine are the
    // vector's components over its length (never 0: the bytes map to odd
    // multiples of 1/255).
    vec2 direction = noise / length(noise);
    mat2 rotation = mat2(direction.x, direction.y, -direction.y, direction.x);
    float radius = 0.09 / z;  // a fixed world radius shrinks with distance
    for (int i = 0; i < 8; ++i) {
      float a = float(i) * 0.785398;
      float r = radius * (0.35 + 0.65 * fract(float(i) * 0.618));
      vec2 offset = rotation * vec2(cos(a), sin(a)) * r;
      float difference = z - linearDepth(uv + offset);
      occlusion += smoothstep(0.02, 0.4, difference) * (1.0 - smoothstep(0.4, 2.0, difference));
    }
    occlusion /= 8.0;
  }

  // Four taps on a ring, each a filtered read that already averages its
  // neighbourhood; round on the screen whatever its shape. The ring itself
  // lies at the centre, where the combine adds the glow mask anyway.
  const vec3 toLight = vec3(0.3, 0.5, 0.2);
  vec2 reach = vec2(FullTexel.x / FullTexel.y, 1.0) * 0.014;
  vec3 gathered = texture(texture2d_3, texCoord + vec2(0.7, 0.7) * reach).rgb +
                  texture(texture2d_3, texCoord + vec2(-0.7, 0.7) * reach).rgb +
                  texture(texture2d_3, texCoord + vec2(0.7, -0.7) * reach).rgb +
                  texture(texture2d_3, texCoord + vec2(-0.7, -0.7) * reach).rgb;
  float bloom = dot(gathered, toLight) * 0.25;

  float depth16 = floor(clamp(z / far, 0.0, 1.0) * 65535.0 + 0.5);
  float high = floor(depth16 / 256.0);
  fragColor = vec4(occlusion, high / 255.0, (depth16 - high * 256.0) / 255.0, clamp(bloom, 0.0, 1.0));
}
