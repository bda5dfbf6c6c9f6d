// Mip chains as D3DX builds them for a texture loaded from a file: its
// default mip filter is a box filter without dithering or sRGB conversion.
#pragma once

#include <cstdint>
#include <vector>

#include "backend/d3d9.h"

struct MipLevel {
    UINT width = 0, height = 0;
    std::vector<uint32_t> pixels;  // 0xAARRGGBB, top row first
};

// Levels 1 .. levels - 1 below a level 0 of width x height. Each level is half
// the one above, rounded down and at least 1; each texel is the rounded mean
// of the 2 x 2 texels it covers, so an odd last row or column of the level
// above falls out, and an edge of 1 averages the texels it has.
std::vector<MipLevel> BuildBoxMipChain(const std::vector<uint32_t>& level0, UINT width, UINT height, UINT levels);
