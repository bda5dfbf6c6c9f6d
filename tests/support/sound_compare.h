// Decoding and matching sound, for the tests of what was played or written.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Frames [first, first + count) of an Ogg Vorbis file, one vector per
// channel; shorter where the file ends, empty where it does not open.
std::vector<std::vector<float>> DecodeOggChannels(const std::string& path, int64_t first, int64_t count);

// Normalised correlation of a[i] with b[i + lag] for i in [first, first + count);
// zero where b does not cover them.
double Correlation(const std::vector<float>& a, const std::vector<float>& b, long first, long count, long lag);
