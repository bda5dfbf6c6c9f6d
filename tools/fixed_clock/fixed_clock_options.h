// The options of the subcommands that play the script at fixed demo times.
#pragma once

#include "command/command_line.h"
#include "fixed_clock_run.h"

// --fps, --start and --end; --size too unless the subcommand takes several sizes.
void AddFixedClockOptions(CLI::App* app, FixedClockOptions* options, bool withSize);
// kExitDone, or the usage error of an --end that is not after --start.
int CheckFixedClockSpan(const CLI::App* app, const FixedClockOptions& options);
