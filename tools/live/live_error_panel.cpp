#include "live_error_panel.h"

#include <algorithm>

#include "gfx2d/bitmap_font.h"
#include "gfx2d/gui_primitives.h"
#include "platform/graphics_context.h"

namespace {

constexpr int kMargin = 8;
constexpr size_t kMaxRows = 16;
constexpr uint32_t kPanelColour = zkPackColour(90, 0, 0, 215);
constexpr uint32_t kEdgeColour = zkPackColour(255, 90, 70, 255);
constexpr uint32_t kTextColour = zkPackColour(255, 235, 220, 255);

size_t Columns(const BitmapFont& font, int width) {
    const float advance = font.glyphSize / font.advanceRatio;
    return static_cast<size_t>(std::max(8.0f, (static_cast<float>(width) - 2 * kMargin) / std::max(advance, 1.0f)));
}

}  // namespace

std::vector<std::string> WrapPanelLines(const std::vector<std::string>& lines, size_t columns, size_t maxRows) {
    std::vector<std::string> rows;
    columns = std::max<size_t>(columns, 1);
    for (const std::string& line : lines)
        for (size_t at = 0; at < line.size() || (at == 0 && line.empty()); at += columns)
            rows.push_back(line.substr(at, columns));
    if (maxRows > 0 && rows.size() > maxRows) {
        const size_t hidden = rows.size() - (maxRows - 1);
        rows.resize(maxRows - 1);
        rows.push_back("... " + std::to_string(hidden) + " more rows");
    }
    return rows;
}

PanelRect ErrorPanelRect(const BitmapFont& font, const std::vector<std::string>& lines, int width) {
    const size_t rows = WrapPanelLines(lines, Columns(font, width), kMaxRows).size();
    if (rows == 0) return {};
    return {0, 0, width, static_cast<int>(rows * font.glyphSize) + 2 * kMargin};
}

void DrawErrorPanel(BitmapFont* font, const std::vector<std::string>& lines, int width) {
    const PanelRect rect = ErrorPanelRect(*font, lines, width);
    if (rect.height == 0) return;
    g_graphics->device->SetTexture(0, nullptr);
    zkFillRect(rect.x, rect.y, rect.width, rect.height, kPanelColour);
    zkFillRect(rect.x, rect.y + rect.height - 2, rect.width, 2, kEdgeColour);
    // The font centres the first line on y.
    float y = static_cast<float>(kMargin) + font->glyphSize / 2;
    for (const std::string& row : WrapPanelLines(lines, Columns(*font, width), kMaxRows)) {
        zkPrint(font, static_cast<float>(kMargin), y, kTextColour, "%s", row.c_str());
        y += font->glyphSize;
    }
    g_graphics->device->SetTexture(0, nullptr);
}
