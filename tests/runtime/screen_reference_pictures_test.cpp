// The loading screen and the timing overlay drawn by the fixed clock and
// compared with their reference pictures.
#include <gtest/gtest.h>

#include "demo_pictures.h"
#include "platform/demo_app.h"

namespace {

class ScreenReferencePictures : public DemoPictures {};

}  // namespace

TEST_F(ScreenReferencePictures, LoadingScreenAtTwoProgressValues) {
    Open(240, 180);
    // The logo's alpha is about 87 at 0.5 and peaks at about 244 at 0.75.
    for (const auto& [progress, name] : {std::pair{0.5f, "half"}, std::pair{0.75f, "peak"}}) {
        float p = progress;
        resources().LoadingStep(&p, 2.0f);
        EXPECT_TRUE(
            MatchesReference(std::string("screens/loading-") + name, BackBufferPicture(), kSinglePassTolerance));
    }
}

// A second with A held over Scene_5: thirty samples in the graph at 30
// frames per second, and the fixed clock's figures in the text.
TEST_F(ScreenReferencePictures, TimingOverlay) {
    Open(480, 270);
    resources().app->window->keyStates['A'] = KEY_HELD;
    Picture last;
    auto keepLast = [&](const FixedClockFrame& frame) {
        if (frame.number == 29) last = BackBufferPicture();
    };
    EXPECT_EQ(session->Play(59000, 60000, keepLast), 30);
    EXPECT_TRUE(MatchesReference("screens/timing-overlay", last));
}
