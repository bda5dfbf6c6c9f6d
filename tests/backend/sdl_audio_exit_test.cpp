// The audio output on every way out of the process. SDL calls the mixing
// callback on its own thread until the device is closed, so the device must
// be closed before anything the callback reads is destroyed. Each case runs
// in a child process with a stream playing when it ends.
#include <gtest/gtest.h>

#include <csignal>
#include <chrono>
#include <cstdlib>
#include <functional>
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

// Each way out, with a stream playing: a return from main, ExitProcess, a
// fatal lookup and a signal.
TEST(AudioOutputAtExit, EveryWayOutEndsWhilePlaying) {
    const struct {
        const char* name;
        void (*end)();
        std::function<bool(int)> status;
        const char* message;
    } ways[] = {
        {"return", [] { std::exit(0); }, ::testing::ExitedWithCode(0), ""},
        {"ExitProcess", [] { ExitProcess(0); }, ::testing::ExitedWithCode(0), ""},
        {"fatal lookup", [] { Compound().GetMaterial("Galo"); }, ::testing::ExitedWithCode(0),
         "Datablock \"Galo\" not found!"},
        {"signal", [] { std::raise(SIGTERM); }, ::testing::KilledBySignal(SIGTERM), ""},
    };
    TempDir dir;
    for (const auto& way : ways) {
        SCOPED_TRACE(way.name);
        EXPECT_EXIT(
            {
                PlayForever(dir);
                way.end();
            },
            way.status, way.message);
    }
}
