// halcyon info: prints what a compound file holds, as the engine loads it, so
// that a demo maker can see why a lookup by name fails.
#include <cstdio>
#include <memory>

#include "command/subcommands.h"
#include "compound_reading.h"
#include "compound_summary.h"

Subcommand AddInfoCommand(CLI::App& command) {
    CLI::App* app = AddSubcommand(command, "info",
                                  "List every name, layout, bone and key range a compound file holds",
                                  "halcyon info build/models/galo.nc");
    auto path = std::make_shared<std::string>();
    app->add_option("FILE", *path, "the compound file (.nc)")->required();
    return {app, [app, path] {
                compound_file::File file;
                std::string error;
                if (!ReadCompound(*path, &file, &error)) return Fail(app, "error: " + *path + ": " + error);
                std::fputs(DescribeCompound(file).c_str(), stdout);
                return static_cast<int>(kExitDone);
            }};
}
