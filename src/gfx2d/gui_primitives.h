// Flat, gradient and line shapes for the widgets, the overlay and the fades.
// Colours are packed red in the lowest byte; each shape blends by source alpha
// and leaves blending off, the bound texture and texture coordinates untouched.
#pragma once

#include <cstdint>

void zkFillRect(int x, int y, int w, int h, uint32_t colour);
void zkGradientRect(int x, int y, int w, int h, uint32_t top, uint32_t bottom);
void zkDrawLine(int x1, int y1, int x2, int y2, uint32_t colour);
void zkArrowRight(int x, int y, uint32_t colour);
void zkArrowLeft(int x, int y, uint32_t colour);
// The 400 x 100 frame of the timing graph.
void zkOverlayFrame(uint32_t colour);

// Every byte, alpha too, becomes the low byte of byte x factor truncated:
// 255 x 1.2 wraps to 50.
uint32_t zkScaleColour(uint32_t colour, float factor);

// Packs bytes red lowest, as the shapes take them.
constexpr uint32_t zkPackColour(uint32_t r, uint32_t g, uint32_t b, uint32_t a) {
    return (a & 0xFF) << 24 | (b & 0xFF) << 16 | (g & 0xFF) << 8 | (r & 0xFF);
}
