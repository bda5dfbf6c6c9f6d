#include <algorithm>
#include <cmath>

#include "pixel_font.h"
#include "textures.h"

namespace textures {

Image::Image(uint32_t w, uint32_t h, bool withAlpha, uint32_t fill)
    : width(w), height(h), alpha(withAlpha), pixels(static_cast<size_t>(w) * h, fill) {}

float Clamp01(float v) { return std::min(1.0f, std::max(0.0f, v)); }

float SmoothStep(float edge0, float edge1, float v) {
    const float t = Clamp01((v - edge0) / (edge1 - edge0));
    return t * t * (3 - 2 * t);
}

uint32_t Pack(const Colour& c) {
    auto byte = [](float v) { return static_cast<uint32_t>(std::lround(Clamp01(v) * 255.0f)); };
    return byte(c.a) << 24 | byte(c.r) << 16 | byte(c.g) << 8 | byte(c.b);
}

Colour Unpack(uint32_t pixel) {
    return {(pixel >> 16 & 0xFF) / 255.0f, (pixel >> 8 & 0xFF) / 255.0f, (pixel & 0xFF) / 255.0f,
            (pixel >> 24) / 255.0f};
}

Colour Mix(const Colour& a, const Colour& b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}

int TextWidth(const std::string& text, int scale) {
    int columns = 0;
    for (size_t i = 0; i < text.size(); ++i) columns += text[i] == ' ' ? 4 : (i + 1 < text.size() ? 6 : 5);
    return columns * scale;
}

TextMask RenderText(const std::string& text, int scale) {
    TextMask mask;
    mask.width = TextWidth(text, scale);
    mask.height = kGlyphRows * scale;
    mask.on.assign(static_cast<size_t>(mask.width) * mask.height, 0);
    int pen = 0;
    for (char c : text) {
        if (c == ' ') {
            pen += 4;
            continue;
        }
        for (int row = 0; row < kGlyphRows; ++row)
            for (int column = 0; column < kGlyphColumns; ++column) {
                if (!GlyphPixel(c, column, row)) continue;
                for (int dy = 0; dy < scale; ++dy)
                    for (int dx = 0; dx < scale; ++dx)
                        mask.on[static_cast<size_t>(row * scale + dy) * mask.width + (pen + column) * scale + dx] = 1;
            }
        pen += 6;
    }
    return mask;
}

std::vector<float> Blur(const std::vector<float>& field, int w, int h, float sigma) {
    const int radius = static_cast<int>(std::ceil(sigma * 3));
    std::vector<float> kernel(2 * radius + 1);
    float sum = 0;
    for (int i = -radius; i <= radius; ++i) sum += kernel[i + radius] = std::exp(-0.5f * i * i / (sigma * sigma));
    for (float& k : kernel) k /= sum;
    std::vector<float> across(field.size()), out(field.size());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            float v = 0;
            for (int i = -radius; i <= radius; ++i)
                if (x + i >= 0 && x + i < w) v += kernel[i + radius] * field[static_cast<size_t>(y) * w + x + i];
            across[static_cast<size_t>(y) * w + x] = v;
        }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            float v = 0;
            for (int i = -radius; i <= radius; ++i)
                if (y + i >= 0 && y + i < h) v += kernel[i + radius] * across[static_cast<size_t>(y + i) * w + x];
            out[static_cast<size_t>(y) * w + x] = v;
        }
    return out;
}

}  // namespace textures
