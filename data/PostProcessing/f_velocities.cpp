// Velocities: the screen-space motion since the previous frame, biased into 0..1.
in vec4 currentClip;
in vec4 previousClip;
out vec4 fragColor;

void main() {
  vec2 current = currentClip.xy / currentClip.w;
  vec2 previous = previousClip.xy / max(abs(previousClip.w), 0.0001);
  fragColor = vec4(clamp((current - previous) * 0.5 + 0.5, 0.0, 1.0), 0.0, 1.0);
}
