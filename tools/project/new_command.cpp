// halcyon new: a demo project that plays at once, to start a demo from.
#include <memory>

#include "command/subcommands.h"
#include "new_project.h"
#include "pack_project.h"

Subcommand AddNewCommand(CLI::App& command) {
    CLI::App* app = AddSubcommand(command, "new",
                                  "Make a demo project that plays at once: the engine's shaders, a generated tune, "
                                  "two composed scenes, a title card and fades",
                                  "halcyon new my-demo && halcyon live my-demo");
    auto directory = std::make_shared<std::string>();
    app->add_option("PROJECT", *directory, "the project folder to make (new or empty)")->required();
    return {app, [app, directory] {
                std::string error;
                if (!WriteNewProject(*directory, CommandDirectory(), &error)) return Fail(app, error);
                std::printf("made %s: play it with 'halcyon live %s'\n", directory->c_str(), directory->c_str());
                return static_cast<int>(kExitDone);
            }};
}
