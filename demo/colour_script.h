// The show's colour script: for each section of show time, the grade the
// final pass gives the picture (a tint lifted into the shadows, a gain on the
// light, saturation, exposure and how hard the frame breathes on the kick)
// and the colour of the sky behind the scenes and of the bloom around the
// rings. A section turns into the next over one beat; the kick's entry at
// 12 s and the bass drive at 68 s land with a short burst of light on top.
#pragma once

struct Rgb {
  float r, g, b;
};

struct Grade {
  Rgb lift;          // added to the shadows: 0 keeps black black
  Rgb gain;          // multiplies the light
  Rgb sky;           // the backdrop at the horizon, and the bloom's tint
  float saturation;  // 1 keeps the colours as drawn
  float exposure;    // 1 keeps the brightness as drawn
  float kickPulse;   // the share of exposure the kick adds on the beat
};

// The grade at show time t, crossfaded and with the accents applied.
Grade gradeAt(double t);
