#include "platform/demo_app.h"

DemoApp* g_demoApp = nullptr;

bool DemoApp::Startup(int width, int height, bool fullScreen, int multisample) {
    window->zkCreateWindow("project", width, height, fullScreen);  // a failure shows up as a refused device
    context = zkCreateDevice(window->window, width, height, multisample);
    g_graphics = context;
    timer->Start();
    ShowCursor(fullScreen ? FALSE : TRUE);
    return true;
}

void DemoApp::Shutdown() {
    zkDestroyDevice(context);
    if (g_graphics == context) g_graphics = nullptr;
    context = nullptr;
    if (window) {
        window->zkDestroyWindow();
        delete window;
        window = nullptr;
    }
    delete timer;
    timer = nullptr;
    ShowCursor(TRUE);
}
