// The panel over the top of the picture that shows the faults of the files
// that failed to load, wrapped to the picture's width.
#pragma once

#include <string>
#include <vector>

struct BitmapFont;

struct PanelRect {
    int x = 0, y = 0, width = 0, height = 0;
};

// Lines cut at columns characters, at most maxRows rows; the last row says
// how many more there were.
std::vector<std::string> WrapPanelLines(const std::vector<std::string>& lines, size_t columns, size_t maxRows);
// Where the panel for these lines goes on a picture width pixels wide;
// empty (height 0) without lines.
PanelRect ErrorPanelRect(const BitmapFont& font, const std::vector<std::string>& lines, int width);
// In 2D pixel space (zkSet2D), over the picture; nothing without lines.
void DrawErrorPanel(BitmapFont* font, const std::vector<std::string>& lines, int width);
