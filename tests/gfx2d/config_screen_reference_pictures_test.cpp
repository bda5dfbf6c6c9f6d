// The configuration screen over the generated pictures, one frame at a time,
// compared with its reference pictures: idle, a hovered list, a pressed button.
#include <gtest/gtest.h>

#include <memory>

#include "gfx2d/config_screen.h"
#include "recording_fixture.h"
#include "reference_picture.h"
#include "synthetic_input.h"
#include "temp_dir.h"

namespace {

class ConfigScreenReferencePictures : public ::testing::Test {
protected:
    void SetUp() override { screen = zkOpenConfiguration(); }
    void TearDown() override { zkCloseConfiguration(screen); }
    // The picture once the screen has taken the waiting input: its loop takes
    // at most one message a frame, and the window's own come first.
    Picture Settled() {
        for (int i = 0; i < 8; ++i) EXPECT_TRUE(zkConfigurationFrame(screen));
        return BackBufferPicture();
    }

    WorkingDirectory inData{DEMO_DATA_DIR};
    MessageBoxCapture boxes;
    ConfigScreen* screen = nullptr;
};

}  // namespace

TEST_F(ConfigScreenReferencePictures, IdleHoveredAndPressed) {
    EXPECT_TRUE(MatchesReference("config_screen/idle", Settled(), kSinglePassTolerance));
    PushMouseMove(230, 215);  // over the resolution list
    EXPECT_TRUE(MatchesReference("config_screen/resolution-hovered", Settled(), kSinglePassTolerance));
    PushMouseMove(295, 275);
    PushMouseButton(true, 295, 275);  // down on "Run", not released
    EXPECT_TRUE(MatchesReference("config_screen/run-pressed", Settled(), kSinglePassTolerance));
    EXPECT_TRUE(boxes.boxes.empty());
}
