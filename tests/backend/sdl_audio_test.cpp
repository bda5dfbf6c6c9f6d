// The Audiere stand-in on SDL's dummy driver, with real Ogg Vorbis files.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "backend/audiere.h"
#include "child_process.h"
#include "runtime/music.h"
#include "temp_dir.h"
#include "test_ogg.h"

namespace {

class AudioStream : public ::testing::Test {
protected:
    void SetUp() override {
        device = audiere::AdrOpenDevice();
        ASSERT_TRUE(device);
    }
    CountedRef<audiere::OutputStream> Open(const std::string& name) {
        CountedRef<audiere::SampleSource> source = audiere::AdrOpenSampleSource((dir.path() / name).c_str(), 0);
        return source ? audiere::AdrOpenSound(device.get(), source.get(), true) : nullptr;
    }
    bool WaitUntilStopped(audiere::OutputStream* stream, double seconds) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        while (stream->isPlaying() && std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return !stream->isPlaying();
    }

    TempDir dir;
    CountedRef<audiere::AudioDevice> device;
};

}  // namespace

TEST_F(AudioStream, MissingEmptyAndGarbageFilesGiveNoSource) {
    dir.Write("empty.ogg", "");
    dir.Write("garbage.ogg", std::string(5000, '\x7f'));
    dir.Write("text.ogg", "OggS but not really a stream");
    EXPECT_FALSE(Open("absent.ogg"));
    EXPECT_FALSE(Open("empty.ogg"));
    EXPECT_FALSE(Open("garbage.ogg"));
    EXPECT_FALSE(Open("text.ogg"));
}

TEST_F(AudioStream, TruncatedFileOpensOrFailsButNeverCrashes) {
    ASSERT_TRUE(WriteTestOgg((dir.path() / "whole.ogg").string(), 0.5));
    const std::string bytes = FileText((dir.path() / "whole.ogg").string());
    ASSERT_GT(bytes.size(), 100u);
    for (size_t cut : {size_t{40}, bytes.size() / 3, bytes.size() - 10}) {
        dir.Write("cut.ogg", bytes.substr(0, cut));
        CountedRef<audiere::OutputStream> stream = Open("cut.ogg");
        if (!stream) continue;
        stream->play();
        EXPECT_TRUE(WaitUntilStopped(stream.get(), 5.0)) << "cut at " << cut;
    }
}

TEST_F(AudioStream, PositionSeekAndVolume) {
    ASSERT_TRUE(WriteTestOgg((dir.path() / "tone.ogg").string(), 1.0));
    CountedRef<audiere::OutputStream> stream = Open("tone.ogg");
    ASSERT_TRUE(stream);
    EXPECT_EQ(stream->getLength(), 44100);
    EXPECT_EQ(stream->getPosition(), 0);
    EXPECT_FALSE(stream->isPlaying());

    stream->setPosition(22050);
    EXPECT_EQ(stream->getPosition(), 22050);
    stream->setPosition(1 << 30);  // past the end: clamped
    EXPECT_EQ(stream->getPosition(), 44100);

    stream->setVolume(1.5f);
    EXPECT_EQ(stream->getVolume(), 1.0f);
    stream->setVolume(-2.0f);
    EXPECT_EQ(stream->getVolume(), 0.0f);
}

TEST_F(AudioStream, PlaysToTheEndThenStops) {
    ASSERT_TRUE(WriteTestOgg((dir.path() / "short.ogg").string(), 0.3, 22050, 1));
    CountedRef<audiere::OutputStream> stream = Open("short.ogg");
    ASSERT_TRUE(stream);
    stream->play();
    EXPECT_TRUE(stream->isPlaying());
    ASSERT_TRUE(WaitUntilStopped(stream.get(), 5.0));
    EXPECT_GT(stream->getPosition(), 0.9 * stream->getLength());
}

TEST_F(AudioStream, PositionAdvancesWhilePlaying) {
    ASSERT_TRUE(WriteTestOgg((dir.path() / "tone.ogg").string(), 3.0));
    CountedRef<audiere::OutputStream> stream = Open("tone.ogg");
    ASSERT_TRUE(stream);
    stream->setPosition(44100);
    stream->play();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const int position = stream->getPosition();
    EXPECT_GT(position, 44100);
    EXPECT_LT(position, 3 * 44100);
    EXPECT_TRUE(stream->isPlaying());
}
