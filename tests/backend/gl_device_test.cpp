// The OpenGL device, read back as pixels: clears, viewports, multisampling.
#include <gtest/gtest.h>

#include "gl_fixture.h"

namespace {

class GlDevice : public GlShell, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override { Open(64, 48, GetParam()); }
};

}  // namespace

TEST_P(GlDevice, ClearTruncatesColourToBytes) {
    g_graphics->clearColour[0] = 0.5f;
    g_graphics->clearColour[1] = 115.0f / 255.0f;
    g_graphics->clearColour[2] = 1.0f;
    g_graphics->clearColour[3] = 1.0f;
    zkClear();
    EXPECT_EQ(Pixel(0, 0), 0xFF7F73FFu);
    EXPECT_EQ(Pixel(63, 47), 0xFF7F73FFu);
    zkPresent();
}

TEST_P(GlDevice, ClearStaysInsideTheViewportCountedFromTheTop) {
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    const D3DVIEWPORT9 topLeft = {0, 0, 16, 8, 0.0f, 1.0f};
    device->SetViewport(&topLeft);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFFFF0000, 1.0f, 0);
    EXPECT_EQ(Pixel(0, 0), 0xFFFF0000u);
    EXPECT_EQ(Pixel(15, 7), 0xFFFF0000u);
    EXPECT_EQ(Pixel(16, 7), 0xFF000000u);
    EXPECT_EQ(Pixel(15, 8), 0xFF000000u);
    EXPECT_EQ(Pixel(63, 47), 0xFF000000u);
}

INSTANTIATE_TEST_SUITE_P(Multisample, GlDevice, ::testing::Values(0, 2, 4));
