// Writes PNG files (the texture generator and the tests' data writers).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// pixels: 0xAARRGGBB, top row first; alpha false writes an RGB file. Creates the
// parent directories. The same pixels give the same bytes (no time stamp, fixed settings).
bool WritePng(const std::string& path, uint32_t width, uint32_t height, const std::vector<uint32_t>& pixels,
              bool alpha = true);
