// Entry point: the shell comes up, the demo plays, everything goes down in reverse.
#include "platform/demo_app.h"
#include "runtime/demo_player.h"

namespace {

// Hand-over values, as the configuration screen will write them.
struct DisplaySettings {
    int width = 640;
    int height = 480;
    float aspect = 4.0f / 3.0f;
    bool fullScreen = false;
    int multisample = 4;
};

void Run() {
    const DisplaySettings settings;
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
