// Plays a data directory for the people who make a demo with the engine:
// seek, pause, loop and a timeline strip, and every data file reloaded as it
// is saved, the playhead kept.
// Usage: live DATA_DIR [--size WxH] [--at MS]
#include <unistd.h>

#include <cstdio>

#include "data_check_findings.h"
#include "live_options.h"
#include "live_player.h"
#include "platform/demo_app.h"
#include "runtime/demo_player.h"

int main(int argc, char** argv) {
    LiveOptions options;
    std::string error;
    if (!ParseLiveOptions(argc, argv, &options, &error)) {
        std::fprintf(stderr, "live: %s\nusage: %s DATA_DIR [--size WxH] [--at MS]\n", error.c_str(), argv[0]);
        return 2;
    }
    // The engine opens its data relative to the working directory.
    if (chdir(options.dataDir.c_str()) != 0) {
        std::fprintf(stderr, "live: cannot enter %s\n", options.dataDir.c_str());
        return 1;
    }
    g_demoApp = new DemoApp();
    g_demoApp->Startup(options.width, options.height, false, 0);
    int status = 0;
    if (!g_graphics || !g_graphics->device) {
        std::fprintf(stderr, "live: no graphics device\n");
        status = 1;
    } else {
        BoxCollector boxes;  // faults go to the panel, never to a box that waits
        g_demoApp->window->zkSetWindowTitle("Halcyon98Piece live");
        DemoPlayer player(options.width, options.height,
                          static_cast<float>(options.width) / static_cast<float>(options.height));
        player.LoadScript("demo.txt");
        LivePlayer live(&player, &boxes, ".");
        if (options.atMs >= 0) live.transport().Seek(static_cast<float>(options.atMs));
        while (ShowCursor(TRUE) < 0) {  // the loading hid it once a frame; the strip takes clicks
        }
        while (live.Frame()) {
        }
    }
    g_demoApp->Shutdown();
    delete g_demoApp;
    g_demoApp = nullptr;
    return status;
}
