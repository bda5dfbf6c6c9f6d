// Where Present puts the back buffer in the window's drawable.
#pragma once

#include <algorithm>

struct PresentArea {
    int x = 0, y = 0, width = 0, height = 0;  // GL window coordinates, from the bottom left
    bool bars = false;                        // the rest of the drawable is cleared black
};

// A window stretches the picture over its client area, as Direct3D presents
// to a resized window. Full screen keeps the picture's shape: scaled to fit
// and centred, with black bars where the screen's shape differs.
inline PresentArea PresentAreaFor(int pictureWidth, int pictureHeight, int drawableWidth, int drawableHeight,
                                  bool fullScreen) {
    if (!fullScreen || pictureWidth <= 0 || pictureHeight <= 0) return {0, 0, drawableWidth, drawableHeight, false};
    // Compared crosswise in 64 bits: the side that limits the scale.
    const long long across = static_cast<long long>(drawableWidth) * pictureHeight;
    const long long down = static_cast<long long>(drawableHeight) * pictureWidth;
    int width = drawableWidth, height = drawableHeight;
    if (across > down)
        width = static_cast<int>(down / pictureHeight);
    else
        height = static_cast<int>(across / pictureWidth);
    width = std::max(width, 1), height = std::max(height, 1);
    const int x = (drawableWidth - width) / 2, y = (drawableHeight - height) / 2;
    return {x, y, width, height, width != drawableWidth || height != drawableHeight};
}
