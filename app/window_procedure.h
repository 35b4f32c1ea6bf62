// The window procedure: turns window messages into demo state (key table,
// mouse flags, wheel count, tuning values, window activity) and captures the
// camera on the middle button.
#pragma once

#include <string>

#include "platform/platform.h"

struct DemoState;

void windowProcedure(DemoState& demo, const platform::WindowMessage& message);

// The capture text of one middle-button press: three pieces "Cam :", "Pnt :",
// "MCr :" with the camera, point and marker values.
std::string captureText(double camX, double camY, double camZ, double pointX, double pointY,
                        double pointZ, double markX, double markY, double markZ);
// A number with 6 significant digits in the general format.
std::string formatSignificant6(double value);

// Places text on the clipboard; false on failure.
bool copyToClipboard(const std::string& text);
