// The live player's transport driven in process with the fixed clock: the
// music follows every seek, pause and step; the loop wraps; the keys and a
// click on the strip reach the transport through the window's messages.
#include <gtest/gtest.h>

#include <SDL.h>

#include <cmath>

#include "live_strip.h"
#include "live_test_shell.h"
#include "synthetic_input.h"

namespace {

constexpr const char* kTwoScenes =
    "!MusicPos 0\n!MusicVol 0.5\n.ID1\n-time 0 4000\n.ID2\n-time 4000 9000\n.FTB\n-time 8000 9000\n"
    ".ID3\n-time 9000 20000\n";

class LiveTransportTest : public LiveShell {
protected:
    void SetUp() override {
        WriteData(kTwoScenes);
        Start();
    }
    // The playhead and the music agree within one frame.
    void ExpectMusicFollows(const char* after) {
        EXPECT_LE(std::fabs(playhead() - static_cast<float>(musicMs())), kFrameMs)
            << after << ": playhead " << playhead() << " music " << musicMs();
    }
};

TEST_F(LiveTransportTest, SeeksMoveThePlayheadAndTheMusicWithinOneFrame) {
    Frames(3);
    const float start = playhead();
    EXPECT_NEAR(start, 2 * kFrameMs, 0.01f);
    ExpectMusicFollows("playing");

    PushKeyDown(SDLK_RIGHT);  // through the window, as a key press comes
    Frame();
    EXPECT_NEAR(playhead(), start + kFrameMs + 1000.0f, 0.01f);
    ExpectMusicFollows("Right");
    Frame();
    ExpectMusicFollows("the frame after Right");

    live->PressKey(VK_RIGHT, true);
    Frame();
    EXPECT_NEAR(playhead(), start + 3 * kFrameMs + 11000.0f, 0.01f);
    ExpectMusicFollows("Shift+Right");

    live->PressKey(VK_LEFT, false);
    Frame();
    EXPECT_NEAR(playhead(), start + 4 * kFrameMs + 10000.0f, 0.01f);
    ExpectMusicFollows("Left");

    live->PressKey(VK_HOME, false);
    EXPECT_EQ(playhead(), 0.0f) << "the script's start";
    Frame();
    ExpectMusicFollows("Home");

    live->PressKey(VK_LEFT, true);
    EXPECT_EQ(playhead(), 0.0f) << "no time before the music";
    live->transport().Seek(1e9f);
    EXPECT_EQ(playhead(), static_cast<float>(musicLengthMs)) << "no time after it";
}

TEST_F(LiveTransportTest, PageKeysJumpBetweenSceneStarts) {
    live->transport().Seek(5000.0f);
    live->PressKey(VK_NEXT, false);
    EXPECT_EQ(playhead(), 8000.0f) << "the fade's start counts";
    live->PressKey(VK_NEXT, false);
    EXPECT_EQ(playhead(), 9000.0f);
    live->PressKey(VK_NEXT, false);
    EXPECT_EQ(playhead(), 9000.0f) << "no start after the last";
    Frame();
    live->PressKey(VK_PRIOR, false);
    EXPECT_EQ(playhead(), 8000.0f) << "just after a start, Page Up goes to the one before";
    live->PressKey(VK_PRIOR, false);
    EXPECT_EQ(playhead(), 4000.0f);
    Frame();
    ExpectMusicFollows("Page Up");
}

TEST_F(LiveTransportTest, PauseStopsBothClocksAndStepsOneFrame) {
    Frames(5);
    live->PressKey(VK_SPACE, false);
    Frame();
    const float held = playhead();
    const int heldMusic = musicMs();
    Frames(10);
    EXPECT_EQ(playhead(), held);
    EXPECT_EQ(musicMs(), heldMusic);
    EXPECT_FALSE(player->resources->music.stream->isPlaying());
    EXPECT_TRUE(live->transport().paused());

    live->PressKey(VK_OEM_PERIOD, false);
    Frame();
    EXPECT_NEAR(playhead(), held + kFrameMs, 0.01f);
    ExpectMusicFollows("a step");
    EXPECT_FALSE(player->resources->music.stream->isPlaying()) << "a step does not start the music";

    live->PressKey(VK_RIGHT, false);
    Frame();
    EXPECT_NEAR(playhead(), held + kFrameMs + 1000.0f, 0.01f) << "a seek while paused stays paused";
    ExpectMusicFollows("a seek while paused");

    live->PressKey(VK_SPACE, false);
    const float resumed = playhead();
    Frames(3);
    EXPECT_NEAR(playhead(), resumed + 3 * kFrameMs, 0.01f);
    EXPECT_TRUE(player->resources->music.stream->isPlaying());
    ExpectMusicFollows("resumed");

    live->PressKey(VK_OEM_PERIOD, false);
    Frame();
    EXPECT_NEAR(playhead(), resumed + 4 * kFrameMs, 0.01f) << "a step while playing does nothing";
}

TEST_F(LiveTransportTest, TheLoopWrapsAtTheEndOfTheSceneUnderThePlayhead) {
    live->transport().Seek(3500.0f);
    Frame();
    live->PressKey('L', false);
    ASSERT_TRUE(live->transport().looping());
    EXPECT_EQ(live->transport().loopStart(), 0.0f);
    EXPECT_EQ(live->transport().loopEnd(), 4000.0f);
    bool wrapped = false;
    for (int i = 0; i < 60; ++i) {
        const float before = playhead();
        Frame();
        EXPECT_GT(playhead(), 0.0f);
        EXPECT_LE(playhead(), 4000.0f);
        ExpectMusicFollows("looping");
        if (playhead() < before) {
            wrapped = true;
            EXPECT_NEAR(playhead(), before + kFrameMs - 4000.0f, 0.01f) << "the frame's overshoot carries over";
        }
    }
    EXPECT_TRUE(wrapped);

    live->PressKey('L', false);
    EXPECT_FALSE(live->transport().looping());
    live->transport().Seek(3900.0f);
    Frames(6);
    EXPECT_GT(playhead(), 4000.0f) << "the loop is off";

    live->transport().Seek(8500.0f);
    live->PressKey('L', false);
    EXPECT_EQ(live->transport().loopEnd(), 9000.0f) << "the scene under a fade is looped, not the fade";
    EXPECT_EQ(live->transport().loopStart(), 4000.0f);
}

TEST_F(LiveTransportTest, AClickOnTheStripSeeksThereAndTHidesIt) {
    const StripLayout strip = LayOutStrip(*player, live->transport(), width, height);
    EXPECT_EQ(strip.totalMs, 20000.0f);
    PushClick(width / 4, strip.top + strip.height / 2);
    Frame();
    EXPECT_NEAR(playhead(), 5000.0f, 1.0f);
    ExpectMusicFollows("click");

    PushClick(width / 2, strip.top - 10);
    Frame();
    EXPECT_NEAR(playhead(), 5000.0f + kFrameMs, 1.0f) << "a click above the strip does nothing";

    live->PressKey('T', false);
    EXPECT_FALSE(live->stripShown());
    live->Click(width / 2, strip.top + 5);
    EXPECT_NEAR(playhead(), 5000.0f + kFrameMs, 1.0f) << "no strip, no seek";
}

TEST_F(LiveTransportTest, TheEndOfTheMusicHoldsTheLastPicture) {
    live->transport().Seek(static_cast<float>(musicLengthMs) - 50.0f);
    Frames(5);
    EXPECT_TRUE(live->transport().paused());
    EXPECT_LE(playhead(), static_cast<float>(musicLengthMs));
    EXPECT_TRUE(Frame()) << "the player goes on";
    live->PressKey(VK_HOME, false);
    live->PressKey(VK_SPACE, false);
    Frames(2);
    EXPECT_NEAR(playhead(), 2 * kFrameMs, 0.01f);
    ExpectMusicFollows("played again");
}

TEST(LiveStrip, ClockTextAndColumns) {
    EXPECT_EQ(ClockText(0.0f), "00:00.000");
    EXPECT_EQ(ClockText(130567.9f), "02:10.567");
    EXPECT_EQ(ClockText(-5.0f), "00:00.000");
    EXPECT_EQ(ClockText(6000000.0f), "100:00.000");
    StripLayout strip;
    strip.width = 200, strip.top = 100, strip.height = 50, strip.totalMs = 10000.0f;
    EXPECT_EQ(StripTimeAt(strip, 0), 0.0f);
    EXPECT_EQ(StripTimeAt(strip, 100), 5000.0f);
    EXPECT_EQ(StripTimeAt(strip, 400), 10000.0f) << "clamped";
    EXPECT_EQ(StripTimeAt(strip, -3), 0.0f);
    EXPECT_TRUE(StripHolds(strip, 0, 100));
    EXPECT_FALSE(StripHolds(strip, 0, 150));
    EXPECT_FALSE(StripHolds(strip, 200, 120));
}

}  // namespace
