// Pictures compared with the stored references in tests/reference/, the one
// comparison every picture test uses. The tolerance survives a rounding
// difference of a level or two between Mesa builds but not a wrong matrix,
// colour, texture, constant or pass.
//
// ENGINE_UPDATE_REFERENCES=1 (see tools/update-references.sh) makes every
// comparison store the actual picture as the new reference and pass.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

struct Picture {
    uint32_t width = 0, height = 0;
    std::vector<uint32_t> pixels;  // 0xAARRGGBB, top row first; alpha is not compared
};

// The default suits scenes, where a rounding difference can pass through a
// chain of render targets and blur passes and grow by a level or two.
struct PictureTolerance {
    int levels = 3;          // per colour channel, of 255
    double share = 0.0005;   // of the pixels that may differ by more than levels
};
// Pictures drawn straight into the back buffer in one 2D pass (widgets, text,
// the logo): nothing carries a rounding further, so a level less is allowed.
constexpr PictureTolerance kSinglePassTolerance{2, 0.0005};

// The device's back buffer as it is now.
Picture BackBufferPicture();
// A PNG file as a picture; false when it cannot be read.
bool ReadPicture(const std::string& path, Picture* picture);

// Compares actual with tests/reference/<name>.png (name may hold folders),
// as PicturesMatch does.
::testing::AssertionResult MatchesReference(const std::string& name, const Picture& actual,
                                            const PictureTolerance& tolerance = {});

// Passes when at most tolerance.share of the pixels differ by more than
// tolerance.levels in a colour channel. On failure writes <name>-expected.png,
// -actual.png and -difference.png under the build's picture-failures folder
// and names them in the message. In the difference picture red marks pixels
// beyond the tolerance, blue the ones within it; the rest is the expected
// picture, dimmed.
::testing::AssertionResult PicturesMatch(const std::string& name, const Picture& expected, const Picture& actual,
                                         const PictureTolerance& tolerance = {});
