#include "gfx2d/bitmap_font.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "gfx2d/immediate_batch.h"
#include "gfx2d/render_presets.h"
#include "platform/graphics_context.h"

namespace {

constexpr size_t kTextSize = 1024;
constexpr size_t kTagSize = 128;
constexpr float kCell = 1.0f / 16.0f;

// Base 16 up to the first other character; no digits give 0.
uint32_t HexPair(const char* text) {
    uint32_t value = 0;
    for (int i = 0; i < 2 && text[i]; ++i) {
        const char c = text[i];
        int digit;
        if (c >= '0' && c <= '9') digit = c - '0';
        else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        else break;
        value = value * 16 + static_cast<uint32_t>(digit);
    }
    return value;
}

// A "#RRGGBB" tag replaces red, green and blue; alpha stays.
uint32_t ColourOfTag(const char* tag, uint32_t colour) {
    const size_t length = std::strlen(tag);
    auto pair = [&](size_t at) { return at < length ? HexPair(tag + at) : 0u; };
    return (colour & 0xFF000000u) | pair(5) << 16 | pair(3) << 8 | pair(1);
}

// Where a line starts: the first matching alignment flag decides.
float LineStart(const BitmapFont* font, float x, const char* line) {
    const float size = font->glyphSize;
    if (font->flags & FONT_NUDGE_LEFT) return x - size * 0.25f;
    if (font->flags & FONT_CENTRE) return x - (zkMeasureLine(font, line) * 0.5f + size * 0.125f);
    if (font->flags & FONT_RIGHT) return x - (zkMeasureLine(font, line) - size * 0.125f);
    return x;
}

void DrawGlyph(char code, float x, float y, float size, uint32_t colour) {
    // Signed: codes above 127 give negative cells, which wrap in the sheet.
    const int k = static_cast<signed char>(code) - 32;
    const float u = static_cast<float>(k % 16) * kCell, v = static_cast<float>(k / 16) * kCell;
    zkSetPackedColour(colour);
    zkBegin(BATCH_QUADS);
    const float cornerX[4] = {x, x + size, x + size, x}, cornerY[4] = {y, y, y + size, y + size};
    const float cornerU[4] = {u, u + kCell, u + kCell, u}, cornerV[4] = {v, v, v + kCell, v + kCell};
    for (int i = 0; i < 4; ++i) {
        g_batch.current.u = cornerU[i], g_batch.current.v = cornerV[i];
        zkVertex3f(cornerX[i], cornerY[i], 0.0f);
    }
    zkEnd();
}

}  // namespace

float zkMeasureLine(const BitmapFont* font, const char* text) {
    float width = 0;
    for (const char* c = text; *c && *c != '\n'; ++c)
        width += *c == ' ' ? font->spaceAdvance : font->glyphSize / font->advanceRatio;
    return width;
}

void zkPrint(BitmapFont* font, float x, float y, uint32_t colour, const char* format, ...) {
    if (!font || !format) return;
    char text[kTextSize];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);

    IDirect3DDevice9* device = g_graphics->device;
    zkEnable(1);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    if (font->texture) font->texture->Bind(0);

    const float size = font->glyphSize;
    float px = x, py = y;
    // The first line takes every flag, each on the result of the previous one.
    const float width = zkMeasureLine(font, text);
    if (font->flags & FONT_NUDGE_LEFT) px = x - size * 0.25f;
    if (font->flags & FONT_CENTRE) px -= width * 0.5f + size * 0.125f;
    if (font->flags & FONT_RIGHT) px -= width - size * 0.125f;
    if (font->flags & FONT_CENTRE_FIRST_LINE_VERTICALLY) py = y - size * 0.5f;

    const size_t length = std::strlen(text);
    for (size_t i = 0; i < length; ++i) {
        if (text[i] == '<') {
            // A '<' without '>' is an ordinary character.
            const char* close = std::strchr(text + i + 1, '>');
            if (close) {
                char tag[kTagSize] = {};
                std::memcpy(tag, text + i + 1, std::min<size_t>(close - (text + i + 1), kTagSize - 1));
                if (tag[0] == '#') colour = ColourOfTag(tag, colour);
                if (tag[0] == 'S') return;  // blending and texture stay as they are
                i = static_cast<size_t>(close - text) + 1;
                if (i >= length) break;  // the terminating zero is not a character
            }
        }
        const char c = text[i];
        if (i > 0) {
            if (c == ' ') px += font->spaceAdvance;
            else if (text[i - 1] != '\n') px += size / font->advanceRatio;
            if (c == '\n') {
                py += font->lineHeight;
                px = LineStart(font, x, text + i + 1);
            }
        }
        if (c != ' ' && c != '\n') DrawGlyph(c, px, py, size, colour);
    }
    device->SetTexture(0, nullptr);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
}
