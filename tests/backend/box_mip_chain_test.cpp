// The box-filtered mip chain of textures loaded from files: sizes, the
// texels each level averages, rounding, odd and single-texel edges.
#include <gtest/gtest.h>

#include "backend/box_mip_chain.h"

namespace {

// One opaque grey texel per value.
std::vector<uint32_t> Greys(const std::vector<uint32_t>& values) {
    std::vector<uint32_t> pixels;
    for (uint32_t value : values) pixels.push_back(0xFF000000u | value << 16 | value << 8 | value);
    return pixels;
}

}  // namespace

TEST(BoxMipChain, EachTexelIsTheRoundedMeanOfTheTwoByTwoBlockAboveIt) {
    // Channels are averaged on their own: alpha, red, green and blue differ per texel.
    const std::vector<uint32_t> level0 = {
        0x10203040, 0x11213141, 0x00000000, 0xFFFFFFFF,
        0x12223242, 0x13233343, 0x01010101, 0x02020202,
        0x80808080, 0x80808080, 0x00FF00FF, 0xFF00FF00,
        0x80808080, 0x81818181, 0xFF00FF00, 0x00FF00FF,
    };
    const std::vector<MipLevel> chain = BuildBoxMipChain(level0, 4, 4, 3);
    ASSERT_EQ(chain.size(), 2u);
    EXPECT_EQ(chain[0].width, 2u);
    EXPECT_EQ(chain[0].height, 2u);
    // (0 + 255 + 1 + 2) / 4 = 64.5 rounds to 0x41; (3 * 128 + 129) / 4 = 128.25 rounds to 0x80.
    EXPECT_EQ(chain[0].pixels, (std::vector<uint32_t>{0x12223242, 0x41414141, 0x80808080, 0x80808080}));
    EXPECT_EQ(chain[1].width, 1u);
    EXPECT_EQ(chain[1].height, 1u);
    EXPECT_EQ(chain[1].pixels, (std::vector<uint32_t>{0x55595D61}));
}

TEST(BoxMipChain, OddEdgesRoundDownAndTheirLastRowAndColumnFallOut) {
    // 5 x 3: the fifth column and the third row are 255 and must not show.
    const std::vector<uint32_t> level0 = Greys({
        0, 4, 8, 12, 255,
        2, 6, 10, 14, 255,
        255, 255, 255, 255, 255,
    });
    const std::vector<MipLevel> chain = BuildBoxMipChain(level0, 5, 3, 3);
    ASSERT_EQ(chain.size(), 2u);
    EXPECT_EQ(chain[0].width, 2u);
    EXPECT_EQ(chain[0].height, 1u);
    EXPECT_EQ(chain[0].pixels, Greys({3, 11}));
    // A height of 1 has no second row: the pair of the one row is averaged.
    EXPECT_EQ(chain[1].width, 1u);
    EXPECT_EQ(chain[1].height, 1u);
    EXPECT_EQ(chain[1].pixels, Greys({7}));
}

TEST(BoxMipChain, AColumnOfOneTexelHalvesItsHeightOnly) {
    const std::vector<MipLevel> chain = BuildBoxMipChain(Greys({10, 20, 30, 41}), 1, 4, 3);
    ASSERT_EQ(chain.size(), 2u);
    EXPECT_EQ(chain[0].width, 1u);
    EXPECT_EQ(chain[0].height, 2u);
    EXPECT_EQ(chain[0].pixels, Greys({15, 36}));  // 35.5 rounds up
    EXPECT_EQ(chain[1].pixels, Greys({26}));      // 25.5 rounds up
}

TEST(BoxMipChain, StopsAtTheLevelsAskedForOrAtOneTexel) {
    const std::vector<uint32_t> level0(8 * 2, 0xFF336699);
    EXPECT_TRUE(BuildBoxMipChain(level0, 8, 2, 1).empty());
    EXPECT_TRUE(BuildBoxMipChain(level0, 8, 2, 0).empty());
    EXPECT_EQ(BuildBoxMipChain(level0, 8, 2, 2).size(), 1u);
    const std::vector<MipLevel> full = BuildBoxMipChain(level0, 8, 2, 99);
    ASSERT_EQ(full.size(), 3u);  // 4 x 1, 2 x 1, 1 x 1
    EXPECT_EQ(full[2].width, 1u);
    EXPECT_EQ(full[2].height, 1u);
    EXPECT_EQ(full[2].pixels, (std::vector<uint32_t>{0xFF336699}));
    EXPECT_TRUE(BuildBoxMipChain({0xFF000000}, 1, 1, 5).empty());
}
