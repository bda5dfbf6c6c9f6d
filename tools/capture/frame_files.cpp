#include "frame_files.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "fixed_clock_run.h"
#include "png_writer.h"

namespace {

void PutLittleEndian(std::vector<unsigned char>* bytes, uint32_t value, int size) {
    for (int i = 0; i < size; ++i) bytes->push_back(static_cast<unsigned char>(value >> (8 * i)));
}

}  // namespace

std::string FramePath(const std::string& dir, int64_t number) {
    char name[32];
    std::snprintf(name, sizeof name, "/frame_%06lld.png", static_cast<long long>(number));
    return dir + name;
}

void RemoveFrames(const std::string& dir) {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(dir, error)) {
        const std::string name = entry.path().filename().string();
        if (name.size() == 16 && name.compare(0, 6, "frame_") == 0 && name.compare(12, 4, ".png") == 0 &&
            name.find_first_not_of("0123456789", 6) == 12)
            std::filesystem::remove(entry.path(), error);
    }
}

bool WriteFramePng(const std::string& dir, int64_t number, uint32_t width, uint32_t height, const uint32_t* pixels) {
    return WritePng(FramePath(dir, number), width, height, pixels, false, 1);
}

bool WriteWav(MusicSpan& music, int64_t frames, const std::string& path) {
    const int64_t samples = music.SamplesBefore(frames);
    const uint32_t dataSize = static_cast<uint32_t>(samples * 4);
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

    std::vector<float> left(4096), right(4096);
    for (int64_t written = 0; written < samples;) {
        const int64_t count = std::min<int64_t>(4096, samples - written);
        music.Read(count, left.data(), right.data());
        for (int64_t i = 0; i < count; ++i)
            for (float sample : {left[i], right[i]})
                PutLittleEndian(&bytes, static_cast<uint32_t>(static_cast<int16_t>(std::lround(sample * 32767.0f))), 2);
        written += count;
    }
    FILE* out = std::fopen(path.c_str(), "wb");
    const bool ok = out && std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    return out && std::fclose(out) == 0 && ok;
}
