// Simple blur: a 3 x 3 tent filter one texel of the source wide.
in vec2 texCoord;
out vec4 fragColor;

uniform sampler2D texture2d_1;

void main() {
  vec2 uv = texCoord;
  vec2 texel = vec2(dFdx(uv.x), dFdy(uv.y));
  vec3 sum = texture(texture2d_1, uv).rgb * 4.0;
  sum += (texture(texture2d_1, uv + vec2(texel.x, 0.0)).rgb + texture(texture2d_1, uv - vec2(texel.x, 0.0)).rgb) * 2.0;
  sum += (texture(texture2d_1, uv + vec2(0.0, texel.y)).rgb + texture(texture2d_1, uv - vec2(0.0, texel.y)).rgb) * 2.0;
  sum += texture(texture2d_1, uv + texel).rgb + texture(texture2d_1, uv - texel).rgb;
  sum += texture(texture2d_1, uv + vec2(texel.x, -texel.y)).rgb + texture(texture2d_1, uv - vec2(texel.x, -texel.y)).rgb;
  fragColor = vec4(sum / 16.0, 1.0);
}
