#include "gl_fixture.h"

#include <cstdlib>
#include <cstdio>
#include <string>

#include "gfx2d/immediate_batch.h"
#include "gfx2d/matrix_helpers.h"
#include "test_png.h"

void GlShell::Open(int w, int h, int multisample) {
    width = w, height = h;
    ASSERT_TRUE(window.zkCreateWindow("pixels", w, h, false));
    g_graphics = zkCreateDevice(window.window, w, h, multisample);
    ASSERT_TRUE(g_graphics);
    device = g_graphics->device;
}

void GlShell::TearDown() {
    if (g_graphics) zkDestroyDevice(g_graphics);
    g_graphics = nullptr;
    if (window.window) window.zkDestroyWindow();
}

std::vector<uint32_t> GlShell::Pixels() {
    UINT w = 0, h = 0;
    std::vector<uint32_t> pixels = device->ReadBackBuffer(&w, &h);
    EXPECT_EQ(w, static_cast<UINT>(width));
    EXPECT_EQ(h, static_cast<UINT>(height));
    if (const char* folder = std::getenv("ENGINE_TEST_PNG_DIR")) {
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string(test->test_suite_name()) + "." + test->name();
        for (char& c : name)
            if (c == '/') c = '_';
        WriteTestPng(std::string(folder) + "/" + name + ".png", w, h, pixels);
    }
    pixels.resize(static_cast<size_t>(width) * height);
    return pixels;
}

::testing::AssertionResult ColourNear(uint32_t actual, uint32_t expected, int tolerance) {
    for (int shift = 0; shift < 32; shift += 8) {
        const int a = actual >> shift & 0xFF, e = expected >> shift & 0xFF;
        if (std::abs(a - e) > tolerance) {
            char text[64];
            std::snprintf(text, sizeof text, "#%08X is not near #%08X", actual, expected);
            return ::testing::AssertionFailure() << text;
        }
    }
    return ::testing::AssertionSuccess();
}

void GlShell::OpenIn2D(int w, int h) {
    g_batch = ImmediateBatch{};
    Open(w, h);
    zkSet2D(static_cast<float>(w), static_cast<float>(h));
    device->SetTexture(0, nullptr);
}
