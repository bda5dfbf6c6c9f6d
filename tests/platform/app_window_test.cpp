#include <gtest/gtest.h>

#include "platform/app_window.h"

namespace {

class WindowProc : public ::testing::Test {
protected:
    void SetUp() override { g_currentWindow = &window; }
    void TearDown() override {
        g_currentWindow = nullptr;
        MSG drained;
        while (PeekMessageA(&drained, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
    LRESULT Send(UINT message, WPARAM wParam) { return zkWindowProc(nullptr, message, wParam, 0); }

    AppWindow window;
};

}  // namespace

TEST_F(WindowProc, KeyStatesGoPressedHeldUp) {
    EXPECT_EQ(window.keyStates[VK_ESCAPE], KEY_UP);
    EXPECT_EQ(Send(WM_KEYDOWN, VK_ESCAPE), 0);
    EXPECT_EQ(window.keyStates[VK_ESCAPE], KEY_PRESSED);
    Send(WM_KEYDOWN, VK_ESCAPE);
    EXPECT_EQ(window.keyStates[VK_ESCAPE], KEY_HELD);
    Send(WM_KEYDOWN, VK_ESCAPE);
    EXPECT_EQ(window.keyStates[VK_ESCAPE], KEY_HELD);
    Send(WM_KEYUP, VK_ESCAPE);
    EXPECT_EQ(window.keyStates[VK_ESCAPE], KEY_UP);
    Send(WM_KEYDOWN, VK_ESCAPE);
    EXPECT_EQ(window.keyStates[VK_ESCAPE], KEY_PRESSED);
    Send(WM_KEYDOWN, 0x1234);  // out of the table: ignored
    Send(WM_SYSKEYDOWN, 'A');  // Alt combinations are not keys
    EXPECT_EQ(window.keyStates['A'], KEY_UP);
}

TEST_F(WindowProc, MouseButtonsUseSlotsOneAndTwo) {
    Send(WM_LBUTTONDOWN, 0);
    Send(WM_RBUTTONDOWN, 0);
    EXPECT_EQ(window.keyStates[VK_LBUTTON], 1);
    EXPECT_EQ(window.keyStates[VK_RBUTTON], 1);
    Send(WM_LBUTTONUP, 0);
    EXPECT_EQ(window.keyStates[VK_LBUTTON], 0);
    EXPECT_EQ(window.keyStates[VK_RBUTTON], 1);
    Send(WM_RBUTTONUP, 0);
    EXPECT_EQ(window.keyStates[VK_RBUTTON], 0);
}

TEST_F(WindowProc, InactiveFlagFollowsSizeActivationAndDrag) {
    window.flags = WINDOW_WINDOWED;
    Send(WM_SIZE, SIZE_MINIMIZED);
    EXPECT_EQ(window.flags, WINDOW_WINDOWED | WINDOW_INACTIVE);
    Send(WM_SIZE, SIZE_MAXSHOW);
    Send(WM_SIZE, SIZE_MAXHIDE);
    EXPECT_EQ(window.flags, WINDOW_WINDOWED | WINDOW_INACTIVE);
    Send(WM_SIZE, SIZE_RESTORED);
    EXPECT_EQ(window.flags, WINDOW_WINDOWED);
    Send(WM_SIZE, SIZE_MINIMIZED);
    Send(WM_SIZE, SIZE_MAXIMIZED);
    EXPECT_EQ(window.flags, WINDOW_WINDOWED);
    Send(WM_ACTIVATE, WA_INACTIVE);
    EXPECT_EQ(window.flags, WINDOW_WINDOWED | WINDOW_INACTIVE);
    Send(WM_ACTIVATE, 0x10000 | WA_ACTIVE);
    EXPECT_EQ(window.flags, WINDOW_WINDOWED);
    Send(WM_ACTIVATE, 0x10000);  // low word 0: deactivated
    EXPECT_EQ(window.flags, WINDOW_WINDOWED | WINDOW_INACTIVE);
    Send(WM_ACTIVATE, WA_ACTIVE);
    Send(WM_ENTERSIZEMOVE, 0);
    EXPECT_EQ(window.flags, WINDOW_WINDOWED | WINDOW_INACTIVE);
    Send(WM_EXITSIZEMOVE, 0);
    EXPECT_EQ(window.flags, WINDOW_WINDOWED);
}

TEST_F(WindowProc, CloseAndQuitPostAQuitMessage) {
    Send(WM_CLOSE, 0);
    MSG message{};
    ASSERT_TRUE(PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, WM_QUIT);
    EXPECT_EQ(message.wParam, 0u);
}

TEST_F(WindowProc, InputWithoutCurrentWindowIsIgnored) {
    g_currentWindow = nullptr;
    Send(WM_KEYDOWN, 'A');
    Send(WM_SIZE, SIZE_MINIMIZED);
    EXPECT_EQ(window.keyStates['A'], KEY_UP);
    EXPECT_EQ(window.flags, 0u);
}

TEST(AppWindowCreation, WindowedGetsItsStyleAndTitle) {
    AppWindow window;
    ASSERT_TRUE(window.zkCreateWindow("project", 320, 240, false)) << "no window under this video driver";
    EXPECT_EQ(window.style, 0x00CE0000u);
    EXPECT_EQ(window.flags, static_cast<DWORD>(WINDOW_WINDOWED));
    EXPECT_EQ(window.title, "project");
    EXPECT_EQ(window.classRecord.cbSize, 48u);
    EXPECT_EQ(window.classRecord.style, 3u);
    window.zkSetWindowTitle("Halcyon98Piece");
    EXPECT_EQ(window.title, "Halcyon98Piece");
    window.zkDestroyWindow();
    EXPECT_EQ(window.window, nullptr);
    ASSERT_TRUE(window.zkCreateWindow("again", 320, 240, false));  // the class registers anew
    window.zkDestroyWindow();
}

// Any size plays full screen, scaled on the desktop where the display lacks
// the mode: the client area, which sizes the back buffer, is the size asked.
TEST(AppWindowCreation, FullScreenAtAnySizeKeepsThatClientArea) {
    struct Case {
        int width, height;
        bool created;
    } cases[] = {{640, 480, true}, {12345, 77, true}, {0, 480, false}};
    for (const Case& c : cases) {
        AppWindow window;
        EXPECT_EQ(window.zkCreateWindow("project", c.width, c.height, true), c.created) << c.width;
        EXPECT_EQ(window.style, 0x80880000u);
        EXPECT_EQ(window.flags, static_cast<DWORD>(WINDOW_FULLSCREEN));
        RECT client{};
        EXPECT_EQ(GetClientRect(window.window, &client), c.created ? TRUE : FALSE);
        EXPECT_EQ(client.right, c.created ? c.width : 0);
        EXPECT_EQ(client.bottom, c.created ? c.height : 0);
        window.zkDestroyWindow();
    }
}

TEST(AppWindowCreation, DestroyToleratesAWindowClosedByDefaultHandling) {
    AppWindow window;
    ASSERT_TRUE(window.zkCreateWindow("project", 160, 120, false));
    g_currentWindow = &window;
    DefWindowProcA(window.window, WM_CLOSE, 0, 0);
    window.zkDestroyWindow();
    EXPECT_EQ(window.window, nullptr);
    g_currentWindow = nullptr;
}
