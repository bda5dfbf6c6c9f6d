// A project packed for viewers: unpacked in another folder it plays the same
// frames; a project with errors, or a folder that holds files, is refused.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "child_process.h"
#include "new_project.h"
#include "pack_project.h"
#include "temp_dir.h"

namespace {

namespace fs = std::filesystem;

CommandRun Halcyon(const std::string& arguments) {
    return RunCommand("SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy timeout 120 '" HALCYON "' " + arguments +
                      " 2>&1");
}

// Frame 0 of a capture at ms, as PNG bytes.
std::string FrameAt(const fs::path& data, const fs::path& out, int ms) {
    const CommandRun run = Halcyon("capture '" + data.string() + "' '" + out.string() + "' --png --size 160x120 " +
                                   "--fps 1 --start " + std::to_string(ms) + " --end " + std::to_string(ms + 1000));
    EXPECT_EQ(run.exitCode, 0) << run.output;
    return FileText((out / "frame_000000.png").string());
}

class Pack : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(WriteNewProject(project().string(), DEMO_DATA_DIR, &error)) << error;
    }
    fs::path project() const { return dir.path() / "demo"; }
    TempDir dir;
};

}  // namespace

TEST_F(Pack, UnpackedElsewhereTheReleasePlaysTheSameFrames) {
    const fs::path archive = dir.path() / "release.tar.gz";
    const CommandRun pack = Halcyon("pack '" + project().string() + "' '" + archive.string() + "'");
    ASSERT_EQ(pack.exitCode, 0) << pack.output;
    TempDir elsewhere;
    ASSERT_EQ(RunCommand("tar -xzf '" + archive.string() + "' -C '" + elsewhere.path().string() + "'").exitCode, 0);
    const fs::path release = elsewhere.path() / "release";
    EXPECT_TRUE(fs::is_regular_file(release / "halcyon98piece"));
    EXPECT_NE(FileText((release / kReleaseNotesName).string()).find("apt-get install libsdl2-2.0-0"),
              std::string::npos);
    for (int ms : {3000, 11000}) {
        const std::string original = FrameAt(project(), dir.path() / ("project-" + std::to_string(ms)), ms);
        EXPECT_FALSE(original.empty());
        EXPECT_EQ(FrameAt(release, dir.path() / ("release-" + std::to_string(ms)), ms), original) << ms;
    }
}

TEST_F(Pack, AProjectWithErrorsOrAFullFolderIsRefused) {
    dir.Write("demo/scripts/demo.txt", "!MusicFile tune.ogg\n!MusicVol 1\n.Compound\n-time 0 1000\n-file gone.nc\n");
    const fs::path out = dir.path() / "release";
    const CommandRun broken = Halcyon("pack '" + project().string() + "' '" + out.string() + "'");
    EXPECT_EQ(broken.exitCode, 1) << broken.output;
    EXPECT_NE(broken.output.find("demo.txt:5: error: compound file models/gone.nc is missing"), std::string::npos)
        << broken.output;
    EXPECT_NE(broken.output.find("nothing was packed"), std::string::npos) << broken.output;
    EXPECT_FALSE(fs::exists(out));

    dir.Write("demo/scripts/demo.txt", NewProjectScript());
    dir.Write("release/mine.txt", "keep");
    const CommandRun full = Halcyon("pack '" + project().string() + "' '" + out.string() + "'");
    EXPECT_EQ(full.exitCode, 1) << full.output;
    EXPECT_NE(full.output.find("is not empty"), std::string::npos) << full.output;
}
