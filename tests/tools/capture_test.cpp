// The fixed clock the capture and benchmark tools share, and the capture tool
// run as a process on the generated data set.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "backend/win32.h"
#include "fixed_clock_run.h"
#include "recording_fixture.h"
#include "runtime/demo_player.h"
#include "runtime/frame_timer.h"
#include "runtime/music.h"
#include "temp_dir.h"
#include "test_data_set.h"

namespace {

namespace fs = std::filesystem;

int64_t Counter() {
    int64_t counter = 0;
    QueryPerformanceCounter(&counter);
    return counter;
}

TEST(FixedClock, EveryFrameIsOneStepOfTheFrameTimer) {
    FixedClock clock(1000, 2000, 30);
    clock.StartFrames();
    int64_t frequency = 0;
    QueryPerformanceFrequency(&frequency);
    FPSTimer_HighResolution timer;
    timer.Start();
    for (int64_t n = -1; n < 30; ++n) {
        clock.SetFrame(n);
        const int64_t before = Counter();
        EXPECT_EQ(Counter(), before) << "reading the counter does not move it";
        timer.Update();
        clock.SetFrame(n + 1);
        EXPECT_EQ(Counter() - before, frequency / 30);
        timer.Update();
        EXPECT_FLOAT_EQ(timer.GetFPS(), 30.0f);
        // The player's own step: a sixtieth times the frame factor.
        EXPECT_NEAR(timer.GetFrameFactor(60.0f) * 16.666666666666668, 1000.0 / 30.0, 1e-9);
    }
}

TEST(FixedClock, LoadingScreenReadsMoveTheClockUntilTheFramesStart) {
    FixedClock clock(0, 1000, 10);
    const int64_t first = Counter();
    EXPECT_EQ(Counter() - first, FixedClock::kTicksPerFrame);
    clock.StartFrames();
    const int64_t primed = Counter();
    EXPECT_GT(primed, first);
    EXPECT_EQ(Counter(), primed);
}

TEST(FixedClock, FrameTimesAndTheMusicPositionFollowTheFrameNumber) {
    FixedClock clock(1000, 1300, 30);
    EXPECT_EQ(clock.FrameCount(), 9) << "frames before the end time";
    CountedRef<audiere::OutputStream> stream = clock.NewStream(0.5f);
    stream->play();
    EXPECT_EQ(stream->getVolume(), 0.5f);
    clock.StartFrames();
    for (int64_t n = 0; n < 9; ++n) {
        clock.SetFrame(n);
        const double ms = 1000.0 + n * 1000.0 / 30.0;
        EXPECT_DOUBLE_EQ(clock.TimeAt(n), ms);
        EXPECT_EQ(stream->getPosition(), (30 + n) * 1470) << "44.1 sample frames a millisecond";
        const int reported = PositionMilliseconds(stream->getPosition(), kSampleRate);
        EXPECT_LE(reported, ms);
        EXPECT_GT(reported, ms - 1.0);
        EXPECT_TRUE(stream->isPlaying());
    }
    clock.SetFrame(9);
    EXPECT_FALSE(stream->isPlaying()) << "the music stops at the end time";
    EXPECT_EQ(FixedClockSample(1000, 10, 3) - FixedClockSample(1000, 10, 0), 13230);
}

// The player on the recording device with the test data set: the frames land
// on the fixed times and the loop never snaps to the music.
class FixedClockPlayer : public RecordingShell {
protected:
    void TearDown() override {
        player.reset();
        fixedClock.reset();
        RecordingShell::TearDown();
    }

    TempDir dir;
    std::unique_ptr<FixedClock> fixedClock;
    std::unique_ptr<DemoPlayer> player;
};

TEST_F(FixedClockPlayer, DrawsEachFrameAtStartPlusItsStepsAndStopsAtTheEnd) {
    WriteTestDataSet(dir, 2.0);
    dir.Write("scripts/demo.txt", "!MusicPos 0\n!MusicVol 0.5\n.ID1\n-time 0 100000\n.FTB\n-time 1000 2000\n");
    WorkingDirectory cwd(dir.path());
    fixedClock = std::make_unique<FixedClock>(500, 1500, 20);
    player = std::make_unique<DemoPlayer>(640, 480, 4.0f / 3.0f);
    player->LoadScript("demo.txt");
    CountedRef<audiere::OutputStream> real = player->resources->music.stream;
    ASSERT_TRUE(real);
    ASSERT_TRUE(real->isPlaying());

    std::vector<FixedClockFrame> frames;
    const int64_t drawn =
        PlayFixedFrames(*player, *fixedClock, [&](const FixedClockFrame& frame) { frames.push_back(frame); });
    EXPECT_FALSE(real->isPlaying()) << "the loaded stream is stopped";
    EXPECT_EQ(player->resources->music.stream->getVolume(), 0.5f) << "the script's volume is kept";
    ASSERT_EQ(drawn, 20);
    ASSERT_EQ(frames.size(), 20u);
    for (size_t n = 0; n < frames.size(); ++n) {
        const double ms = 500.0 + 50.0 * static_cast<double>(n);
        EXPECT_EQ(frames[n].number, static_cast<int64_t>(n));
        EXPECT_NEAR(frames[n].demoTime, ms, 1e-3) << n;
        EXPECT_LE(frames[n].musicMilliseconds, ms);
        EXPECT_GT(frames[n].musicMilliseconds, ms - 1.0);
    }
    EXPECT_EQ(frames[10].scenes, std::vector<std::string>{"Scene_1"}) << "a scene starts after its start time";
    EXPECT_EQ(frames[11].scenes, (std::vector<std::string>{"Scene_1", "Scene_FTB"}));
}

struct CaptureRun {
    int exitCode;
    std::string output, errors;
};

CaptureRun Capture(const fs::path& out, const std::string& options) {
    const std::string outFile = (out / "stdout.txt").string(), errFile = (out / "stderr.txt").string();
    const std::string command = "SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy timeout 300 '" CAPTURE "' '" DEMO_DATA_DIR
                                "' '" + (out / "frames").string() + "' " + options + " >'" + outFile + "' 2>'" +
                                errFile + "'";
    const int status = std::system(command.c_str());
    auto read = [](const std::string& path) {
        std::stringstream text;
        text << std::ifstream(path, std::ios::binary).rdbuf();
        return text.str();
    };
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, read(outFile), read(errFile)};
}

std::string Bytes(const fs::path& path) {
    std::stringstream bytes;
    bytes << std::ifstream(path, std::ios::binary).rdbuf();
    return bytes.str();
}

uint32_t Little(const std::string& bytes, size_t at, int size) {
    uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes.at(at + i));
    return value;
}

uint32_t Big(const std::string& bytes, size_t at) {
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i) value = value << 8 | static_cast<unsigned char>(bytes.at(at + i));
    return value;
}

TEST(CaptureTool, TwoCapturesOfTheSameSpanAreByteIdentical) {
    TempDir first, second;
    const std::string options = "--start 1000 --end 1300 --fps 10 --size 160 120";
    const CaptureRun a = Capture(first.path(), options);
    ASSERT_EQ(a.exitCode, 0) << a.errors;
    const CaptureRun b = Capture(second.path(), options);
    ASSERT_EQ(b.exitCode, 0) << b.errors;

    const std::vector<std::string> names = {"audio.wav", "frame_000000.png", "frame_000001.png", "frame_000002.png"};
    std::vector<std::string> found;
    for (const auto& entry : fs::directory_iterator(first.path() / "frames")) found.push_back(entry.path().filename());
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, names);
    for (const std::string& name : names) {
        const std::string bytes = Bytes(first.path() / "frames" / name);
        EXPECT_FALSE(bytes.empty()) << name;
        EXPECT_TRUE(bytes == Bytes(second.path() / "frames" / name)) << name << " differs between the runs";
    }

    const std::string png = Bytes(first.path() / "frames/frame_000000.png");
    ASSERT_GE(png.size(), 24u);
    EXPECT_EQ(png.substr(12, 4), "IHDR");
    EXPECT_EQ(Big(png, 16), 160u);
    EXPECT_EQ(Big(png, 20), 120u);

    // Without --mp4 the tool only says how to make the video.
    EXPECT_NE(a.output.find("ffmpeg"), std::string::npos) << a.output;
    EXPECT_NE(a.output.find("libx264"), std::string::npos);
    EXPECT_NE(a.output.find("yuv420p"), std::string::npos);
    EXPECT_FALSE(fs::exists(first.path() / "frames/demo.mp4"));
}

TEST(CaptureTool, TheWavHoldsTheSpanOfTheFramesAs16BitStereo) {
    TempDir out;
    const CaptureRun run = Capture(out.path(), "--start 1000 --end 1300 --fps 10 --size 160 120");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    const std::string wav = Bytes(out.path() / "frames/audio.wav");
    ASSERT_GE(wav.size(), 44u);
    EXPECT_EQ(wav.substr(0, 4), "RIFF");
    EXPECT_EQ(wav.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(Little(wav, 4, 4), wav.size() - 8);
    EXPECT_EQ(Little(wav, 16, 4), 16u);
    EXPECT_EQ(Little(wav, 20, 2), 1u) << "PCM";
    EXPECT_EQ(Little(wav, 22, 2), 2u) << "channels";
    EXPECT_EQ(Little(wav, 24, 4), 44100u);
    EXPECT_EQ(Little(wav, 28, 4), 44100u * 4);
    EXPECT_EQ(Little(wav, 32, 2), 4u);
    EXPECT_EQ(Little(wav, 34, 2), 16u);
    EXPECT_EQ(wav.substr(36, 4), "data");
    const uint32_t frames = 13230;  // three frames of 100 ms at 44100
    EXPECT_EQ(Little(wav, 40, 4), frames * 4);
    EXPECT_EQ(wav.size(), 44u + frames * 4);
    bool sound = false;
    for (size_t i = 44; i < wav.size() && !sound; i += 2) sound = Little(wav, i, 2) != 0;
    EXPECT_TRUE(sound) << "the music is there, not silence";
}

TEST(CaptureTool, RefusesUnknownOptions) {
    TempDir out;
    const CaptureRun run = Capture(out.path(), "--frames 3");
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.errors.find("usage:"), std::string::npos) << run.errors;
}

}  // namespace
