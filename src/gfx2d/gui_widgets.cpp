#include "gfx2d/gui_widgets.h"

#include <algorithm>
#include <cstring>

#include "gfx2d/gui_primitives.h"

namespace {

constexpr uint32_t kDarkLabel = zkPackColour(1, 1, 1, 255);
constexpr uint32_t kLightLabel = zkPackColour(255, 255, 255, 255);
constexpr size_t kItemSize = 128;

struct Box {
    int x0, y0, x1, y1;
};

bool ButtonDown(const GuiStyle* style) { return style->window->keyStates[VK_LBUTTON] == 1; }

// Enabled and the cursor within the box, bounds included.
bool Inside(const GuiStyle* style, const Box& box) {
    if (!style->enabled) return false;
    POINT cursor{};
    GetCursorPos(&cursor);
    ScreenToClient(style->window->window, &cursor);
    return cursor.x >= box.x0 && cursor.x <= box.x1 && cursor.y >= box.y0 && cursor.y <= box.y1;
}

// The press and release steps every widget shares; true on activation.
struct Interaction {
    bool pressed = false;
    bool activated = false;
};
Interaction Interact(GuiStyle* style, bool inside) {
    Interaction result;
    if (!style->enabled) return result;
    if (ButtonDown(style)) {
        if (!style->pressOutside && inside) {
            style->pressed = 1;
            result.pressed = true;
        }
    } else {
        if (inside && style->pressed) {
            style->hover = 0;
            style->pressed = 0;
            result.activated = true;
        }
        style->pressOutside = 0;
    }
    return result;
}

void DrawBevel(const GuiStyle* style, const Box& b) {
    const uint32_t base = style->baseColour;
    zkDrawLine(b.x0, b.y0, b.x1 + 1, b.y0, base);
    zkDrawLine(b.x0, b.y0, b.x0, b.y1, base);
    zkDrawLine(b.x0, b.y1, b.x1, b.y1, zkScaleColour(base, 0.61f));
    zkDrawLine(b.x1, b.y0, b.x1, b.y1, zkScaleColour(base, 0.61f));
    zkDrawLine(b.x0 - 1, b.y0 - 1, b.x1 + 2, b.y0 - 1, zkScaleColour(base, 0.41f));
    zkDrawLine(b.x0 - 1, b.y0 - 1, b.x0 - 1, b.y1 + 1, zkScaleColour(base, 0.41f));
    zkDrawLine(b.x0 - 1, b.y1 + 1, b.x1 + 1, b.y1 + 1, zkScaleColour(base, 1.2f));
    zkDrawLine(b.x1 + 1, b.y0 - 1, b.x1 + 1, b.y1 + 1, zkScaleColour(base, 1.2f));
}

void Label(const GuiStyle* style, float x, float y, uint32_t colour, const char* text) {
    style->font->flags = FONT_CENTRE | FONT_CENTRE_FIRST_LINE_VERTICALLY;
    zkPrint(style->font, x, y, colour, "%s", text);
}

uint32_t Dimmed(uint32_t colour) { return zkScaleColour(colour, 0.89f); }
uint32_t Transparent(uint32_t colour) { return colour & 0x00FFFFFFu; }

// The raised look under the cursor: a slightly shorter body and a gloss on top.
void DrawRaised(const GuiStyle* style, int x, int y, int width) {
    zkGradientRect(x, y, width, 14, style->baseColour, Dimmed(style->baseColour));
    zkGradientRect(x, y, width, 6, style->highlightColour, Transparent(style->highlightColour));
}

// The sunken look: body shaded upwards and the gloss at the bottom.
void DrawSunken(const GuiStyle* style, int x, int y, int width) {
    zkGradientRect(x, y, width, 15, Dimmed(style->baseColour), style->baseColour);
    zkGradientRect(x, y + 7, width, 7, Transparent(style->highlightColour), style->highlightColour);
}

}  // namespace

GuiStyle zkInitGuiStyle(AppWindow* window, BitmapFont* font) {
    GuiStyle style;
    style.window = window;
    style.font = font;
    style.baseColour = zkPackColour(130, 130, 130, 255);
    style.highlightColour = zkPackColour(150, 150, 150, 255);
    return style;
}

bool zkListItem(const char* list, int index, char* item) {
    if (!list || index < 0) return false;
    const char* start = std::strchr(list, '|');
    for (int i = 0; start && i < index; ++i) start = std::strchr(start + 1, '|');
    if (!start) return false;
    const char* end = std::strchr(start + 1, '|');
    if (!end) return false;
    const size_t length = std::min(static_cast<size_t>(end - start - 1), kItemSize - 1);
    std::memcpy(item, start + 1, length);
    item[length] = '\0';
    return true;
}

int zkButton(GuiStyle* style, const char* label, int x) {
    const Box box{x, 268, x + 90, 283};
    const bool inside = Inside(style, box);
    if (inside) {
        DrawRaised(style, x, 268, 90);
        style->hover = 1;
    } else {
        zkGradientRect(x, 268, 90, 15, style->baseColour, Dimmed(style->baseColour));
    }
    Label(style, x + 45.0f, 275.0f, kDarkLabel, label);
    const Interaction interaction = Interact(style, inside);
    if (interaction.pressed) {
        DrawSunken(style, x, 268, 90);
        Label(style, x + 45.0f, 276.0f, kLightLabel, label);
    }
    DrawBevel(style, box);
    return interaction.activated ? 1 : 0;
}

int zkFullscreenToggle(GuiStyle* style, int* state) {
    const Box box{10, 208, 110, 223};
    const bool on = *state % 2 != 0;
    const uint32_t base = style->baseColour, highlight = style->highlightColour;
    if (on)
        zkGradientRect(10, 208, 100, 15, Dimmed(base), base);
    else
        zkGradientRect(10, 208, 100, 15, base, Dimmed(base));
    const bool inside = Inside(style, box);
    if (inside) {
        style->hover = 1;
        if (on)
            zkGradientRect(10, 215, 100, 6, Transparent(highlight), highlight);
        else
            DrawRaised(style, 10, 208, 100);
    }
    int result = 0;
    const Interaction interaction = Interact(style, inside);
    if (interaction.pressed) {
        DrawSunken(style, 10, 208, 100);
        result = 1;
    }
    if (interaction.activated) {
        *state += on ? -1 : 1;
        result = 2;
    }
    DrawBevel(style, box);
    if (*state % 2 != 0)
        Label(style, 61.0f, 216.0f, zkPackColour(255, 255, 255, 190), "Fullscreen");
    else
        Label(style, 60.0f, 215.0f, kDarkLabel, "Fullscreen");
    return result;
}

int zkOptionList(GuiStyle* style, const char* list, int x, int y, int width, int* index) {
    char item[kItemSize] = {};
    zkListItem(list, *index, item);
    const Box box{x, y, x + width, y + 15};
    const bool inside = Inside(style, box);
    if (inside) {
        DrawRaised(style, x, y, width);
        zkArrowLeft(x + 2, y + 1, zkPackColour(80, 80, 80, 100));
        zkArrowRight(x + width - 12, y + 1, zkPackColour(80, 80, 80, 100));
        Label(style, static_cast<float>(x + width / 2), y + 7.0f, kDarkLabel, item);
        style->hover = 1;
    } else {
        zkGradientRect(x, y, width, 15, style->baseColour, Dimmed(style->baseColour));
        Label(style, x + width * 0.5f, y + 7.0f, kDarkLabel, item);
        zkArrowLeft(x + 2, y + 1, zkPackColour(50, 50, 50, 100));
        zkArrowRight(x + width - 12, y + 1, zkPackColour(50, 50, 50, 100));
    }
    const Interaction interaction = Interact(style, inside);
    if (interaction.pressed) {
        zkGradientRect(x, y, width, 15, Dimmed(style->baseColour), style->baseColour);
        zkGradientRect(x, y, width, 7, Transparent(style->highlightColour), style->highlightColour);
        zkArrowLeft(x + 2, y + 2, zkPackColour(50, 50, 50, 155));
        zkArrowRight(x + width - 12, y + 2, zkPackColour(50, 50, 50, 155));
        Label(style, static_cast<float>(x + width / 2), y + 8.0f, kLightLabel, item);
    }
    if (interaction.activated) {
        char next[kItemSize];
        *index = zkListItem(list, *index + 1, next) ? *index + 1 : 0;
    }
    DrawBevel(style, box);
    return interaction.activated ? 1 : 0;
}

void zkGuiEndFrame(GuiStyle* style) {
    if (!style->hover) {
        style->pressed = 0;
        style->pressOutside = 1;
    }
    style->hover = 0;
}
