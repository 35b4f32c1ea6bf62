// God rays: a radial blur toward the screen centre that streaks bright areas.
in vec2 texCoord;
out vec4 fragColor;

uniform sampler2D texture2d_1;

void main() {
  vec2 uv = texCoord;
  vec2 step = (uv - vec2(0.5)) / 32.0;
  vec3 sum = vec3(0.0);
  float weight = 1.0;
  vec2 p = uv;
  for (int i = 0; i < 32; ++i) {
    sum += texture(texture2d_1, p).rgb * weight;
    weight *= 0.95;
    p -= step;
  }
  fragColor = vec4(sum / 12.0, 1.0);
}
