// The fixed clock the capture and benchmark tools share, and the capture tool
// run as a process on the generated data set: its MP4 decoded back with libav,
// its PNG frames and WAV read back.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "backend/win32.h"
#include "child_process.h"
#include "demo_pictures.h"
#include "fixed_clock_run.h"
#include "mp4_contents.h"
#include "recording_fixture.h"
#include "runtime/demo_player.h"
#include "runtime/frame_timer.h"
#include "runtime/music.h"
#include "sound_compare.h"
#include "temp_dir.h"
#include "test_data_set.h"

namespace {

namespace fs = std::filesystem;

int64_t Counter() {
    int64_t counter = 0;
    QueryPerformanceCounter(&counter);
    return counter;
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

TEST(FixedClock, EachFrameIsOneTimerStepAndTheMusicFollowsTheFrameNumber) {
    FixedClock clock(1000, 1300, 30);
    EXPECT_EQ(clock.FrameCount(), 9) << "frames before the end time";
    CountedRef<audiere::OutputStream> stream = clock.NewStream(0.5f);
    stream->play();
    EXPECT_EQ(stream->getVolume(), 0.5f);
    clock.StartFrames();
    int64_t frequency = 0;
    QueryPerformanceFrequency(&frequency);
    FPSTimer_HighResolution timer;
    timer.Start();
    for (int64_t n = -1; n < 9; ++n) {
        clock.SetFrame(n);
        if (n >= 0) {
            const double ms = 1000.0 + n * 1000.0 / 30.0;
            EXPECT_DOUBLE_EQ(clock.TimeAt(n), ms);
            EXPECT_EQ(stream->getPosition(), (30 + n) * 1470) << "44.1 sample frames a millisecond";
            const int reported = PositionMilliseconds(stream->getPosition(), kSampleRate);
            EXPECT_LE(reported, ms);
            EXPECT_GT(reported, ms - 1.0);
            EXPECT_TRUE(stream->isPlaying());
        }
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

// out is the tool's OUT argument.
CaptureRun Capture(const fs::path& out, const std::string& options) {
    const fs::path log = out.parent_path();
    const std::string outFile = (log / "stdout.txt").string(), errFile = (log / "stderr.txt").string();
    const std::string command = "SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy timeout 300 '" HALCYON
                                "' capture '" DEMO_DATA_DIR "' '" + out.string() + "' " + options + " >'" + outFile +
                                "' 2>'" + errFile + "'";
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, FileText(outFile), FileText(errFile)};
}

uint32_t Little(const std::string& bytes, size_t at, int size) {
    uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes.at(at + i));
    return value;
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(CaptureTool, BadArgumentsAreRefusedWithTheReason) {
    TempDir out;
    const fs::path video = out.path() / "demo.mp4";
    struct Case {
        std::string options;
        int exitCode;
        std::string says;
    };
    const std::vector<Case> cases = {
        {"--codec", 2, "Usage:"},
        {"--codec nosuch", 2, "no video encoder named 'nosuch'"},
        {"--codec aac", 2, "no video encoder named 'aac'"},
        {"--png --codec mpeg4", 2, "--png excludes --codec"},
        {"--start 2000 --end 2000", 2, "--end 2000 ms is not after --start 2000 ms"},
        {"--start 900000 --fps 10 --size 64x48", 1, "capture: no frames from 900000 to "},
    };
    for (const Case& test : cases) {
        const CaptureRun run = Capture(video, test.options);
        EXPECT_EQ(run.exitCode, test.exitCode) << test.options << "\n" << run.errors;
        EXPECT_TRUE(Contains(run.errors, test.says)) << test.options << "\n" << run.errors;
        EXPECT_FALSE(fs::exists(video)) << test.options;
    }
    fs::create_directories(out.path() / "folder.mp4");
    const CaptureRun folder = Capture(out.path() / "folder.mp4", "--fps 10 --start 1000 --end 1100");
    EXPECT_EQ(folder.exitCode, 1);
    EXPECT_TRUE(Contains(folder.errors, "folder.mp4 is a directory")) << folder.errors;
}

// The music over samples [first, first + count) as the player plays it: both
// channels, the script's volume applied. Decoded here, not by the tool.
void ReferenceMusic(int64_t first, int64_t count, float volume, std::vector<float>* left, std::vector<float>* right) {
    const auto channels = DecodeOggChannels(DEMO_DATA_DIR "/audio/amber-meadow_tune.ogg", first, count);
    ASSERT_FALSE(channels.empty());
    ASSERT_EQ(channels[0].size(), static_cast<size_t>(count));
    for (size_t i = 0; i < channels[0].size(); ++i) {
        left->push_back(channels.front()[i] * volume);
        right->push_back(channels.back()[i] * volume);
    }
}

double Rms(const std::vector<float>& samples) {
    double sum = 0;
    for (float sample : samples) sum += static_cast<double>(sample) * sample;
    return samples.empty() ? 0.0 : std::sqrt(sum / static_cast<double>(samples.size()));
}

// Mean of the largest channel difference per pixel, in levels of 255.
double MeanDifference(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
    double sum = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        int largest = 0;
        for (int shift = 0; shift < 24; shift += 8)
            largest = std::max(largest, std::abs(static_cast<int>(a[i] >> shift & 0xFF) - static_cast<int>(b[i] >> shift & 0xFF)));
        sum += largest;
    }
    return sum / static_cast<double>(a.size());
}

std::vector<uint32_t> UpsideDown(const std::vector<uint32_t>& pixels, size_t width) {
    std::vector<uint32_t> flipped;
    for (size_t row = pixels.size() / width; row-- > 0;)
        flipped.insert(flipped.end(), pixels.begin() + row * width, pixels.begin() + (row + 1) * width);
    return flipped;
}

std::vector<uint32_t> RedAndBlueSwapped(std::vector<uint32_t> pixels) {
    for (uint32_t& pixel : pixels) pixel = (pixel & 0xFF00FF00u) | (pixel >> 16 & 0xFF) | (pixel & 0xFF) << 16;
    return pixels;
}

// Captures compared with the pictures the engine draws in process at the same demo times.
class CapturedFrames : public DemoPictures {};

// Two runs over the same span write the same bytes: the pictures drawn at
// the frames' times and the music of their span as 16-bit stereo.
TEST_F(CapturedFrames, PngFramesAreThePicturesDrawnAtTheirTimes) {
    TempDir first, second;
    const fs::path frames = first.path() / "frames";
    const std::string options = "--png --start 13000 --end 13300 --fps 10 --size 160x120";
    const CaptureRun run = Capture(frames, options);
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_EQ(run.output, frames.string() + "\n") << "stdout names what was written";
    const CaptureRun again = Capture(second.path() / "frames", options);
    ASSERT_EQ(again.exitCode, 0) << again.errors;
    const std::vector<std::string> names = {"audio.wav", "frame_000000.png", "frame_000001.png", "frame_000002.png"};
    std::vector<std::string> found;
    for (const auto& entry : fs::directory_iterator(frames)) found.push_back(entry.path().filename());
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, names);
    for (const std::string& name : names) {
        const std::string bytes = FileText(frames / name);
        EXPECT_FALSE(bytes.empty()) << name;
        EXPECT_TRUE(bytes == FileText(second.path() / "frames" / name)) << name << " differs between the runs";
    }

    Open(160, 120);
    for (int n = 0; n < 3; ++n) {
        Picture captured;
        ASSERT_TRUE(ReadPicture((frames / names[n + 1]).string(), &captured));
        EXPECT_TRUE(PicturesMatch("capture-png-" + std::to_string(n), FrameAt(13000 + 100 * n), captured));
    }

    const std::string wav = FileText(frames / "audio.wav");
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
    const uint32_t samples = 13230;  // three frames of 100 ms at 44100
    EXPECT_EQ(Little(wav, 40, 4), samples * 4);
    EXPECT_EQ(wav.size(), 44u + samples * 4);
    bool sound = false;
    for (size_t i = 44; i < wav.size() && !sound; i += 2) sound = Little(wav, i, 2) != 0;
    EXPECT_TRUE(sound) << "the music is there, not silence";
}

// 1.5 s of the third scene, where the music plays and the picture moves.
TEST_F(CapturedFrames, TheVideoHoldsTheFramesAndTheMusicOfTheirSpan) {
    TempDir out;
    const fs::path video = out.path() / "demo.mp4";
    const CaptureRun run = Capture(video, "--start 13000 --end 14500 --fps 10 --size 160x120");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_EQ(run.output, video.string() + "\n");
    EXPECT_TRUE(Contains(run.errors, "frame 15/15")) << "the progress line counts the frames\n" << run.errors;

    Mp4Contents contents;
    std::string error;
    ASSERT_TRUE(ReadMp4(video.string(), &contents, &error)) << error;
    EXPECT_EQ(contents.videoCodec, "h264");
    EXPECT_EQ(contents.width, 160);
    EXPECT_EQ(contents.height, 120);
    EXPECT_EQ(contents.pictures.size(), 15u);
    EXPECT_NEAR(contents.videoSeconds, 1.5, 1e-3);

    // Lossy, but the same pictures: the frame drawn at the same time is much
    // nearer than the frame before, or the picture upside down or with red
    // and blue swapped.
    Open(160, 120);
    for (size_t n : {0u, 7u, 14u}) {
        ASSERT_LT(n, contents.pictures.size());
        const std::vector<uint32_t> drawn = FrameAt(13000 + 100 * static_cast<int>(n)).pixels;
        const std::vector<uint32_t>& decoded = contents.pictures[n];
        const double difference = MeanDifference(drawn, decoded);
        EXPECT_LT(difference, 16.0) << "frame " << n;
        EXPECT_LT(2 * difference, MeanDifference(drawn, UpsideDown(decoded, 160))) << "frame " << n;
        // The scene is nearly grey: swapped channels move it less.
        EXPECT_LT(1.5 * difference, MeanDifference(drawn, RedAndBlueSwapped(decoded))) << "frame " << n;
        if (n > 0) {
            EXPECT_LT(difference, MeanDifference(drawn, contents.pictures[n - 1])) << "frame " << n;
        }
    }

    // The music of exactly the frames' span: 13000 ms to 14500 ms.
    EXPECT_EQ(contents.audioCodec, "aac");
    EXPECT_EQ(contents.sampleRate, 44100);
    EXPECT_EQ(contents.channels, 2);
    const int64_t span = 66150;
    EXPECT_NEAR(static_cast<double>(contents.left.size()), span, 1024.0) << "AAC pads the last block at most";
    std::vector<float> left, right;
    ReferenceMusic(573300, span, session->loaded().musicVolume, &left, &right);
    ASSERT_GT(Rms(left), 0.02) << "the reference span is not silence";
    ASSERT_GE(contents.left.size(), static_cast<size_t>(span) - 1024);
    // Aligned to the sample: the best match of a window in the middle lies at
    // no shift, within 50 ms either way.
    const size_t begin = 22050, length = 22050;
    int best = 0;
    double bestCorrelation = -1.0;
    for (int lag = -2205; lag <= 2205; ++lag) {
        const double correlation = Correlation(left, contents.left, begin, length, lag);
        if (correlation > bestCorrelation) bestCorrelation = correlation, best = lag;
    }
    EXPECT_EQ(best, 0) << "the music is shifted by " << best << " samples";
    EXPECT_GT(Correlation(left, contents.left, begin, length, 0), 0.95);
    EXPECT_GT(Correlation(right, contents.right, begin, length, 0), 0.95);
    // At the script's volume, from the first sample to the last.
    EXPECT_NEAR(Rms(std::vector<float>(contents.left.begin(), contents.left.begin() + span)) / Rms(left), 1.0, 0.05);
    EXPECT_GT(Correlation(left, contents.left, 0, 4410, 0), 0.9) << "the first frame's music";
    EXPECT_GT(Correlation(left, contents.left, span - 4410 - 1024, 4410, 0), 0.9) << "the last frame's music";
}

TEST(CaptureTool, ANamedCodecAndOddSidesGiveAnMpeg4VideoOfEvenSides) {
    TempDir out;
    const fs::path video = out.path() / "odd.mp4";
    const CaptureRun run = Capture(video, "--codec mpeg4 --start 13000 --end 13300 --fps 10 --size 161x121");
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_TRUE(Contains(run.errors, "the video is 160x120")) << run.errors;
    Mp4Contents contents;
    std::string error;
    ASSERT_TRUE(ReadMp4(video.string(), &contents, &error)) << error;
    EXPECT_EQ(contents.videoCodec, "mpeg4");
    EXPECT_EQ(contents.width, 160);
    EXPECT_EQ(contents.height, 120);
    EXPECT_EQ(contents.pictures.size(), 3u);
    EXPECT_NEAR(contents.videoSeconds, 0.3, 1e-3);
}

}  // namespace
