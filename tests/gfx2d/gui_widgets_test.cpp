// Widgets driven by synthetic mouse input: what counts as a click, disabled
// styles, list stepping, toggle parity and the colour arithmetic.
#include "gfx2d/gui_widgets.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "gfx2d/gui_primitives.h"
#include "gfx2d/immediate_batch.h"
#include "platform/demo_app.h"
#include "recording_fixture.h"
#include "synthetic_input.h"

namespace {

constexpr const char* kThree = "|one|two|three|";

class Widgets : public RecordingShell {
protected:
    void SetUp() override {
        RecordingShell::SetUp();
        window = g_demoApp->window;
        ASSERT_TRUE(window->zkCreateWindow("project", 350, 290, false));
        PumpMessages(window);
        style = zkInitGuiStyle(window, &font);
    }
    // One frame of a screen with a button at x 10 and a list at (10, 228):
    // the pending input, the widgets, the end of the frame.
    int ButtonFrame() {
        TakeMessage(window);
        const int clicked = zkButton(&style, "Run", 10);
        zkOptionList(&style, kThree, 10, 228, 330, &index);
        zkGuiEndFrame(&style);
        return clicked;
    }
    int ButtonFrames(int count) {
        int clicks = 0;
        for (int i = 0; i < count; ++i) clicks += ButtonFrame();
        return clicks;
    }
    AppWindow* window = nullptr;
    BitmapFont font{8, 8, 16, 2, 0, nullptr};
    GuiStyle style;
    int index = 0;
};

}  // namespace

TEST_F(Widgets, PressAndReleaseOverTheButtonClicks) {
    PushMouseMove(50, 275);
    EXPECT_EQ(ButtonFrame(), 0);
    EXPECT_EQ(style.hover, 0);  // reset by the end of the frame
    PushMouseButton(true, 50, 275);
    EXPECT_EQ(ButtonFrame(), 0);
    EXPECT_EQ(style.pressed, 1);
    PushMouseButton(false, 50, 275);
    EXPECT_EQ(ButtonFrame(), 1);
    EXPECT_EQ(ButtonFrame(), 0);
}

TEST_F(Widgets, APressThatStartsOutsideOrLeavesClicksNothing) {
    PushMouseMove(200, 100);
    PushMouseButton(true, 200, 100);
    PushMouseMove(50, 275);
    PushMouseButton(false, 50, 275);
    EXPECT_EQ(ButtonFrames(4), 0);

    // Pressed on the button, dragged away and back: cancelled on the way.
    PushMouseButton(true, 50, 275);
    PushMouseMove(200, 100);
    PushMouseMove(50, 275);
    PushMouseButton(false, 50, 275);
    EXPECT_EQ(ButtonFrames(4), 0);

    // A plain click afterwards works.
    PushClick(50, 275);
    EXPECT_EQ(ButtonFrames(3), 1);
}

TEST_F(Widgets, DisabledStyleNeverActivatesNorHovers) {
    style.enabled = 0;
    PushClick(50, 275);
    PushClick(50, 235);
    int clicks = 0, hovered = 0;
    for (int frame = 0; frame < 6; ++frame) {
        TakeMessage(window);
        clicks += zkButton(&style, "Run", 10) + zkOptionList(&style, kThree, 10, 228, 330, &index);
        hovered += style.hover;
        zkGuiEndFrame(&style);
    }
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(hovered, 0);
    EXPECT_EQ(index, 0);
}

TEST_F(Widgets, ListsStepAndWrapTogglesFlipByParity) {
    index = 2;
    PushClick(100, 235);
    ButtonFrames(3);
    EXPECT_EQ(index, 0);
    PushClick(100, 235);
    ButtonFrames(3);
    EXPECT_EQ(index, 1);

    int results[3] = {};
    for (int state : {1, 0, 2}) {
        int toggled = state;
        PushClick(50, 215);
        int last = 0;
        for (int frame = 0; frame < 3; ++frame) {
            TakeMessage(window);
            last = std::max(last, zkFullscreenToggle(&style, &toggled));
            zkGuiEndFrame(&style);
        }
        results[state] = toggled;
        EXPECT_EQ(last, 2);
    }
    EXPECT_EQ(results[1], 0);
    EXPECT_EQ(results[0], 1);
    EXPECT_EQ(results[2], 3);
}

TEST(GuiValues, ScaleColourWrapsAndListItemsSplit) {
    const uint32_t base = zkPackColour(130, 130, 130, 255);
    EXPECT_EQ(zkScaleColour(base, 1.2f), zkPackColour(156, 156, 156, 50));
    EXPECT_EQ(zkScaleColour(base, 0.41f), zkPackColour(53, 53, 53, 104));
    EXPECT_EQ(zkScaleColour(base, -1e30f), 0u);

    char item[128] = "untouched";
    EXPECT_TRUE(zkListItem("|a|bc|", 0, item));
    EXPECT_STREQ(item, "a");
    EXPECT_TRUE(zkListItem("|a|bc|", 1, item));
    EXPECT_STREQ(item, "bc");
    EXPECT_FALSE(zkListItem("|a|bc|", 2, item));
    EXPECT_STREQ(item, "bc");
    const std::string longItem = "|" + std::string(300, 'x') + "|";
    EXPECT_TRUE(zkListItem(longItem.c_str(), 0, item));
    EXPECT_EQ(std::string(item).size(), 127u);
}
