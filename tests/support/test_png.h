// Small PNG files for tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// pixels: 0xAARRGGBB, top row first; alpha false writes an RGB file.
bool WriteTestPng(const std::string& path, uint32_t width, uint32_t height, const std::vector<uint32_t>& pixels,
                  bool alpha = true);
// The bytes of a valid PNG whose header claims the given size (the image data stays 1x1).
std::string PngClaimingSize(uint32_t width, uint32_t height);
