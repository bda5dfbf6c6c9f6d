// The application window: creation with an optional display-mode change, the
// window procedure that keeps the key-state table and the inactive flag.
#pragma once

#include <cstdint>
#include <string>

#include "backend/win32.h"

// Key states: 0 up, 2 pressed since the first key-down, 1 held (auto-repeat seen).
enum KeyState : uint8_t { KEY_UP = 0, KEY_HELD = 1, KEY_PRESSED = 2 };

constexpr DWORD kWindowedStyle = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX;  // 0x00CE0000
constexpr DWORD kFullScreenStyle = WS_POPUP | WS_BORDER | WS_SYSMENU;                      // 0x80880000

enum WindowFlags : DWORD { WINDOW_WINDOWED = 1, WINDOW_FULLSCREEN = 2, WINDOW_INACTIVE = 4 };

struct AppWindow {
    DWORD style = 0;
    WNDCLASSEXA classRecord{};
    HINSTANCE instance = nullptr;
    HWND window = nullptr;
    MSG message{};
    int width = 0;
    int height = 0;
    std::string title;
    DWORD flags = 0;
    uint8_t keyStates[256] = {};

    bool zkCreateWindow(const std::string& title, int width, int height, bool fullScreen);
    void zkSetWindowTitle(const std::string& title);
    void zkDestroyWindow();
};

// The window whose messages are being pumped; set before every PeekMessageA.
extern AppWindow* g_currentWindow;

LRESULT zkWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
