// halcyon play: plays a data directory through the fixed clock and keeps
// nothing: the whole script, or the first MS of every scene. For runs that
// only ask whether the demo gets through its data: damaged files,
// sanitizers, leak checks, a machine without a display. A whole span shows
// its progress on stderr. When the demo ends by itself the last line on
// stdout is "halcyon play: N frames"; a fatal lookup or a missing audio device
// ends the process before that, with exit code 0, as in the demo.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "command/progress_line.h"
#include "command/subcommands.h"
#include "fixed_clock_options.h"

namespace {

int Play(const CLI::App* app, FixedClockOptions options) {
    if (const int status = CheckFixedClockSpan(app, options)) return status;
    options.dataDir = std::filesystem::absolute(options.dataDir).lexically_normal().string();
    // Headless unless told otherwise: a test may name a driver that is not there.
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    // Nothing shows on the screen: the progress line says how far it is.
    std::unique_ptr<ProgressLine> progress;
    const auto loaded = [&](const FixedClockLoaded& span) {
        if (options.msPerScene == 0) progress = std::make_unique<ProgressLine>("halcyon play", span.frames);
    };
    long long frames = 0;
    const int status = RunFixedClock(options, loaded, [&](const FixedClockFrame&) {
        ++frames;
        if (progress) progress->Show(frames);
    });
    if (progress) progress->Finish();
    if (status == 0) std::printf("halcyon play: %lld frames\n", frames);
    return status;
}

}  // namespace

Subcommand AddPlayCommand(CLI::App& command) {
    CLI::App* app = AddSubcommand(command, "play",
                                  "Play a data directory headless at fixed demo times and keep nothing",
                                  "halcyon play build --fps 2 --per-scene 500");
    auto options = std::make_shared<FixedClockOptions>();
    AddDataDirArgument(app, &options->dataDir);
    AddFixedClockOptions(app, options.get(), true);
    AddMillisecondsOption(app, "--per-scene", &options->msPerScene, "play only the first MS of every scene");
    return {app, [app, options] { return Play(app, *options); }};
}
