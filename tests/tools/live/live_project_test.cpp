// The live player over a new project: a composed scene naming a camera its
// compound lacks shows the fault in the panel while the player plays on, and
// a compound the script names for the first time is loaded when the script
// is saved.
#include <gtest/gtest.h>

#include <string>

#include "live_test_shell.h"
#include "new_project.h"
#include "test_ogg.h"

namespace {

constexpr const char* kHead = "!MusicFile tune.ogg\n!MusicVol 1\n.Compound\n-time 0 19000\n";  // lines 1 to 4

class LiveProject : public LiveShell {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(WriteNewProject(dir.path().string(), DEMO_DATA_DIR, &error)) << error;
        musicLengthMs = static_cast<int>(kNewProjectSeconds * 1000);
        Start();
        Frames(3);
    }
    bool PanelSays(const std::string& text) {
        for (const std::string& line : live->PanelLines())
            if (line.find(text) != std::string::npos) return true;
        return false;
    }
};

}  // namespace

TEST_F(LiveProject, AMissingCameraIsShownAndThePlayerPlaysOn) {
    Save("scripts/demo.txt", std::string(kHead) + "-file spinner.nc\n-camera Nobody\n");
    ASSERT_TRUE(FramesUntil([&] { return live->reload().reloads() > 0; }));
    EXPECT_TRUE(PanelSays("scripts/demo.txt:6: error: camera \"Nobody\" is not in models/spinner.nc"));
    const float before = playhead();
    Frames(5);
    EXPECT_GT(playhead(), before);

    Save("scripts/demo.txt", std::string(kHead) + "-file spinner.nc\n-camera Front\n");
    ASSERT_TRUE(FramesUntil([&] { return !PanelSays("Nobody"); }));
}

TEST_F(LiveProject, AnotherMusicLineOpensItsFile) {
    ASSERT_TRUE(WriteTestOgg((dir.path() / "audio" / "other.ogg").string(), 30.0));
    const audiere::OutputStream* before = player->resources->music.stream.get();
    Save("scripts/demo.txt", "!MusicFile other.ogg\n!MusicVol 1\n.Compound\n-time 0 19000\n-file spinner.nc\n");
    ASSERT_TRUE(FramesUntil([&] { return player->resources->music.stream.get() != before; }));
    EXPECT_TRUE(live->PanelLines().empty()) << live->PanelLines().front();
}

TEST_F(LiveProject, ACompoundNamedForTheFirstTimeLoadsWithTheScript) {
    const std::vector<uint32_t> spinner = Pixels();
    Save("models/copy.nc", Read("models/rooster.nc"));
    Save("scripts/demo.txt", std::string(kHead) + "-file copy.nc\n-shader Galo zkLSShader\n-clear 0 0 0\n");
    ASSERT_TRUE(FramesUntil([&] { return player->resources->project.CompoundOf("copy.nc") != nullptr; }));
    Frames(2);
    EXPECT_TRUE(live->PanelLines().empty()) << live->PanelLines().front();
    EXPECT_GT(DifferingPixels(spinner, Pixels(), width), width * height / 20);
}
