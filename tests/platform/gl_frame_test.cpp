// The frame operations on the OpenGL device, read back as pixels.
#include <gtest/gtest.h>

#include "platform/app_window.h"
#include "platform/graphics_context.h"

TEST(GlFrame, ClearTruncatesToBytesAndPresents) {
    AppWindow window;
    ASSERT_TRUE(window.zkCreateWindow("project", 64, 48, false));
    g_graphics = zkCreateDevice(window.window, 64, 48, 0);

    g_graphics->clearColour[0] = 0.5f;
    g_graphics->clearColour[1] = 115.0f / 255.0f;
    g_graphics->clearColour[2] = 1.0f;
    g_graphics->clearColour[3] = 1.0f;
    zkClear();
    UINT width = 0, height = 0;
    std::vector<uint32_t> pixels = g_graphics->device->ReadBackBuffer(&width, &height);
    ASSERT_EQ(width, 64u);
    ASSERT_EQ(height, 48u);
    EXPECT_EQ(pixels.front(), 0xFF7F73FFu);
    EXPECT_EQ(pixels.back(), 0xFF7F73FFu);
    zkPresent();

    zkDestroyDevice(g_graphics);
    g_graphics = nullptr;
    window.zkDestroyWindow();
}
