// The command for people who make demos with the engine: one program, a
// subcommand per job, each over the engine's own code.
#include "command/subcommands.h"

int main(int argc, char** argv) {
    CLI::App command("Makes, plays, checks and records demos with the Halcyon98Piece engine.", kCommandName);
    command.require_subcommand(1);
    command.footer("Run 'halcyon SUBCOMMAND --help' for its options and an example.");
    const std::vector<Subcommand> subcommands = {
        AddLiveCommand(command),    AddCheckCommand(command),   AddImportCommand(command),
        AddExportCommand(command),  AddInfoCommand(command),    AddPreviewCommand(command),
        AddCaptureCommand(command), AddPlayCommand(command),    AddBenchmarkCommand(command), AddNewCommand(command),
        AddPackCommand(command),
    };
    return RunCommandLine(command, subcommands, argc, argv);
}
