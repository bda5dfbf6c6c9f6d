// The application shell: owns the window, the frame timer and the graphics context.
#pragma once

#include "platform/app_window.h"
#include "platform/graphics_context.h"
#include "runtime/frame_timer.h"

struct DemoApp {
    GraphicsContext* context = nullptr;
    FPS_Timer* timer = new FPSTimer_HighResolution();
    AppWindow* window = new AppWindow();

    bool Startup(int width, int height, bool fullScreen, int multisample);
    void Shutdown();
};

extern DemoApp* g_demoApp;
