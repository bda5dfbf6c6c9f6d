#include "fixed_clock_options.h"

void AddFixedClockOptions(CLI::App* app, FixedClockOptions* options, bool withSize) {
    if (withSize) AddSizeOption(app, &options->width, &options->height, "the pictures' size (default 640x480)");
    AddFpsOption(app, &options->fps, "frames a second of demo time (default 30)");
    AddMillisecondsOption(app, "--start", &options->startMs, "the first frame's demo time (default 0)");
    AddMillisecondsOption(app, "--end", &options->endMs, "the demo time that ends the span (default: the music's end)");
}

int CheckFixedClockSpan(const CLI::App* app, const FixedClockOptions& options) {
    if (options.endMs >= 0 && options.endMs <= options.startMs)
        return UsageError(app, "--end " + std::to_string(options.endMs) + " ms is not after --start " +
                                   std::to_string(options.startMs) + " ms");
    return kExitDone;
}
