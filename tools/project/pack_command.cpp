// halcyon pack: a project made into a release for viewers, a folder or a
// .tar.gz, once the data check finds no error in it.
#include <unistd.h>

#include <filesystem>
#include <memory>

#include "command/subcommands.h"
#include "pack_project.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kArchiveEnding = ".tar.gz";

bool IsArchive(const std::string& out) {
    const std::string ending = kArchiveEnding;
    return out.size() > ending.size() && out.compare(out.size() - ending.size(), ending.size(), ending) == 0;
}

// The release in a fresh folder beside nothing, then archived under its own name.
int PackArchive(const CLI::App* app, const std::string& project, const std::string& demo, const std::string& out) {
    std::error_code failure;
    if (fs::exists(out, failure)) return Fail(app, out + " exists already");
    const std::string name = fs::path(out.substr(0, out.size() - std::string(kArchiveEnding).size())).filename();
    const fs::path staging = fs::temp_directory_path(failure) / ("halcyon-pack-" + std::to_string(getpid()));
    fs::remove_all(staging, failure);
    std::string error;
    const bool written = WriteRelease(project, demo, (staging / name).string(), &error);
    const bool archived = written && RunProgram("tar", {"-czf", out, "-C", staging.string(), name}) == 0;
    fs::remove_all(staging, failure);
    if (!written) return Fail(app, error);
    if (!archived) return Fail(app, "tar could not write " + out);
    return kExitDone;
}

int Pack(const CLI::App* app, const std::string& project, const std::string& out) {
    const std::string self = CommandDirectory() + "/halcyon";
    // The check prints its findings; a release must not carry a fault to its viewers.
    if (RunProgram(self, {"check", project}) != 0)
        return Fail(app, "the data check found errors in " + project + ": nothing was packed");
    const std::string demo = CommandDirectory() + "/halcyon98piece";
    if (IsArchive(out)) return PackArchive(app, project, demo, out);
    std::string error;
    if (!WriteRelease(project, demo, out, &error)) return Fail(app, error);
    return kExitDone;
}

}  // namespace

Subcommand AddPackCommand(CLI::App& command) {
    CLI::App* app = AddSubcommand(command, "pack",
                                  "Pack a project for viewers: the demo program, the data and how to run it, "
                                  "as a folder or a .tar.gz",
                                  "halcyon pack my-demo my-demo-release.tar.gz");
    auto project = std::make_shared<std::string>();
    auto out = std::make_shared<std::string>();
    AddDataDirArgument(app, project.get());
    app->add_option("OUT", *out, "the release folder to make (new or empty), or a file ending in .tar.gz")
        ->required();
    return {app, [app, project, out] {
                const int status = Pack(app, *project, *out);
                if (status == kExitDone) std::printf("packed %s into %s\n", project->c_str(), out->c_str());
                return status;
            }};
}
