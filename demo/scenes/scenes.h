// The four scenes, one file each: each draws the show at frame.time into the
// scene target the frame composition has bound, with what the context holds.
// The frame composition picks the scene of the moment (core/timeline.h).
#pragma once

#include "demo/frame_record.h"
#include "demo/scenes/scene_context.h"

// Below 20 s: the wall's panels grow into place; a cube's panels turn behind.
void drawOpeningPanels(const FrameRecord& frame, SceneContext& scene);
// 20 s to 36 s: the tiled cube's panels fall in, inside a turning shell.
void drawPanelField(const FrameRecord& frame, SceneContext& scene);
// 36 s to 132 s: the flight through the ring tunnel; writes the request camera.
void drawRingTunnel(const FrameRecord& frame, SceneContext& scene);
// From 132 s: the panel cube finale.
void drawPanelCube(const FrameRecord& frame, SceneContext& scene);
