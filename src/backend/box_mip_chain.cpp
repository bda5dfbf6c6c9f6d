#include "backend/box_mip_chain.h"

#include <algorithm>

namespace {

MipLevel HalveWithBox(const std::vector<uint32_t>& above, UINT width, UINT height) {
    MipLevel level;
    level.width = std::max(1u, width / 2);
    level.height = std::max(1u, height / 2);
    level.pixels.resize(static_cast<size_t>(level.width) * level.height);
    // An edge of 1 has no second texel: both taps read the same one.
    const UINT stepX = width > 1 ? 1 : 0, stepY = height > 1 ? 1 : 0;
    for (UINT y = 0; y < level.height; ++y) {
        const uint32_t* top = &above[static_cast<size_t>(y) * (stepY + 1) * width];
        const uint32_t* bottom = top + static_cast<size_t>(stepY) * width;
        for (UINT x = 0; x < level.width; ++x) {
            const UINT left = x * (stepX + 1), right = left + stepX;
            uint32_t pixel = 0;
            for (int shift = 0; shift < 32; shift += 8) {
                const uint32_t sum = (top[left] >> shift & 0xFF) + (top[right] >> shift & 0xFF) +
                                     (bottom[left] >> shift & 0xFF) + (bottom[right] >> shift & 0xFF);
                pixel |= (sum + 2) / 4 << shift;
            }
            level.pixels[static_cast<size_t>(y) * level.width + x] = pixel;
        }
    }
    return level;
}

}  // namespace

std::vector<MipLevel> BuildBoxMipChain(const std::vector<uint32_t>& level0, UINT width, UINT height, UINT levels) {
    std::vector<MipLevel> chain;
    if (levels > 1) chain.reserve(levels - 1);
    const std::vector<uint32_t>* above = &level0;
    for (UINT level = 1; level < levels && (width > 1 || height > 1); ++level) {
        chain.push_back(HalveWithBox(*above, width, height));
        above = &chain.back().pixels;
        width = chain.back().width;
        height = chain.back().height;
    }
    return chain;
}
