#include "demo_screen.h"

#include <chrono>
#include <thread>

void Pause(int milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

bool Black(const XPicture& picture) {
    for (uint32_t pixel : picture.pixels)
        if (pixel & 0xF0F0F0) return false;
    return true;
}

int OverlayLinePixels(const XPicture& picture) {
    if (picture.height <= 50) return 0;
    int count = 0;
    for (int x = 60; x < 420 && x < picture.width; ++x) {
        const uint32_t pixel = picture.At(x, 50);
        const int red = pixel >> 16 & 0xFF, green = pixel >> 8 & 0xFF;
        if (green > 120 && green > red + 60) ++count;
    }
    return count;
}

LitColumns LitExtent(const XPicture& picture) {
    LitColumns lit;
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x)
            if (picture.At(x, y) & 0xC0C0C0) {
                if (lit.left < 0 || x < lit.left) lit.left = x;
                lit.right = std::max(lit.right, x);
            }
    return lit;
}
