// The floor and backdrop tile, and the rooster's colour swatches.
#include <algorithm>
#include <cmath>

#include "textures.h"

namespace textures {

Image MakeBackQuad() {
    constexpr int kSize = 256;
    Image image(kSize, kSize, true);
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            // 0 at the centre, 1 at the borders; the same on opposite borders, so it tiles.
            const float u = std::fabs((x + 0.5f) / kSize * 2 - 1), v = std::fabs((y + 0.5f) / kSize * 2 - 1);
            const float round = std::sqrt(u * u + v * v) / std::sqrt(2.0f);
            const float square = std::max(u, v);
            float light = 1.0f - 0.22f * SmoothStep(0.05f, 1.0f, round) - 0.18f * SmoothStep(0.7f, 1.0f, square);
            // A thin line on the outermost pixels: two pixels wide once tiled.
            const int border = std::min(std::min(x, kSize - 1 - x), std::min(y, kSize - 1 - y));
            if (border == 0) light = 0.42f;
            else if (border == 1) light = std::min(light, 0.68f);
            image.at(x, y) = Pack({light, light, light * 0.98f + 0.02f, 1});
        }
    return image;
}

Image MakeGaloPalette() {
    // Swatch order fixed by the rooster's texture coordinates (u = 0.0625 + i * 0.125).
    const Colour swatches[8] = {
        {0.96f, 0.91f, 0.78f},  // cream
        {0.66f, 0.27f, 0.11f},  // rust
        {0.10f, 0.45f, 0.30f},  // tail green
        {0.86f, 0.08f, 0.10f},  // comb red
        {0.98f, 0.78f, 0.16f},  // beak yellow
        {0.05f, 0.04f, 0.04f},  // eye black
        {0.60f, 0.42f, 0.18f},  // wing bronze
        {1.00f, 1.00f, 1.00f},  // white
    };
    Image image(64, 4, false);
    for (uint32_t y = 0; y < 4; ++y)
        for (uint32_t x = 0; x < 64; ++x) image.at(x, y) = Pack(swatches[x / 8]);
    return image;
}

}  // namespace textures
