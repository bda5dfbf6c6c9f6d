// Text drawn glyph by glyph from a 16 x 16 glyph sheet through the quad batch.
#pragma once

#include <cstdint>

#include "gfx2d/named_texture.h"

enum : uint32_t {
    FONT_CENTRE = 0x01,
    FONT_RIGHT = 0x02,
    FONT_NUDGE_LEFT = 0x04,  // a quarter glyph to the left of x
    FONT_CENTRE_FIRST_LINE_VERTICALLY = 0x10,
};

struct BitmapFont {
    float spaceAdvance = 0;
    float lineHeight = 0;
    float glyphSize = 0;
    float advanceRatio = 1;  // other characters advance glyphSize / advanceRatio
    uint32_t flags = 0;
    NamedTexture* texture = nullptr;  // null: whatever is bound is used
};

// printf-style; text of 1024 bytes or more is cut to 1023. colour packed red
// lowest. A tag "<#RRGGBB>" changes the colour, "<S>" stops drawing there.
void zkPrint(BitmapFont* font, float x, float y, uint32_t colour, const char* format, ...)
    __attribute__((format(printf, 5, 6)));
// How far the text up to its first newline advances the pen.
float zkMeasureLine(const BitmapFont* font, const char* text);
