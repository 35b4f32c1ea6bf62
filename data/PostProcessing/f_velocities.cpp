// Velocities: the screen-space motion since the previous frame, biased into 0..1.
#version 120

varying vec4 currentClip;
varying vec4 previousClip;

void main() {
  vec2 current = currentClip.xy / currentClip.w;
  vec2 previous = previousClip.xy / max(abs(previousClip.w), 0.0001);
  gl_FragColor = vec4(clamp((current - previous) * 0.5 + 0.5, 0.0, 1.0), 0.0, 1.0);
}
