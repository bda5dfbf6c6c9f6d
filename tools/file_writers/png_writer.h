// Writes PNG files (the texture generator, the capture tool and the tests' data writers).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// zlib's default level.
constexpr int kPngDefaultCompression = -1;

// pixels: 0xAARRGGBB, top row first, width * height of them; alpha false
// writes an RGB file. level: zlib's 0 (none) .. 9 (smallest), 1 the fastest
// that compresses. Creates the parent directories. The same pixels give the
// same bytes (no time stamp, fixed settings).
bool WritePng(const std::string& path, uint32_t width, uint32_t height, const uint32_t* pixels, bool alpha,
              int level = kPngDefaultCompression);
bool WritePng(const std::string& path, uint32_t width, uint32_t height, const std::vector<uint32_t>& pixels,
              bool alpha = true);
