// Small sprites: the additive halo, the star-burst and the scoreboard's ball.
#include <algorithm>
#include <cmath>

#include "textures.h"

namespace textures {

namespace {

// The sprites are added to the picture (one, one), which ignores alpha: the
// colour itself fades with the coverage.
uint32_t Glow(float coverage) { return Pack({coverage, coverage, coverage, coverage}); }

}  // namespace

Image MakeParticleHalo() {
    constexpr int kSize = 64;
    Image image(kSize, kSize, true);
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            const float dx = (x + 0.5f - kSize / 2.0f) / (kSize / 2.0f), dy = (y + 0.5f - kSize / 2.0f) / (kSize / 2.0f);
            const float d2 = dx * dx + dy * dy;
            // Bell-shaped, and exactly zero from the inscribed circle out.
            const float falloff = std::max(0.0f, 1 - d2);
            image.at(x, y) = Glow(falloff * falloff * falloff);
        }
    return image;
}

Image MakeParticleLines() {
    constexpr int kSize = 64;
    constexpr float kHalf = kSize / 2.0f;
    Image image(kSize, kSize, true);
    // A ray of the given width across its axis, fading out along it towards the edge.
    auto ray = [](float along, float across, float width) {
        const float fade = std::max(0.0f, 1 - std::fabs(along) / kHalf);
        return std::exp(-across * across / (width * width)) * fade * fade;
    };
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            const float dx = x + 0.5f - kHalf, dy = y + 0.5f - kHalf;
            const float d1 = (dx + dy) * 0.70710678f, d2 = (dx - dy) * 0.70710678f;
            float v = ray(dx, dy, 0.9f) + ray(dy, dx, 0.9f);
            v += 0.4f * (ray(d1 * 1.3f, d2, 0.8f) + ray(d2 * 1.3f, d1, 0.8f));
            v += std::exp(-(dx * dx + dy * dy) / 12.0f);
            // Nothing but the rays reaches the border, so the sprite has no visible square.
            const float edge = std::min(std::min(x, kSize - 1 - x), std::min(y, kSize - 1 - y));
            if (edge < 1) v = 0;
            image.at(x, y) = Glow(Clamp01(v));
        }
    return image;
}

Image MakeBall() {
    constexpr int kSize = 32, kSamples = 4;
    constexpr float kRadius = 15.0f;
    const float lx = -0.45f, ly = -0.55f, lz = 0.70f;  // light from the upper left, towards the viewer
    const float length = std::sqrt(lx * lx + ly * ly + lz * lz);
    Image image(kSize, kSize, true);
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            Colour sum{0, 0, 0, 0};
            for (int sy = 0; sy < kSamples; ++sy)
                for (int sx = 0; sx < kSamples; ++sx) {
                    const float px = (x + (sx + 0.5f) / kSamples - kSize / 2.0f) / kRadius;
                    const float py = (y + (sy + 0.5f) / kSamples - kSize / 2.0f) / kRadius;
                    const float d2 = px * px + py * py;
                    if (d2 >= 1) continue;
                    const float nz = std::sqrt(1 - d2);
                    const float diffuse = std::max(0.0f, (px * lx + py * ly + nz * lz) / length);
                    // Blinn highlight with the viewer on +z.
                    const float hx = lx / length, hy = ly / length, hz = lz / length + 1;
                    const float hl = std::sqrt(hx * hx + hy * hy + hz * hz);
                    const float highlight = 0.85f * std::pow(std::max(0.0f, (px * hx + py * hy + nz * hz) / hl), 70.0f);
                    const float shade = 0.16f + 0.66f * diffuse;
                    // Premultiplied while summing, so the rim blends without dark fringes.
                    sum.r += std::min(1.0f, shade + highlight), sum.g += std::min(1.0f, shade + highlight);
                    sum.b += std::min(1.0f, shade * 0.98f + highlight), sum.a += 1;
                }
            if (sum.a > 0) {
                const float n = kSamples * kSamples;
                image.at(x, y) = Pack({sum.r / sum.a, sum.g / sum.a, sum.b / sum.a, sum.a / n});
            }
        }
    return image;
}

}  // namespace textures
