// The small "Configuration" window shown before the demo: resolution, aspect
// ratio, antialiasing and full screen, then Run or Exit.
#pragma once

#include "gfx2d/bitmap_font.h"
#include "gfx2d/gui_widgets.h"
#include "gfx2d/named_texture.h"
#include "platform/demo_app.h"

struct ConfigScreen {
    int resolution = 1;  // 640x480
    int fullScreen = 1;  // on when odd
    int aspect = 2;      // 4/3
    int antialiasing = 0;
    NamedTexture* picture = nullptr;
    GuiStyle style;
    BitmapFont font;
    NamedTexture* fontTexture = nullptr;
    DemoApp* shell = nullptr;
};

// Returns the choices when the demo is to run (Run, or the window closed);
// Exit and Escape end the process with exit code 0.
void zkRunConfiguration(int* width, int* height, float* aspect, bool* fullScreen, int* multisample);

// The pieces zkRunConfiguration loops over, for drawing single frames: the
// screen's window and device; one frame (at most one message, the widgets,
// present), false when the demo is to run; the window closed and freed.
ConfigScreen* zkOpenConfiguration();
bool zkConfigurationFrame(ConfigScreen* screen);
void zkCloseConfiguration(ConfigScreen* screen);

// The hand-over values of the screen's choices, by index; indices outside the
// lists give 0.
void zkConfigurationValues(const ConfigScreen& screen, int* width, int* height, float* aspect, bool* fullScreen,
                           int* multisample);
