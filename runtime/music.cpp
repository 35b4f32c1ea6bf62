// Music hooks of the frame driver; the sound system fills them in.
#include "runtime/music.h"

void startMusic() {}
void updateSpectrum() {}
void setMusicVolume(int) {}
void seekMusic(double) {}
void closeMusic() {}
