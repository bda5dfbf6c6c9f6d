// halcyon check: checks a data directory without playing it: the script against the scene
// classes and the music, the shaders, the pictures and the compound files,
// all loaded with the engine's own loaders on the recording device.
// Prints one line per finding and "N errors, M warnings"; exits with 1 when
// there is an error, 0 otherwise.
#include <unistd.h>

#include <cstdio>
#include <memory>

#include "backend/recording_device.h"
#include "command/subcommands.h"
#include "data_check_compounds.h"
#include "data_check_findings.h"
#include "data_check_music.h"
#include "data_check_project.h"
#include "data_check_script.h"
#include "data_check_shaders.h"
#include "data_check_textures.h"
#include "platform/graphics_context.h"
#include "runtime/project_files.h"

namespace {

void RunChecks(Findings* findings) {
    // Nothing is drawn, so no window and no GPU: the recording device stands in.
    RecordedCalls log;
    SetDirect3DFactory([&log] { return new RecordingDirect3D(&log); });
    g_graphics = zkCreateDevice(nullptr, 640, 480, 0);
    {
        BoxCollector boxes;
        const ProjectFiles files = ScanProjectScript(kScriptFile);
        const long music = MusicLengthMilliseconds("audio/" + files.musicFile, findings);
        CheckScript(kScriptFile, music, findings);
        if (files.originalScenes) {
            CheckShaders(&boxes, findings);
            TextureCheck textures(findings);
            textures.CheckNamedInCode(&boxes);
            CheckCompounds(&boxes, &textures, findings);
        } else {
            CheckProjectEngineFiles(&boxes, findings);
        }
        CheckProjectScriptFile(kScriptFile, &boxes, findings);
    }
    zkDestroyDevice(g_graphics);
    g_graphics = nullptr;
    SetDirect3DFactory(nullptr);
}

int CheckDataDirectory(const std::string& dataDir) {
    Findings findings;
    // The engine opens its data relative to the working directory.
    if (chdir(dataDir.c_str()) == 0)
        RunChecks(&findings);
    else
        findings.Error(dataDir, "directory", "cannot be entered");
    for (const std::string& line : findings.Lines()) std::printf("%s\n", line.c_str());
    std::printf("%s\n", findings.Summary().c_str());
    return findings.errors() > 0 ? kExitBadInput : kExitDone;
}

}  // namespace

Subcommand AddCheckCommand(CLI::App& command) {
    CLI::App* app = AddSubcommand(command, "check",
                                  "Check a data directory against what the demo loads, without playing it",
                                  "halcyon check build");
    auto dataDir = std::make_shared<std::string>();
    AddDataDirArgument(app, dataDir.get());
    return {app, [dataDir] { return CheckDataDirectory(*dataDir); }};
}
