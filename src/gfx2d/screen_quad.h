// Textured, coloured screen quads in the current 2D pixel space.
#pragma once

#include <cstdint>

// colour: red in the lowest byte, then green, blue, alpha. Modulates the
// texture bound to stage 0; leaves alpha blending off.
void zkDrawQuad(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t colour);
// The same with the texture mirrored left to right.
void zkDrawQuadMirrored(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t colour);
