// Camera tracks: a directing aid that records per-frame channel values, saves
// them to "state.txt", loads them at startup and jumps to preset times on the
// digit keys. Runs only with the camera-track developer switches.
#pragma once

void recordKey();
void jumpKeys();
void saveTracks(const char* path);
void loadTracks(const char* path);
