// Immediate-mode widgets of the configuration screen: each call reads the
// mouse, draws the widget in its state and reports activation.
#pragma once

#include <cstdint>

#include "gfx2d/bitmap_font.h"
#include "platform/app_window.h"

// Hover and press are shared by all widgets of a style, not kept per widget.
struct GuiStyle {
    AppWindow* window = nullptr;
    BitmapFont* font = nullptr;
    uint8_t hover = 0;
    uint8_t pressed = 0;
    uint8_t pressOutside = 0;  // the button went down over no widget
    uint8_t enabled = 1;
    uint32_t baseColour = 0;
    uint32_t highlightColour = 0;
};

GuiStyle zkInitGuiStyle(AppWindow* window, BitmapFont* font);

// Item index of a list written "|first|second|"; false, item untouched, past
// the last. item holds 128 bytes; longer items are cut.
bool zkListItem(const char* list, int index, char* item);

// 1 when clicked this frame. The button sits at (x, 268), 90 x 15.
int zkButton(GuiStyle* style, const char* label, int x);
// 0, 1 while pressed, 2 when *state flipped this frame; odd is on.
int zkFullscreenToggle(GuiStyle* style, int* state);
// 1 when *index stepped to the next item (wrapping) this frame.
int zkOptionList(GuiStyle* style, const char* list, int x, int y, int width, int* index);
// After all widgets of a frame: a frame without hover cancels the press.
void zkGuiEndFrame(GuiStyle* style);
