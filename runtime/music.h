// The show's music: the soundtrack on channel 1, its spectrum, the end-fade
// volume and seeking. Runs only when music.enabled is set. The sound
// system and the open sounds live in a Music record of the show's state;
// before startMusic and after closeMusic every call is a silent no-op.
#pragma once

#include <memory>
#include <optional>

#include "core/load_failure.h"
#include "platform/sound.h"

struct Music {
  std::unique_ptr<platform::SoundSystem> sound;  // from startMusic to closeMusic
  platform::Sound* stream = nullptr;
  platform::Sound* sfx = nullptr;
  bool offlineSpectrum = false;     // offline rendering: the spectrum comes from the track
  bool enabled = true;              // music and spectrum at all; off, nothing is started
  const float* spectrum = nullptr;  // the 512 bands last returned
};

// Starts the sound system, opens the music (and the sound effect with
// withSfx) and plays from sample 0. Returns the failure when the sound
// system cannot start or a sound file cannot be played.
std::optional<LoadFailure> startMusic(Music& music, bool withSfx);
// Points music.spectrum at the current 512-band spectrum: what is audible
// now, or, in offline rendering, what the music reports at show time t.
void updateSpectrum(Music& music, double t);
// Offline rendering takes the spectrum from the decoded track at the demo
// time instead of from what the output is playing.
void useOfflineSpectrum(Music& music, bool offline);
// Volume of the music channel, 0..255.
void setMusicVolume(Music& music, int volume);
// Continues the music from (int)(t * 44100) samples.
void seekMusic(Music& music, double t);
// A paused music fades out at once and stands still; unpaused it plays on.
void pauseMusic(Music& music, bool paused);
// The music's place: the next sample the output takes, in seconds; 0 without music.
double musicPosition(const Music& music);
// Stops all sound and releases the sound system.
void closeMusic(Music& music);

// The soundtrack's file, relative to the data folder.
const char* musicFileName();

// The music's sample offset of show time t: (int)(t * 44100), truncated.
int musicSampleOffset(double t);
// For offline rendering, after startMusic: the spectrum the music reports
// when show time t is playing, computed from the decoded track at full
// volume. Waits until the decoder has reached t. The pointer is valid until
// the next call of this or updateSpectrum.
const float* spectrumAtTime(Music& music, double t);
