// Plays a data directory through the fixed clock and keeps nothing: the whole
// script, or the first MS of every scene. For runs that only ask whether the
// demo gets through its data: damaged files, sanitizers, leak checks.
// When the demo ends by itself the last line on stdout is
// "fixed_clock_play: N frames"; a fatal lookup or a missing audio device ends
// the process before that, with exit code 0, as in the demo.
// Usage: fixed_clock_play DATA_DIR [--size W H] [--fps N] [--start MS] [--end MS] [--per-scene MS]
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "fixed_clock_run.h"

namespace {

int Usage(const char* self) {
    std::fprintf(stderr,
                 "usage: %s DATA_DIR [--size W H] [--fps N] [--start MS] [--end MS] [--per-scene MS]\n"
                 "  defaults 640x480, 30 fps, the whole script; --per-scene plays only the first MS\n"
                 "  of every scene.\n",
                 self);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage(argv[0]);
    FixedClockOptions options;
    options.dataDir = std::filesystem::absolute(argv[1]).lexically_normal().string();
    for (int i = 2; i < argc; ++i) {
        const FixedClockOptionRead read = ReadFixedClockOption(argc, argv, &i, &options);
        if (read == FixedClockOptionRead::Read) continue;
        const bool perScene = read == FixedClockOptionRead::Unknown && std::string(argv[i]) == "--per-scene";
        if (!perScene || i + 1 >= argc || !ParseFixedClockInt(argv[++i], &options.msPerScene) ||
            options.msPerScene <= 0)
            return Usage(argv[0]);
    }
    // Headless unless told otherwise: a test may name a driver that is not there.
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);

    long long frames = 0;
    const int status = RunFixedClock(options, nullptr, [&](const FixedClockFrame&) { ++frames; });
    if (status == 0) std::printf("fixed_clock_play: %lld frames\n", frames);
    return status;
}
