// The loading title card and the configuration window's picture.
#include <cmath>

#include "textures.h"

namespace textures {

namespace {

constexpr const char* kTitle = "HALCYON 98 PIECE";

// Stamps the mask with its top-left corner at (left, top) into a coverage field.
void Stamp(std::vector<float>& field, int w, int h, const TextMask& mask, int left, int top) {
    for (int y = 0; y < mask.height; ++y)
        for (int x = 0; x < mask.width; ++x)
            if (mask.At(x, y) && left + x >= 0 && left + x < w && top + y >= 0 && top + y < h)
                field[static_cast<size_t>(top + y) * w + left + x] = 1;
}

}  // namespace

Image MakeLogoPresentation() {
    constexpr int kW = 640, kH = 480, kTitleScale = 6, kLineScale = 2;
    const TextMask title = RenderText(kTitle, kTitleScale);
    const TextMask line = RenderText("a real-time production", kLineScale);
    const int titleLeft = (kW - title.width) / 2, titleTop = 190;
    const int lineLeft = (kW - line.width) / 2, lineTop = titleTop + title.height + 34;
    const int ruleY = titleTop + title.height + 17;

    std::vector<float> titleField(kW * kH, 0), lineField(kW * kH, 0);
    Stamp(titleField, kW, kH, title, titleLeft, titleTop);
    Stamp(lineField, kW, kH, line, lineLeft, lineTop);
    // A thin rule between the two, fading out towards its ends.
    std::vector<float> rule(kW * kH, 0);
    for (int x = titleLeft; x < titleLeft + title.width; ++x) {
        const float t = (x - titleLeft) / static_cast<float>(title.width);
        rule[static_cast<size_t>(ruleY) * kW + x] = std::sin(t * 3.14159265f);
    }
    std::vector<float> glowSource(kW * kH);
    for (size_t i = 0; i < glowSource.size(); ++i) glowSource[i] = titleField[i] + 0.6f * lineField[i] + rule[i];
    const std::vector<float> wide = Blur(glowSource, kW, kH, 14.0f), narrow = Blur(glowSource, kW, kH, 3.5f);

    const Colour top{1.0f, 0.93f, 0.55f}, bottom{1.0f, 0.38f, 0.42f};
    const Colour glowWarm{1.0f, 0.45f, 0.15f}, glowCool{0.55f, 0.25f, 1.0f};
    const Colour lineColour{0.78f, 0.88f, 1.0f};
    Image image(kW, kH, true);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            const size_t i = static_cast<size_t>(y) * kW + x;
            const float across = Clamp01((x - titleLeft) / static_cast<float>(title.width));
            const float glowAlpha = Clamp01(1.4f * wide[i] + 1.1f * narrow[i]);
            Colour c = Mix(glowWarm, glowCool, across);
            c.a = glowAlpha;
            if (rule[i] > 0) c = Mix(c, Colour{1.0f, 0.8f, 0.6f, 1.0f}, rule[i]);
            if (titleField[i] > 0) {
                // Down each font pixel row and across the title: warm at the top, rose below.
                const float down = (y - titleTop) / static_cast<float>(title.height);
                c = Mix(top, bottom, down);
                c = Mix(c, Colour{c.b, c.g, c.r, 1.0f}, 0.25f * across);
                // A lighter top edge on every font pixel gives the blocks some body.
                if ((y - titleTop) % kTitleScale == 0 && !title.At(x - titleLeft, y - titleTop - 1))
                    c = Mix(c, Colour{1, 1, 1, 1}, 0.55f);
                c.a = 1;
            } else if (lineField[i] > 0) {
                c = lineColour;
            }
            image.at(x, y) = Pack(c);
        }
    return image;
}

Image MakeScreen() {
    constexpr int kW = 256, kH = 256, kScale = 2;
    const TextMask title = RenderText(kTitle, kScale);
    const TextMask line = RenderText("configuration", 1);
    // Only the top 146 rows show (350 px wide, 200 high): centre the name in them.
    const int titleLeft = (kW - title.width) / 2, titleTop = 56;
    const int lineLeft = (kW - line.width) / 2, lineTop = titleTop + title.height + 10;
    std::vector<float> field(kW * kH, 0);
    Stamp(field, kW, kH, title, titleLeft, titleTop);
    const std::vector<float> glow = Blur(field, kW, kH, 4.0f);

    const Colour deep{0.03f, 0.05f, 0.16f}, teal{0.05f, 0.32f, 0.40f}, dusk{0.30f, 0.12f, 0.30f};
    Image image(kW, kH, true);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            const size_t i = static_cast<size_t>(y) * kW + x;
            const float u = x / static_cast<float>(kW - 1), v = y / 146.0f;
            // Soft diagonal light over a dark blue ground, warmer at the bottom.
            Colour c = Mix(deep, teal, Clamp01(0.8f * (1 - v) * (0.4f + 0.6f * u)));
            c = Mix(c, dusk, Clamp01(v - 0.55f) * 0.9f);
            c = Mix(c, Colour{0.9f, 0.6f, 0.3f}, 0.35f * Clamp01(glow[i] * 1.6f));
            if (field[i] > 0) c = Mix(Colour{1.0f, 0.95f, 0.75f}, Colour{1.0f, 0.65f, 0.35f}, (y - titleTop) / 14.0f);
            if (line.At(x - lineLeft, y - lineTop)) c = Mix(c, Colour{0.75f, 0.9f, 1.0f}, 0.85f);
            c.a = 1;
            image.at(x, y) = Pack(c);
        }
    return image;
}

}  // namespace textures
