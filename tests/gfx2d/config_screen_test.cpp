// The configuration screen run headless on the OpenGL device, operated by
// synthetic SDL input queued before it starts.
#include "gfx2d/config_screen.h"

#include <gtest/gtest.h>

#include <SDL.h>

#include <filesystem>
#include <memory>

#include "recording_fixture.h"
#include "synthetic_input.h"
#include "temp_dir.h"
#include "test_png.h"

namespace {

struct Choices {
    int width = -1, height = -1;
    float aspect = -1;
    bool fullScreen = false;
    int multisample = -1;
};

class ConfigurationRun : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(data.path() / "textures");
        WriteTestPng((data.path() / "textures/fnt_04b08.png").string(), 16, 16, std::vector<uint32_t>(256, ~0u));
        WriteTestPng((data.path() / "textures/tex2dnpt_screen.png").string(), 4, 4,
                     std::vector<uint32_t>(16, 0xFF336699));
        inData = std::make_unique<WorkingDirectory>(data.path());
    }
    Choices Run() {
        Choices c;
        zkRunConfiguration(&c.width, &c.height, &c.aspect, &c.fullScreen, &c.multisample);
        return c;
    }

    TempDir data;
    std::unique_ptr<WorkingDirectory> inData;
    MessageBoxCapture boxes;
};

constexpr int kResolutionList[2] = {230, 215};
constexpr int kAntialiasingList[2] = {100, 255};
constexpr int kRunButton[2] = {295, 275};

}  // namespace

TEST_F(ConfigurationRun, RunWithoutChoicesHandsOverTheDefaults) {
    PushClick(kRunButton[0], kRunButton[1]);
    const Choices c = Run();
    EXPECT_EQ(c.width, 640);
    EXPECT_EQ(c.height, 480);
    EXPECT_EQ(c.aspect, 1.3333334f);
    EXPECT_TRUE(c.fullScreen);
    EXPECT_EQ(c.multisample, 0);
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(ConfigurationRun, ClickedListsChooseTheValues) {
    PushClick(kResolutionList[0], kResolutionList[1]);
    PushClick(kAntialiasingList[0], kAntialiasingList[1]);
    PushClick(kAntialiasingList[0], kAntialiasingList[1]);
    PushClick(60, 215);  // the full-screen toggle
    PushClick(kRunButton[0], kRunButton[1]);
    const Choices c = Run();
    EXPECT_EQ(c.width, 800);
    EXPECT_EQ(c.height, 600);
    EXPECT_EQ(c.multisample, 4);
    EXPECT_FALSE(c.fullScreen);
}

TEST_F(ConfigurationRun, ClosingTheWindowRunsWithTheCurrentChoices) {
    for (int i = 0; i < 12; ++i) PushClick(kResolutionList[0], kResolutionList[1]);  // 1 -> 12 -> 0
    PushWindowClose();
    const Choices c = Run();
    EXPECT_EQ(c.width, 320);
    EXPECT_EQ(c.height, 240);
}

TEST_F(ConfigurationRun, EscapeEndsTheProcessWithExitCodeZero) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            PushKeyDown(SDLK_ESCAPE);
            Run();
            std::exit(3);
        },
        ::testing::ExitedWithCode(0), "");
}
