// The keys a viewer uses that the show itself does not: the transport's
// (app/transport.h), F11 switches between the window and fullscreen at the
// desktop's own mode, F2 shows or hides the frame-time overlay.
#pragma once

struct DemoState;

// A key went down (not a repeat of a held key).
void viewerKeyPressed(DemoState& demo, int key);
