// The maker's subcommands, one function each, defined beside the code each runs.
#pragma once

#include "command_line.h"

Subcommand AddLiveCommand(CLI::App& command);
Subcommand AddCheckCommand(CLI::App& command);
Subcommand AddImportCommand(CLI::App& command);
Subcommand AddExportCommand(CLI::App& command);
Subcommand AddInfoCommand(CLI::App& command);
Subcommand AddPreviewCommand(CLI::App& command);
Subcommand AddCaptureCommand(CLI::App& command);
Subcommand AddPlayCommand(CLI::App& command);
Subcommand AddBenchmarkCommand(CLI::App& command);
Subcommand AddNewCommand(CLI::App& command);
Subcommand AddPackCommand(CLI::App& command);
