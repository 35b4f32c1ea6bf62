// The transport of a played show, on keys the show itself does not use:
// Space pauses and resumes, Left and Right seek 5 s back or on, Page Up and
// Page Down 30 s back or on, Home plays from 0; with --loop a show past its
// end starts again from 0, unless it is on its way out. The frame after a
// seek is the frame at its time, and the music and the show clock follow it as
// they follow --start (the frame driver makes the jump). Pausing stops the
// music and the show clock and holds the picture; resuming plays on from the
// clock's time. Once the end fade has begun the keys do nothing.
#pragma once

struct FrameResult;
struct Music;
struct ShowClock;

constexpr double kShortSeek = 5.0;
constexpr double kLongSeek = 30.0;

// A key went down; the transport's keys act on the show, others do nothing.
void transportKeyPressed(ShowClock& clock, Music& music, int key);

void pauseShow(ShowClock& clock, Music& music);
void resumeShow(ShowClock& clock, Music& music);
// The next frame shows show time t, clamped to 0..205.
void seekShow(ShowClock& clock, double t);

// After a frame: whether the show goes on. With the loop (--loop) on, a frame past
// the end takes the show back to 0 instead of ending it; but a show whose end
// fade has begun, or is asked for in this pass (endAsked: Escape), ends
// there as it would without the loop.
bool showGoesOn(ShowClock& clock, bool loop, const FrameResult& frame, bool endAsked);
