// The stream position against what a real sound server plays: PulseAudio
// with a null sink, its monitor recorded while a stream of noise plays.
#include <gtest/gtest.h>
#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <thread>

#include "backend/audiere.h"
#include "runtime/music.h"
#include "ogg_writer.h"
#include "sound_compare.h"
#include "sound_server.h"
#include "temp_dir.h"

namespace {

constexpr double kRate = 44100.0;
constexpr int kDeviceBufferFrames = 1024;

// The stand-in's SDL audio on the test's own server instead of the dummy driver.
class PulseAudioDriver {
public:
    explicit PulseAudioDriver(const std::string& server) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        setenv("SDL_AUDIODRIVER", "pulseaudio", 1);
        setenv("PULSE_SERVER", server.c_str(), 1);
    }
    ~PulseAudioDriver() {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        unsetenv("PULSE_SERVER");
    }
};

std::vector<float> DecodeMono(const std::string& path, size_t frames) {
    const std::vector<std::vector<float>> channels = DecodeOggChannels(path, 0, static_cast<int64_t>(frames));
    std::vector<float> mono(channels.empty() ? 0 : channels[0].size());
    for (const std::vector<float>& channel : channels)
        for (size_t i = 0; i < mono.size(); ++i) mono[i] += channel[i] / static_cast<float>(channels.size());
    return mono;
}

// Where a piece of the noise sits in the recording: noise frame n was heard
// as recording frame n + offset.
struct Piece {
    long first;
    long offset;
};

// Locates each piece of the noise in the recording. A late callback lets the
// sink run dry and play silence, which moves every later piece later; a piece
// that straddles such a gap matches nowhere and is left out. Noise never
// repeats, so the first offset that matches is the only one.
std::vector<Piece> LocatePieces(const std::vector<float>& recording, const std::vector<float>& noise, long piece) {
    constexpr double kMatch = 0.9;
    const long reach = static_cast<long>(kRate / 2);
    std::vector<Piece> pieces;
    for (long first = 0; first + piece <= static_cast<long>(noise.size()); first += piece) {
        const long from = pieces.empty() ? -reach : pieces.back().offset;
        for (long offset = from; offset <= from + 2 * reach; ++offset) {
            if (Correlation(noise, recording, first, piece, offset) > kMatch) {
                pieces.push_back({first, offset});
                break;
            }
        }
    }
    return pieces;
}

// The noise frame heard as the given recording frame, if a located piece holds it.
bool HeardAt(const std::vector<Piece>& pieces, long piece, double recordingFrame, double* noiseFrame) {
    for (const Piece& p : pieces) {
        const double heard = recordingFrame - static_cast<double>(p.offset);
        if (heard >= static_cast<double>(p.first) && heard < static_cast<double>(p.first + piece)) {
            *noiseFrame = heard;
            return true;
        }
    }
    return false;
}

}  // namespace

TEST(HeardPosition, TheStreamPositionIsWhatTheSinkHasPlayed) {
    SoundServer server;
    ASSERT_TRUE(server.Started()) << "pulseaudio and parec (pulseaudio, pulseaudio-utils) must be installed";
    PulseAudioDriver driver(server.address());
    MonitorRecording recording(server);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));  // the recorder is connected

    // Noise never repeats, so the recording matches it at exactly one offset.
    TempDir dir;
    const std::string music = (dir.path() / "noise.ogg").string();
    uint32_t seed = 1;
    ASSERT_TRUE(WriteOgg(music, 44100, 2, 8 * 44100, [&seed](long, int) {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<float>(seed >> 8) / (1u << 24) * 0.6f - 0.3f;
    }));
    CountedRef<audiere::AudioDevice> device = audiere::AdrOpenDevice();
    ASSERT_TRUE(device);
    CountedRef<audiere::SampleSource> source = audiere::AdrOpenSampleSource(music.c_str(), 0);
    ASSERT_TRUE(source);
    CountedRef<audiere::OutputStream> stream = audiere::AdrOpenSound(device.get(), source.get(), true);
    ASSERT_TRUE(stream);
    stream->setVolume(1.0f);
    stream->play();

    struct Reading {
        std::chrono::steady_clock::time_point time;
        int position;
    };
    std::vector<Reading> readings;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(4);
    while (std::chrono::steady_clock::now() < end) {
        readings.push_back({std::chrono::steady_clock::now(), stream->getPosition()});
        std::this_thread::sleep_for(std::chrono::milliseconds(7));
    }
    stream->stop();
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    recording.Stop();

    // The recorder receives about the first three seconds before it stops;
    // the pieces looked for leave room for silent gaps.
    const std::vector<float> heard = recording.Mono();
    const long piece = static_cast<long>(kRate / 20);
    const std::vector<float> decoded = DecodeMono(music, static_cast<size_t>(2.5 * kRate));
    ASSERT_EQ(decoded.size(), static_cast<size_t>(2.5 * kRate));
    ASSERT_GT(heard.size(), static_cast<size_t>(2 * kRate)) << "the sink's monitor received too little";
    const std::vector<Piece> pieces = LocatePieces(heard, decoded, piece);
    const size_t pieceCount = decoded.size() / static_cast<size_t>(piece);
    EXPECT_GE(pieces.size(), pieceCount * 3 / 4) << "the sink plays the decoded file";
    size_t gaps = 0;
    for (size_t i = 1; i < pieces.size(); ++i) gaps += pieces[i].offset != pieces[i - 1].offset;
    std::printf("%zu of %zu pieces of the noise heard, %zu silent gaps\n", pieces.size(), pieceCount, gaps);

    // Offsets of the reported position from what the monitor had received,
    // once the music is under way.
    std::vector<double> offsets;
    for (const Reading& reading : readings) {
        double played = 0;
        if (!HeardAt(pieces, piece, recording.FramesAt(reading.time), &played)) continue;
        if (played > 4096 && reading.position > 0) offsets.push_back(reading.position - played);
    }
    ASSERT_GT(offsets.size(), 100u);
    std::sort(offsets.begin(), offsets.end());
    const double median = offsets[offsets.size() / 2];
    const double low = offsets[offsets.size() / 20], high = offsets[offsets.size() * 19 / 20];
    std::printf("reported position - heard position: median %.1f ms, 5%% %.1f ms, 95%% %.1f ms\n",
                median / kRate * 1000, low / kRate * 1000, high / kRate * 1000);
    EXPECT_LE(std::fabs(median), kDeviceBufferFrames) << "the position runs ahead of or behind what is heard";
    EXPECT_LE(high, 2 * kDeviceBufferFrames);
    EXPECT_GE(low, -2 * kDeviceBufferFrames);
}
