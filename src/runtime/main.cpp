// Entry point: the configuration screen, then the shell and the demo, and
// everything down again in reverse.
#include <cstdio>
#include <cstdlib>

#include "gfx2d/config_screen.h"
#include "platform/demo_app.h"
#include "runtime/demo_player.h"

namespace {

struct DisplaySettings {
    int width = 640;
    int height = 480;
    float aspect = 4.0f / 3.0f;
    bool fullScreen = false;
    int multisample = 0;
};

// Without anyone at the screen (headless runs, recordings) the choices can
// come from HALCYON98PIECE_CONFIG="resolution,fullscreen,aspect,antialiasing",
// the list indices of the configuration screen.
bool PresetChoices(DisplaySettings* settings) {
    const char* preset = std::getenv("HALCYON98PIECE_CONFIG");
    if (!preset) return false;
    ConfigScreen choices;
    if (std::sscanf(preset, "%d,%d,%d,%d", &choices.resolution, &choices.fullScreen, &choices.aspect,
                    &choices.antialiasing) != 4)
        return false;
    zkConfigurationValues(choices, &settings->width, &settings->height, &settings->aspect, &settings->fullScreen,
                          &settings->multisample);
    return true;
}

void Run() {
    DisplaySettings settings;
    if (!PresetChoices(&settings))
        zkRunConfiguration(&settings.width, &settings.height, &settings.aspect, &settings.fullScreen,
                           &settings.multisample);
    g_demoApp = new DemoApp();
    g_demoApp->Startup(settings.width, settings.height, settings.fullScreen, settings.multisample);
    g_demoApp->window->zkSetWindowTitle("Halcyon98Piece");

    DemoPlayer player(settings.width, settings.height, settings.aspect);
    player.LoadScript("demo.txt");
    while (player.Frame()) {
    }
}

}  // namespace

int main() {
    Run();
    if (g_demoApp) {
        g_demoApp->Shutdown();
        delete g_demoApp;
        g_demoApp = nullptr;
    }
    return 0;
}
