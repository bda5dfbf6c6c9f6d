// A skinned, animated glTF (the rooster, exported by the maker's command)
// imported into a new project and drawn by a composed scene through the
// fixed clock: the figure is on screen and moves between two times, and the
// project's release, put elsewhere, plays the same frames.
#include <gtest/gtest.h>

#include <string>

#include "../gltf/gltf_tool_runs.h"
#include "demo_pictures.h"
#include "new_project.h"
#include "pack_project.h"
#include "temp_dir.h"

namespace {

namespace fs = std::filesystem;

constexpr int kWidth = 160, kHeight = 120;

constexpr const char* kScript =
    "!MusicFile tune.ogg\n!MusicVol 1\n.Compound\n-time 0 19000\n-file figure.nc\n-shader Galo zkLSShader\n-loop 1 60\n"
    "-clear 0 0 0\n";

int Lit(const Picture& picture) {
    int lit = 0;
    for (uint32_t pixel : picture.pixels) lit += (pixel & 0xFFFFFF) != 0;
    return lit;
}

class ImportedFigure : public DemoPictures {};

}  // namespace

TEST_F(ImportedFigure, MovesOnScreenAndTheReleasePlaysTheSameFrames) {
    TempDir dir;
    const fs::path project = dir.path() / "demo";
    std::string error;
    ASSERT_TRUE(WriteNewProject(project.string(), DEMO_DATA_DIR, &error)) << error;
    // The rooster as a Blender export would bring it: glTF written by the export, read by the import.
    const std::string glb = (dir.path() / "figure.glb").string();
    const ToolRun exported = RunTool("export", {(project / "models" / "rooster.nc").string(), glb});
    ASSERT_EQ(exported.exitCode, 0) << exported.output;
    const ToolRun import = RunTool("import", {glb, (project / "models" / "figure.nc").string()});
    ASSERT_EQ(import.exitCode, 0) << import.output;
    dir.Write("demo/scripts/demo.txt", kScript);
    Open(kWidth, kHeight, 0, project.string());
    const Picture early = FrameAt(100), late = FrameAt(1000);
    EXPECT_GT(Lit(early), kWidth * kHeight / 100) << "the figure is not on screen";
    EXPECT_NE(early.pixels, late.pixels) << "the figure does not move";
    session.reset();

    const fs::path release = dir.path() / "elsewhere" / "release";
    ASSERT_TRUE(WriteRelease(project.string(), DEMO_BINARY, release.string(), &error)) << error;
    fs::remove_all(project);
    Open(kWidth, kHeight, 0, release.string());
    EXPECT_EQ(FrameAt(100).pixels, early.pixels);
    EXPECT_EQ(FrameAt(1000).pixels, late.pixels);
}
