// A new project checked as the maker's command checks it: it has no fault,
// and each of the maker's lines broken one way is reported with the script
// line, the rest of the project still checked.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "child_process.h"
#include "new_project.h"
#include "temp_dir.h"

namespace {

namespace fs = std::filesystem;

CommandRun Check(const fs::path& dir) {
    return RunCommand("SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy '" HALCYON "' check '" + dir.string() +
                      "' 2>/dev/null");
}

bool Says(const CommandRun& run, const std::string& text) { return run.output.find(text) != std::string::npos; }

}  // namespace

TEST(NewProject, PlaysAtOnceWithoutAFault) {
    TempDir dir;
    std::string error;
    ASSERT_TRUE(WriteNewProject((dir.path() / "demo").string(), DEMO_DATA_DIR, &error)) << error;
    const CommandRun run = Check(dir.path() / "demo");
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_TRUE(Says(run, "0 errors, 0 warnings")) << run.output;
}

TEST(NewProject, RefusesAFolderThatHoldsFiles) {
    TempDir dir;
    dir.Write("demo/keep.txt", "mine");
    std::string error;
    EXPECT_FALSE(WriteNewProject((dir.path() / "demo").string(), DEMO_DATA_DIR, &error));
    EXPECT_NE(error.find("is not empty"), std::string::npos) << error;
    const CommandRun run = RunCommand("'" HALCYON "' new '" + (dir.path() / "demo").string() + "' 2>&1");
    EXPECT_EQ(run.exitCode, 1) << run.output;
    EXPECT_EQ(FileText((dir.path() / "demo/keep.txt").string()), "mine");
}

TEST(NewProject, EachBrokenMakersLineIsReportedWithItsLine) {
    TempDir dir;
    std::string error;
    const fs::path project = dir.path() / "demo";
    ASSERT_TRUE(WriteNewProject(project.string(), DEMO_DATA_DIR, &error)) << error;
    dir.Write("demo/shaders/zkBroken.fx",
              "#pragma HLSL_PS\nfloat4 main() : COLOR { return nothing; }\n#pragma Config\nPixelShaderVersion(3)\n#end\n");
    const std::string scene = "!MusicFile tune.ogg\n!MusicVol 1\n.Compound\n-time 0 1000\n";  // lines 1 to 4
    struct Broken {
        std::string name, lines, reported;
        std::string missing = "";  // the name the demo's box gives as it ends, as at any failed lookup
    };
    const std::vector<Broken> cases = {
        {"unknown parameter", "-file spinner.nc\n-colour 1\n", "demo.txt:6: error: unknown parameter \"colour\""},
        {"missing file", "-file gone.nc\n", "demo.txt:5: error: compound file models/gone.nc is missing"},
        {"file outside", "-file ../x.nc\n", "demo.txt:5: error: compound file \"../x.nc\" is not a plain file name"},
        {"no file", "-camera Front\n", "demo.txt:3: error: composed scene has no file line"},
        {"camera", "-file spinner.nc\n-camera Nobody\n", "demo.txt:6: error: camera \"Nobody\" is not in", "Nobody"},
        {"light", "-file spinner.nc\n-halo Sun\n", "demo.txt:6: error: light \"Sun\" is not in", "Sun"},
        {"material", "-file spinner.nc\n-shader Glass zkLFShader\n", "demo.txt:6: error: material \"Glass\""},
        {"shader missing", "-file spinner.nc\n-shader * zkGone\n", "demo.txt:6: error: shader shaders/zkGone.fx"},
        {"shader broken", "-file spinner.nc\n-shader * zkBroken\n", "demo.txt:6: error: shader shaders/zkBroken.fx"},
        {"music", "-file spinner.nc\n!MusicFile other.ogg\n", "demo.txt:6: error: music file audio/other.ogg"},
    };
    for (const Broken& c : cases) {
        dir.Write("demo/scripts/demo.txt", scene + c.lines);
        const CommandRun run = Check(project);
        EXPECT_EQ(run.exitCode, 1) << c.name << "\n" << run.output;
        EXPECT_TRUE(Says(run, "scripts/" + c.reported)) << c.name << "\n" << run.output;
        if (c.missing.empty()) continue;
        const CommandRun played = RunCommand("'" HALCYON "' play '" + project.string() + "' --fps 5 2>&1");
        EXPECT_EQ(played.exitCode, 0) << played.output;
        EXPECT_TRUE(Says(played, "Datablock \"" + c.missing + "\" not found!")) << c.name << "\n" << played.output;
        EXPECT_FALSE(Says(played, " frames\n")) << "the demo ends at the miss";
    }
}
