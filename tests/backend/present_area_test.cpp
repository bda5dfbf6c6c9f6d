#include "backend/present_area.h"

#include <gtest/gtest.h>

TEST(PresentArea, FullScreenKeepsTheShapeCentredAWindowStretches) {
    struct Case {
        int pictureWidth, pictureHeight, drawableWidth, drawableHeight;
        bool fullScreen;
        PresentArea expected;
    } cases[] = {
        {640, 480, 1600, 900, true, {200, 0, 1200, 900, true}},     // bars left and right
        {640, 480, 1920, 1080, true, {240, 0, 1440, 1080, true}},   // XWayland's desktop-sized window
        {800, 600, 1280, 1024, true, {0, 32, 1280, 960, true}},     // bars above and below
        {640, 480, 640, 480, true, {0, 0, 640, 480, false}},        // the mode was switched
        {1280, 720, 640, 480, true, {0, 60, 640, 360, true}},       // larger than the screen
        {640, 480, 960, 720, false, {0, 0, 960, 720, false}},       // a resized window stretches
        {640, 480, 1000, 300, false, {0, 0, 1000, 300, false}},
        {1, 16384, 16384, 1, true, {8191, 0, 1, 1, true}},          // never less than a pixel
    };
    for (const Case& c : cases) {
        const PresentArea area =
            PresentAreaFor(c.pictureWidth, c.pictureHeight, c.drawableWidth, c.drawableHeight, c.fullScreen);
        SCOPED_TRACE(std::to_string(c.pictureWidth) + "x" + std::to_string(c.pictureHeight) + " in " +
                     std::to_string(c.drawableWidth) + "x" + std::to_string(c.drawableHeight));
        EXPECT_EQ(area.x, c.expected.x);
        EXPECT_EQ(area.y, c.expected.y);
        EXPECT_EQ(area.width, c.expected.width);
        EXPECT_EQ(area.height, c.expected.height);
        EXPECT_EQ(area.bars, c.expected.bars);
    }
}
