// A window and OpenGL device of a chosen size under the offscreen driver, for
// pixel tests. Set ENGINE_TEST_PNG_DIR to keep each test's last frame as a PNG.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/app_window.h"
#include "platform/graphics_context.h"

class GlShell : public ::testing::Test {
protected:
    void TearDown() override;
    // Opens the window and device; pixel tests call it first.
    void Open(int width, int height, int multisample = 0);
    // Opens and sets up untextured 2D pixel space with a fresh quad batch.
    void OpenIn2D(int width, int height);
    // The back buffer, 0xAARRGGBB, top row first; saved when ENGINE_TEST_PNG_DIR is set.
    std::vector<uint32_t> Pixels();
    uint32_t Pixel(int x, int y) { return Pixels().at(static_cast<size_t>(y) * width + x); }

    AppWindow window;
    IDirect3DDevice9* device = nullptr;
    int width = 0, height = 0;
};

// Channels within a tolerance, for blended or filtered results.
::testing::AssertionResult ColourNear(uint32_t actual, uint32_t expected, int tolerance = 2);
