// What the desktop tests look for on the demo's screens: the configuration
// screen's controls, black before the first frame, the timing overlay.
#pragma once

#include "x_server.h"

// Places on the configuration screen's client area.
struct ScreenPoint {
    int x, y;
};
constexpr int kConfigurationWidth = 350, kConfigurationHeight = 290;
constexpr ScreenPoint kFullScreenToggle{60, 215};
constexpr ScreenPoint kNextResolution{330, 215};
constexpr ScreenPoint kExit{55, 275};
constexpr ScreenPoint kRun{295, 275};

void Pause(int milliseconds);
bool Black(const XPicture& picture);
// Pixels of the overlay's green 60-frames line: y 50, x 40 to 440 of the back buffer.
int OverlayLinePixels(const XPicture& picture);
// The leftmost and rightmost columns with a lit pixel; -1 when none is lit.
struct LitColumns {
    int left = -1, right = -1;
};
LitColumns LitExtent(const XPicture& picture);
