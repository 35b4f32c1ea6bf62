// The show's music: the soundtrack on channel 1, its spectrum, the end-fade
// volume and seeking. Runs only when demo.musicEnabled is set.
#pragma once

// Starts the sound system, opens the music (and the sound effect with
// sfxEnabled) and plays from sample 0. Ends the process with a message on failure.
void startMusic();
// Points demo.spectrumSource at the current 512-band spectrum.
void updateSpectrum();
// Volume of the music channel, 0..255.
void setMusicVolume(int volume);
// Continues the music from (int)(t * 44100) samples.
void seekMusic(double t);
// Stops all sound and releases the sound system.
void closeMusic();
