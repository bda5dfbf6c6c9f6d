// Records the demo at a fixed frame rate: one PNG per frame and the music of
// the same span as a WAV, for making a video of it.
// Usage: capture DATA_DIR OUT_DIR [--size W H] [--fps N] [--start MS] [--end MS] [--mp4]
#include <sys/stat.h>
#include <unistd.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "fixed_clock_run.h"
#include "platform/graphics_context.h"
#include "png_writer.h"

namespace {

int Usage(const char* self) {
    std::fprintf(stderr,
                 "usage: %s DATA_DIR OUT_DIR [--size W H] [--fps N] [--start MS] [--end MS] [--mp4]\n"
                 "  writes OUT_DIR/frame_000000.png ... and OUT_DIR/audio.wav; defaults 640x480,\n"
                 "  30 fps, the whole script (0 to the music length). --mp4 runs ffmpeg if it is on PATH.\n",
                 self);
    return 2;
}

std::string Absolute(const std::string& path) { return std::filesystem::absolute(path).lexically_normal().string(); }

std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

bool OnPath(const char* program) {
    const char* path = std::getenv("PATH");
    if (!path) return false;
    std::string list = path;
    for (size_t begin = 0; begin <= list.size();) {
        size_t end = list.find(':', begin);
        if (end == std::string::npos) end = list.size();
        const std::string dir = end > begin ? list.substr(begin, end - begin) : ".";
        const std::string candidate = dir + "/" + program;
        struct stat info {};
        if (stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(candidate.c_str(), X_OK) == 0)
            return true;
        begin = end + 1;
    }
    return false;
}

void PutLittleEndian(std::vector<unsigned char>* bytes, uint32_t value, int size) {
    for (int i = 0; i < size; ++i) bytes->push_back(static_cast<unsigned char>(value >> (8 * i)));
}

// 16-bit stereo at 44100 from firstSample on, frames long; the script's volume is
// applied as the player applies it. Past the end of the music it is silence.
bool WriteWav(const std::string& music, const std::string& path, int64_t firstSample, int64_t frames, float volume) {
    OggVorbis_File file{};
    if (ov_fopen(music.c_str(), &file) != 0) {
        std::fprintf(stderr, "capture: cannot decode %s\n", music.c_str());
        return false;
    }
    const vorbis_info* info = ov_info(&file, -1);
    if (!info || info->rate != kFixedClockSampleRate || info->channels < 1 || info->channels > 2) {
        std::fprintf(stderr, "capture: %s is not 44100 Hz mono or stereo\n", music.c_str());
        ov_clear(&file);
        return false;
    }
    const int channels = info->channels;
    const int64_t total = ov_pcm_total(&file, -1);
    bool decoding = firstSample < total && ov_pcm_seek(&file, firstSample) == 0;

    const uint32_t dataSize = static_cast<uint32_t>(frames * 4);
    std::vector<unsigned char> bytes;
    bytes.reserve(44 + dataSize);
    auto tag = [&](const char* text) { bytes.insert(bytes.end(), text, text + 4); };
    tag("RIFF");
    PutLittleEndian(&bytes, 36 + dataSize, 4);
    tag("WAVE");
    tag("fmt ");
    PutLittleEndian(&bytes, 16, 4);
    PutLittleEndian(&bytes, 1, 2);  // PCM
    PutLittleEndian(&bytes, 2, 2);
    PutLittleEndian(&bytes, kFixedClockSampleRate, 4);
    PutLittleEndian(&bytes, kFixedClockSampleRate * 4, 4);
    PutLittleEndian(&bytes, 4, 2);
    PutLittleEndian(&bytes, 16, 2);
    tag("data");
    PutLittleEndian(&bytes, dataSize, 4);

    int64_t written = 0;
    while (written < frames) {
        float** pcm = nullptr;
        int section = 0;
        long got = decoding ? ov_read_float(&file, &pcm, 4096, &section) : 0;
        if (got <= 0) {
            decoding = false;
            got = static_cast<long>(std::min<int64_t>(4096, frames - written));
        }
        got = static_cast<long>(std::min<int64_t>(got, frames - written));
        for (long i = 0; i < got; ++i)
            for (int c = 0; c < 2; ++c) {
                const float sample = decoding ? pcm[std::min(c, channels - 1)][i] * volume : 0.0f;
                const long value = std::lround(std::clamp(sample, -1.0f, 1.0f) * 32767.0f);
                PutLittleEndian(&bytes, static_cast<uint32_t>(static_cast<int16_t>(value)), 2);
            }
        written += got;
    }
    ov_clear(&file);

    FILE* out = std::fopen(path.c_str(), "wb");
    const bool ok = out && std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    if (out && std::fclose(out) != 0) return false;
    if (!ok) std::fprintf(stderr, "capture: cannot write %s\n", path.c_str());
    return ok;
}

void Progress(int64_t done, int64_t total) {
    constexpr int kWidth = 40;
    const int filled = total > 0 ? static_cast<int>(done * kWidth / total) : kWidth;
    std::fprintf(stderr, "\r[%s%s] %3d%% frame %lld/%lld", std::string(filled, '#').c_str(),
                 std::string(kWidth - filled, '.').c_str(), total > 0 ? static_cast<int>(done * 100 / total) : 100,
                 static_cast<long long>(done), static_cast<long long>(total));
    std::fflush(stderr);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return Usage(argv[0]);
    FixedClockOptions options;
    options.dataDir = Absolute(argv[1]);
    const std::string outDir = Absolute(argv[2]);
    bool mp4 = false;
    for (int i = 3; i < argc; ++i) {
        const FixedClockOptionRead read = ReadFixedClockOption(argc, argv, &i, &options);
        if (read == FixedClockOptionRead::Read) continue;
        if (read == FixedClockOptionRead::Unknown && std::string(argv[i]) == "--mp4")
            mp4 = true;
        else
            return Usage(argv[0]);
    }
    if (options.width <= 0 || options.height <= 0 || options.fps <= 0 || options.startMs < 0) return Usage(argv[0]);

    std::error_code error;
    std::filesystem::create_directories(outDir, error);
    if (!std::filesystem::is_directory(outDir)) {
        std::fprintf(stderr, "capture: cannot make %s\n", outDir.c_str());
        return 1;
    }
    // Frames of an earlier, longer capture would end up in the video.
    for (const auto& entry : std::filesystem::directory_iterator(outDir, error)) {
        const std::string name = entry.path().filename().string();
        if (name.size() == 16 && name.compare(0, 6, "frame_") == 0 && name.compare(12, 4, ".png") == 0 &&
            name.find_first_not_of("0123456789", 6) == 12)
            std::filesystem::remove(entry.path(), error);
    }
    // Nothing is shown and nothing is heard: the pictures are read back, the music decoded.
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);

    FixedClockLoaded loaded;
    bool written = true;
    int64_t frames = 0;
    const int status = RunFixedClock(
        options,
        [&](const FixedClockLoaded& l) {
            loaded = l;
            std::fprintf(stderr, "capture: %d to %d ms at %d fps, %lld frames of %dx%d (loaded in %.2f s)\n",
                         l.startMs, l.endMs, options.fps, static_cast<long long>(l.frames), options.width,
                         options.height, l.loadSeconds);
            Progress(0, l.frames);
        },
        [&](const FixedClockFrame& frame) {
            UINT w = 0, h = 0;
            const std::vector<uint32_t> pixels = g_graphics->device->ReadBackBuffer(&w, &h);
            char name[32];
            std::snprintf(name, sizeof name, "/frame_%06lld.png", static_cast<long long>(frame.number));
            if (!WritePng(outDir + name, w, h, pixels, false)) {
                if (written) std::fprintf(stderr, "\ncapture: cannot write %s%s\n", outDir.c_str(), name);
                written = false;
            }
            frames = frame.number + 1;
            Progress(frames, loaded.frames);
        });
    std::fprintf(stderr, "\n");
    if (status != 0 || !written) return status != 0 ? status : 1;

    // The same span as the frames: from the first frame's time to one step past the last.
    const int64_t firstSample = FixedClockSample(loaded.startMs, options.fps, 0);
    const std::string wav = outDir + "/audio.wav";
    if (!WriteWav(options.dataDir + "/audio/amber-meadow_tune.ogg", wav, firstSample,
                  FixedClockSample(loaded.startMs, options.fps, frames) - firstSample, loaded.musicVolume))
        return 1;

    std::string command = "ffmpeg -y -loglevel error -framerate " + std::to_string(options.fps) + " -i " +
                          Quoted(outDir + "/frame_%06d.png") + " -i " + Quoted(wav) + " -c:v libx264 -pix_fmt yuv420p";
    // The 4:2:0 chroma planes need even sides.
    if (options.width % 2 || options.height % 2) command += " -vf 'crop=trunc(iw/2)*2:trunc(ih/2)*2'";
    command += " -c:a aac -shortest " + Quoted(outDir + "/demo.mp4");
    if (mp4 && OnPath("ffmpeg")) {
        std::fprintf(stderr, "capture: %s\n", command.c_str());
        const int result = std::system(command.c_str());
        if (result != 0) {
            std::fprintf(stderr, "capture: ffmpeg failed\n");
            return 1;
        }
        std::printf("%s/demo.mp4\n", outDir.c_str());
    } else {
        if (mp4) std::fprintf(stderr, "capture: ffmpeg is not on PATH; to make the video run:\n");
        std::printf("%s\n", command.c_str());
    }
    return 0;
}
