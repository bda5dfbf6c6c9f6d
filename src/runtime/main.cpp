// Entry point: the configuration screen, then the shell and the demo, and
// everything down again in reverse.
#include <cstdio>
#include <cstdlib>
#include <string>

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

std::string ExecutablePath() {
    char path[4096];
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    return length > 0 && length < sizeof path - 1 ? std::string(path, length) : std::string();
}

std::string DirectoryOf(const std::string& path) { return path.substr(0, path.find_last_of("/\\") + 1); }

// Without a display nobody can click the configuration screen, which would
// wait for ever: say so, and how to play or record the demo instead.
bool DisplayAvailable() {
    if (GetSystemMetrics(SM_CMONITORS) > 0) return true;
    const std::string program = ExecutablePath(), directory = DirectoryOf(program);
    std::fprintf(stderr,
                 "halcyon98piece: there is no display to show the configuration screen on. To play without one: "
                 "SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy HALCYON98PIECE_CONFIG=1,0,2,0 %s; to record "
                 "the demo to a video instead: %shalcyon capture %s demo.mp4\n",
                 program.c_str(), directory.c_str(), directory.empty() ? "." : directory.c_str());
    return false;
}

// False when the demo could not start.
bool Run() {
    DisplaySettings settings;
    if (!PresetChoices(&settings)) {
        if (!DisplayAvailable()) return false;
        zkRunConfiguration(&settings.width, &settings.height, &settings.aspect, &settings.fullScreen,
                           &settings.multisample);
    }
    g_demoApp = new DemoApp();
    g_demoApp->Startup(settings.width, settings.height, settings.fullScreen, settings.multisample);
    g_demoApp->window->zkSetWindowTitle("Halcyon98Piece");

    DemoPlayer player(settings.width, settings.height, settings.aspect);
    player.LoadScript("demo.txt");
    while (player.Frame()) {
    }
    return true;
}

}  // namespace

int main() {
    // The data files live beside the executable, wherever the demo is started from.
    const std::string directory = DirectoryOf(ExecutablePath());
    if (!directory.empty()) SetCurrentDirectoryA(directory.c_str());
    const bool ran = Run();
    if (g_demoApp) {
        g_demoApp->Shutdown();
        delete g_demoApp;
        g_demoApp = nullptr;
    }
    return ran ? 0 : 1;
}
