// Simple blur: a 3 x 3 tent filter one texel of the source wide.
#version 120

uniform sampler2D texture2d_1;

void main() {
  vec2 uv = gl_TexCoord[0].st;
  vec2 texel = vec2(dFdx(uv.x), dFdy(uv.y));
  vec3 sum = texture2D(texture2d_1, uv).rgb * 4.0;
  sum += (texture2D(texture2d_1, uv + vec2(texel.x, 0.0)).rgb + texture2D(texture2d_1, uv - vec2(texel.x, 0.0)).rgb) * 2.0;
  sum += (texture2D(texture2d_1, uv + vec2(0.0, texel.y)).rgb + texture2D(texture2d_1, uv - vec2(0.0, texel.y)).rgb) * 2.0;
  sum += texture2D(texture2d_1, uv + texel).rgb + texture2D(texture2d_1, uv - texel).rgb;
  sum += texture2D(texture2d_1, uv + vec2(texel.x, -texel.y)).rgb + texture2D(texture2d_1, uv - vec2(texel.x, -texel.y)).rgb;
  gl_FragColor = vec4(sum / 16.0, 1.0);
}
