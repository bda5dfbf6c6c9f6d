// A demo shell on the recording device, with a fake clock and fake music,
// for tests of call order and frame-loop logic.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "backend/recording_device.h"
#include "platform/demo_app.h"
#include "runtime/frame_timer.h"
#include "runtime/music.h"

// Drives the performance counter (and so GetTickCount) while it lives.
class FakeClock {
public:
    static constexpr int64_t kFrequency = 1000000;
    FakeClock();
    ~FakeClock();
    void AdvanceSeconds(double seconds) { now += static_cast<int64_t>(seconds * kFrequency); }

    int64_t now = 1000 * kFrequency;
    int64_t stepPerRead = 0;  // moves the clock on every read, for loops that wait on it
};

// A music stream whose position and playing state the test sets.
class FakeStream : public audiere::OutputStream {
public:
    void play() override { playing = true, ++plays; }
    void stop() override { playing = false; }
    bool isPlaying() override { return playing; }
    void setVolume(float v) override { volume = v; }
    float getVolume() override { return volume; }
    void setPosition(int p) override { position = p; }
    int getPosition() override { return position; }
    int getLength() override { return 1 << 30; }

    bool playing = false;
    int plays = 0;
    float volume = -1.0f;
    int position = -1;
};

class RecordingShell : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Calls recorded since the last clear whose text starts with prefix.
    std::vector<std::string> CallsStartingWith(const std::string& prefix) const;

    RecordedCalls log;
    FakeClock clock;
};

// Collects message boxes for the length of a test.
class MessageBoxCapture {
public:
    MessageBoxCapture();
    ~MessageBoxCapture();

    struct Box {
        std::string text, caption;
        UINT type;
    };
    std::vector<Box> boxes;
};
