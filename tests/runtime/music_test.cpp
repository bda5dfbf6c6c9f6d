#include <gtest/gtest.h>

#include <cstdlib>

#include "runtime/music.h"

TEST(MusicClock, ConvertsBetweenFramesAndMilliseconds) {
    EXPECT_EQ(StartFrame(30000, 44100), 1322999);  // 44.1f is 44.099998...
    EXPECT_EQ(StartFrame(0, 44100), 0);
    EXPECT_EQ(PositionMilliseconds(441000, 44100), 10000);
    EXPECT_EQ(PositionMilliseconds(44, 44100), 0);
    EXPECT_EQ(PositionMilliseconds(45, 44100), 1);
    EXPECT_EQ(PositionMilliseconds(0, 44100), 0);
}

namespace {
int g_alive = 0;
struct Counted : audiere::RefCounted {
    Counted() { ++g_alive; }
    ~Counted() override { --g_alive; }
};
}  // namespace

TEST(MusicClock, CountedReferencesReleaseTheLastHolder) {
    {
        CountedRef<Counted> first = new Counted();
        CountedRef<Counted> second = first;
        EXPECT_EQ(g_alive, 1);
        first = nullptr;
        EXPECT_EQ(g_alive, 1);
        second = second;  // self-assignment keeps it
        EXPECT_EQ(g_alive, 1);
        second = new Counted();  // the old object goes first
        EXPECT_EQ(g_alive, 1);
    }
    EXPECT_EQ(g_alive, 0);
}

TEST(MusicTrack, MissingFileLeavesNoStream) {
    SoundDevice device;
    MusicTrack track;
    track.SetDevice(device);
    EXPECT_FALSE(track.Open("audio/does-not-exist.ogg"));
    EXPECT_FALSE(track.stream);
    EXPECT_EQ(track.device.sampleRate, 44100);
}

TEST(MusicTrackDeathTest, NoAudioDeviceEndsWithTheMessage) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
            SoundDevice device;
        },
        ::testing::ExitedWithCode(0), "Error: Holy Watermelons, unable to start sound device!");
}
