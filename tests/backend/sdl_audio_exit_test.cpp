// The audio output on every way out of the process. SDL calls the mixing
// callback on its own thread until the device is closed, so the device must
// be closed before anything the callback reads is destroyed. Each case runs
// in a child process with a stream playing when it ends.
#include <gtest/gtest.h>

#include <csignal>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "backend/audiere.h"
#include "backend/win32.h"
#include "compound/compound.h"
#include "temp_dir.h"
#include "test_ogg.h"

namespace {

// The statics of this file are made before the audio backend's, so they are
// destroyed after its statics: while this one waits, a callback that still
// runs reads whatever the backend's exit has already torn down.
struct PauseAtExit {
    bool armed = false;
    ~PauseAtExit() {
        if (armed) std::this_thread::sleep_for(std::chrono::milliseconds(300));
    }
} g_pauseAtExit;

// Opens the device and plays a tone, and keeps both open for good, as a
// static holder or a process ended by ExitProcess does: nothing releases them.
void PlayForever(const TempDir& dir) {
    const std::string path = (dir.path() / "tone.ogg").string();
    if (!WriteTestOgg(path, 5.0)) std::abort();
    audiere::AudioDevice* device = audiere::AdrOpenDevice();
    audiere::SampleSource* source = audiere::AdrOpenSampleSource(path.c_str(), 0);
    if (!device || !source) std::abort();
    audiere::OutputStream* stream = audiere::AdrOpenSound(device, source, true);
    if (!stream) std::abort();
    device->ref();
    stream->ref();
    stream->play();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));  // the callback is mixing
    g_pauseAtExit.armed = true;
}

}  // namespace

TEST(AudioOutputAtExit, ClosesBeforeStaticStorageGoesWhenTheProcessReturns) {
    TempDir dir;
    EXPECT_EXIT(
        {
            PlayForever(dir);
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(AudioOutputAtExit, ExitProcessEndsWhilePlaying) {
    TempDir dir;
    EXPECT_EXIT(
        {
            PlayForever(dir);
            ExitProcess(0);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(AudioOutputAtExit, AFatalLookupEndsWhilePlaying) {
    TempDir dir;
    EXPECT_EXIT(
        {
            PlayForever(dir);
            Compound empty;
            empty.GetMaterial("Galo");
        },
        ::testing::ExitedWithCode(0), "Datablock \"Galo\" not found!");
}

TEST(AudioOutputAtExit, ASignalEndsWhilePlaying) {
    TempDir dir;
    EXPECT_EXIT(
        {
            PlayForever(dir);
            std::raise(SIGTERM);
        },
        ::testing::KilledBySignal(SIGTERM), "");
}
