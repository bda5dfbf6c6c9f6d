// halcyon live: plays a data directory for the people who make a demo with
// the engine: seek, pause, loop and a timeline strip, and every data file
// reloaded as it is saved, the playhead kept.
#include <unistd.h>

#include <memory>

#include "command/subcommands.h"
#include "data_check_findings.h"
#include "live_player.h"
#include "platform/demo_app.h"
#include "runtime/demo_player.h"

namespace {

struct LiveOptions {
    std::string dataDir;
    int width = 960, height = 540;
    int startMs = -1;  // negative: the script's music position
};

int PlayLive(const CLI::App* app, const LiveOptions& options) {
    // The engine opens its data relative to the working directory.
    if (chdir(options.dataDir.c_str()) != 0) return Fail(app, "cannot enter " + options.dataDir);
    g_demoApp = new DemoApp();
    g_demoApp->Startup(options.width, options.height, false, 0);
    int status = kExitDone;
    if (!g_graphics || !g_graphics->device) {
        status = Fail(app, "no graphics device");
    } else {
        BoxCollector boxes;  // faults go to the panel, never to a box that waits
        g_demoApp->window->zkSetWindowTitle("Halcyon98Piece live");
        DemoPlayer player(options.width, options.height,
                          static_cast<float>(options.width) / static_cast<float>(options.height));
        player.LoadScript("demo.txt");
        LivePlayer live(&player, &boxes, ".");
        if (options.startMs >= 0) live.transport().Seek(static_cast<float>(options.startMs));
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

}  // namespace

Subcommand AddLiveCommand(CLI::App& command) {
    CLI::App* app = AddSubcommand(command, "live", "Play a data directory and reload each file as it is saved",
                                  "halcyon live build --size 1280x720 --start 130500");
    auto options = std::make_shared<LiveOptions>();
    AddDataDirArgument(app, &options->dataDir);
    AddSizeOption(app, &options->width, &options->height, "the window's size (default 960x540)");
    AddMillisecondsOption(app, "--start", &options->startMs,
                          "where the playhead starts (default: where the script starts the music)");
    return {app, [app, options] { return PlayLive(app, *options); }};
}
