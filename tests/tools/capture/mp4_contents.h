// An MP4 file decoded back with libav, for checking what the capture tool wrote.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Mp4Contents {
    std::string videoCodec;
    int width = 0, height = 0;
    double videoSeconds = 0.0;  // the video track's duration as the file states it
    // Every picture decoded, as 0xFFRRGGBB rows, top row first.
    std::vector<std::vector<uint32_t>> pictures;
    std::string audioCodec;
    int sampleRate = 0, channels = 0;
    std::vector<float> left, right;  // every sample decoded
};

// False with the reason in *error when the file cannot be read or lacks a
// video or an audio track.
bool ReadMp4(const std::string& path, Mp4Contents* contents, std::string* error);
