// halcyon new: a demo project that plays at once, to start a demo from.
#include <unistd.h>

#include <memory>

#include "command/subcommands.h"
#include "new_project.h"

namespace {

// The engine's shaders and pictures lie beside the command, in the build directory.
std::string CommandDirectory() {
    char path[4096];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return ".";
    const std::string program(path, static_cast<size_t>(length));
    return program.substr(0, program.find_last_of('/'));
}

}  // namespace

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
