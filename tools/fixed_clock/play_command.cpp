// halcyon play: plays a data directory through the fixed clock and keeps
// nothing: the whole script, or the first MS of every scene. For runs that
// only ask whether the demo gets through its data: damaged files,
// sanitizers, leak checks. When the demo ends by itself the last line on
// stdout is "halcyon play: N frames"; a fatal lookup or a missing audio device
// ends the process before that, with exit code 0, as in the demo.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "command/subcommands.h"
#include "fixed_clock_options.h"

namespace {

int Play(const CLI::App* app, FixedClockOptions options) {
    if (const int status = CheckFixedClockSpan(app, options)) return status;
    options.dataDir = std::filesystem::absolute(options.dataDir).lexically_normal().string();
    // Headless unless told otherwise: a test may name a driver that is not there.
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    long long frames = 0;
    const int status = RunFixedClock(options, nullptr, [&](const FixedClockFrame&) { ++frames; });
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
