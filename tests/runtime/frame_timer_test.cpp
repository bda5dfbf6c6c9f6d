#include <gtest/gtest.h>

#include "recording_fixture.h"
#include "runtime/frame_timer.h"

TEST(FrameTimer, HighResolutionMeasuresBetweenUpdates) {
    FakeClock clock;
    FPSTimer_HighResolution timer;
    timer.Start();
    EXPECT_EQ(timer.GetFPS(), 1.0f);
    EXPECT_EQ(timer.GetFrameFactor(60.0f), 1.0f);

    timer.Update();  // divides by the whole counter: far below 1 per second
    EXPECT_EQ(timer.GetFPS(), 1.0f);
    EXPECT_EQ(timer.GetFrameFactor(60.0f), 1.0f);

    clock.now += FakeClock::kFrequency / 30;
    timer.Update();
    EXPECT_NEAR(timer.GetFPS(), 30.0f, 1e-3f);
    EXPECT_NEAR(timer.GetFrameFactor(60.0f), 2.0f, 1e-4f);

    clock.AdvanceSeconds(2.0);  // rate 0.5: both fall back to 1
    timer.Update();
    EXPECT_EQ(timer.GetFPS(), 1.0f);
    EXPECT_EQ(timer.GetFrameFactor(60.0f), 1.0f);

    timer.Update();  // no tick at all: an instant frame advances nothing
    EXPECT_EQ(timer.GetFrameFactor(60.0f), 0.0f);

    timer.Start();
    EXPECT_EQ(timer.GetFPS(), 1.0f);
}
