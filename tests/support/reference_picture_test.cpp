// The one picture comparison: what it lets through (rounding of a level or
// two, a few stray pixels) and what it catches, and the pictures it leaves.
#include "reference_picture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

// A smooth two-colour ramp, 64 x 48.
Picture Ramp() {
    Picture picture{64, 48, {}};
    for (uint32_t y = 0; y < picture.height; ++y)
        for (uint32_t x = 0; x < picture.width; ++x)
            picture.pixels.push_back(0xFF000000u | (x * 4) << 16 | (y * 5) << 8 | 0x40);
    return picture;
}

// Every channel of every pixel moved by levels, alternately up and down.
Picture Rounded(Picture picture, int levels) {
    for (size_t i = 0; i < picture.pixels.size(); ++i) {
        uint32_t out = 0xFF000000u;
        for (int shift = 0; shift < 24; shift += 8) {
            const int c = static_cast<int>(picture.pixels[i] >> shift & 0xFF);
            const int moved = (i + shift / 8) % 2 ? std::min(c + levels, 255) : std::max(c - levels, 0);
            out |= static_cast<uint32_t>(moved) << shift;
        }
        picture.pixels[i] = out;
    }
    return picture;
}

// A block of pixels in another colour.
Picture Blotched(Picture picture, uint32_t x0, uint32_t y0, uint32_t side, uint32_t colour) {
    for (uint32_t y = y0; y < y0 + side; ++y)
        for (uint32_t x = x0; x < x0 + side; ++x) picture.pixels[y * picture.width + x] = colour;
    return picture;
}

std::string FailurePath(const std::string& name, const char* kind) {
    return std::string(PICTURE_FAILURE_DIR) + "/" + name + "-" + kind + ".png";
}

}  // namespace

TEST(PictureComparison, RoundingOfALevelOrTwoPasses) {
    EXPECT_TRUE(PicturesMatch("support/same", Ramp(), Ramp()));
    EXPECT_TRUE(PicturesMatch("support/rounded", Ramp(), Rounded(Ramp(), 1)));
    EXPECT_TRUE(PicturesMatch("support/rounded", Ramp(), Rounded(Ramp(), 2)));
    EXPECT_TRUE(PicturesMatch("support/rounded", Ramp(), Rounded(Ramp(), 3)));
    EXPECT_TRUE(PicturesMatch("support/rounded", Ramp(), Rounded(Ramp(), 2), kSinglePassTolerance));
    EXPECT_FALSE(PicturesMatch("support/rounded", Ramp(), Rounded(Ramp(), 3), kSinglePassTolerance));
}

TEST(PictureComparison, AShiftedColourOrAWrongRegionFails) {
    EXPECT_FALSE(PicturesMatch("support/brighter", Ramp(), Rounded(Ramp(), 5)));
    EXPECT_FALSE(PicturesMatch("support/blotch", Ramp(), Blotched(Ramp(), 10, 10, 4, 0xFFFFFFFF)));
    // One stray pixel of 3072 is within the default share; larger shares are not.
    EXPECT_TRUE(PicturesMatch("support/stray", Ramp(), Blotched(Ramp(), 3, 3, 1, 0xFFFFFFFF)));
    EXPECT_FALSE(PicturesMatch("support/stray", Ramp(), Blotched(Ramp(), 3, 3, 2, 0xFFFFFFFF)));
    EXPECT_TRUE(PicturesMatch("support/loose", Ramp(), Blotched(Ramp(), 3, 3, 4, 0xFFFFFFFF), {3, 0.01}));
    EXPECT_FALSE(PicturesMatch("support/tight", Ramp(), Rounded(Ramp(), 1), {0, 0.0}));
}

TEST(PictureComparison, AlphaIsNotCompared) {
    Picture clear = Ramp();
    for (uint32_t& pixel : clear.pixels) pixel &= 0x00FFFFFF;
    EXPECT_TRUE(PicturesMatch("support/alpha", Ramp(), clear, {0, 0.0}));
}

TEST(PictureComparison, AFailureLeavesExpectedActualAndDifferenceNamedInItsMessage) {
    for (const char* kind : {"expected", "actual", "difference"})
        std::filesystem::remove(FailurePath("support/failure", kind));
    const ::testing::AssertionResult result =
        PicturesMatch("support/failure", Ramp(), Blotched(Ramp(), 20, 20, 8, 0xFF00FF00));
    ASSERT_FALSE(result);
    const std::string message = result.message();
    EXPECT_NE(message.find("64 of 3072 pixels"), std::string::npos) << message;
    for (const char* kind : {"expected", "actual", "difference"}) {
        const std::string path = FailurePath("support/failure", kind);
        EXPECT_NE(message.find(path), std::string::npos) << message;
        EXPECT_TRUE(std::filesystem::exists(path)) << path;
    }
}

TEST(PictureComparison, SizesThatDifferFail) {
    Picture small = Ramp();
    small.height = 47;
    small.pixels.resize(64 * 47);
    const ::testing::AssertionResult result = PicturesMatch("support/size", Ramp(), small);
    ASSERT_FALSE(result);
    EXPECT_NE(std::string(result.message()).find("64x47"), std::string::npos) << result.message();
    EXPECT_FALSE(MatchesReference("support/empty", Picture{}));
}

TEST(PictureComparison, AMissingReferenceFailsAndNamesTheUpdateCommand) {
    if (std::getenv("ENGINE_UPDATE_REFERENCES")) GTEST_SKIP() << "it would store the reference";
    const ::testing::AssertionResult result = MatchesReference("support/no-such-picture", Ramp());
    ASSERT_FALSE(result);
    EXPECT_NE(std::string(result.message()).find("tools/update-references.sh"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(FailurePath("support/no-such-picture", "actual")));
}
