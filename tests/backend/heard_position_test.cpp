// The stream position against what a real sound server plays: PulseAudio
// with a null sink, its monitor recorded while a stream of noise plays.
#include <gtest/gtest.h>
#include <SDL.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <thread>

#include "backend/audiere.h"
#include "runtime/music.h"
#include "ogg_writer.h"
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
    std::vector<float> mono;
    OggVorbis_File file{};
    if (ov_fopen(path.c_str(), &file) != 0) return mono;
    const int channels = ov_info(&file, -1)->channels;
    while (mono.size() < frames) {
        float** pcm = nullptr;
        int section = 0;
        const long got = ov_read_float(&file, &pcm, 4096, &section);
        if (got <= 0) break;
        for (long i = 0; i < got; ++i) {
            float sum = 0.0f;
            for (int c = 0; c < channels; ++c) sum += pcm[c][i];
            mono.push_back(sum / channels);
        }
    }
    ov_clear(&file);
    mono.resize(std::min(mono.size(), frames));
    return mono;
}

// Normalised correlation of recording[offset + i] with noise[i] over count
// frames, i counted from where both exist.
double Correlation(const std::vector<float>& recording, const std::vector<float>& noise, long offset, size_t count) {
    const long first = std::max(0L, -offset);
    double product = 0, recorded = 0, played = 0;
    for (long i = first; i < first + static_cast<long>(count); ++i) {
        const double r = recording[offset + i], n = noise[i];
        product += r * n;
        recorded += r * r;
        played += n * n;
    }
    return recorded > 0 && played > 0 ? product / std::sqrt(recorded * played) : 0.0;
}

// Where the noise's first frame sits in the recording (negative when the
// recorder joined late): noise never repeats, so exactly one offset matches.
long FindOffset(const std::vector<float>& recording, const std::vector<float>& noise, size_t window, double* best) {
    const long reach = static_cast<long>(noise.size() - window);
    long found = 0;
    *best = -1;
    for (long offset = -reach; offset <= reach; ++offset) {
        const long first = std::max(0L, -offset);
        if (offset + first + static_cast<long>(window) > static_cast<long>(recording.size())) break;
        const double c = Correlation(recording, noise, offset, window);
        if (c > *best) *best = c, found = offset;
    }
    return found;
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

    const std::vector<float> heard = recording.Mono();
    const size_t window = static_cast<size_t>(kRate / 20);
    const std::vector<float> decoded = DecodeMono(music, static_cast<size_t>(kRate));
    ASSERT_EQ(decoded.size(), static_cast<size_t>(kRate));
    ASSERT_GT(heard.size(), static_cast<size_t>(2 * kRate)) << "the sink's monitor received too little";
    double correlation = 0;
    const long lag = FindOffset(heard, decoded, window, &correlation);
    EXPECT_GT(correlation, 0.9) << "the sink plays the decoded file";

    // Offsets of the reported position from what the monitor had received,
    // once the music is under way.
    std::vector<double> offsets;
    for (const Reading& reading : readings) {
        const double played = recording.FramesAt(reading.time) - static_cast<double>(lag);
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
