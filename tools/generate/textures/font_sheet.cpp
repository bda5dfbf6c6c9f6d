// The glyph sheet the engine's bitmap font reads: cell k of the 16 x 16 grid
// holds ASCII 32 + k. Each glyph is the pixel font doubled in height and
// widened to 7 pixels (columns 1 and 3 doubled), at the cell's left and one
// pixel down, so that it sits centred in the 16-pixel quad the engine draws;
// 7 pixels leave a gap at the configuration screen's 8-pixel advance as well
// as at the demo's 10.7. The shadow is one pixel lower right.
#include "pixel_font.h"
#include "textures.h"

namespace textures {

Image MakeFontSheet() {
    constexpr int kCell = 16, kScale = 2, kTop = 1, kWidth = 7;
    constexpr int kColumnOf[kWidth] = {0, 1, 1, 2, 3, 3, 4};
    constexpr uint32_t kGlyph = 0xFFFFFFFF, kShadow = 0xA0000000;
    Image image(256, 256, true);
    for (int k = 0; k < 95; ++k) {
        const char c = static_cast<char>(32 + k);
        const int cellX = k % 16 * kCell, cellY = k / 16 * kCell;
        auto lit = [&](int x, int y) {
            if (x < 0 || x >= kWidth || y < kTop) return false;
            return GlyphPixel(c, kColumnOf[x], (y - kTop) / kScale);
        };
        for (int y = 0; y < kCell; ++y)
            for (int x = 0; x < kCell; ++x) {
                uint32_t& pixel = image.at(cellX + x, cellY + y);
                if (lit(x, y)) pixel = kGlyph;
                else if (lit(x - 1, y - 1)) pixel = kShadow;
            }
    }
    return image;
}

}  // namespace textures
