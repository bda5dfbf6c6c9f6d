#include "platform/app_window.h"

AppWindow* g_currentWindow = nullptr;

namespace {
const char kClassName[] = "Application";

void SetInactive(AppWindow* window, bool inactive) {
    if (inactive)
        window->flags |= WINDOW_INACTIVE;
    else
        window->flags &= ~static_cast<DWORD>(WINDOW_INACTIVE);
}
}  // namespace

bool AppWindow::zkCreateWindow(const std::string& newTitle, int newWidth, int newHeight, bool fullScreen) {
    zkSetWindowTitle(newTitle);
    width = newWidth;
    height = newHeight;
    instance = GetModuleHandleA(nullptr);
    flags = fullScreen ? WINDOW_FULLSCREEN : WINDOW_WINDOWED;

    classRecord = WNDCLASSEXA{};
    classRecord.cbSize = 48;
    classRecord.style = CS_HREDRAW | CS_VREDRAW;
    classRecord.lpfnWndProc = zkWindowProc;
    classRecord.hInstance = instance;
    classRecord.lpszClassName = kClassName;
    if (!RegisterClassExA(&classRecord)) GetLastError();  // not fatal

    if (fullScreen) {
        style = kFullScreenStyle;
        DEVMODEA mode{};
        if (!EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode)) return false;
        mode.dmPelsWidth = static_cast<DWORD>(width);
        mode.dmPelsHeight = static_cast<DWORD>(height);
        mode.dmBitsPerPel = 32;
        mode.dmDisplayFrequency = 60;
        if (ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN) != DISP_CHANGE_SUCCESSFUL) return false;
    } else {
        style = kWindowedStyle;
    }

    RECT rect{0, 0, width, height};
    AdjustWindowRectEx(&rect, style, FALSE, WS_EX_APPWINDOW);
    // Centred by the client size, not the outer size.
    const int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    window = CreateWindowExA(WS_EX_APPWINDOW, kClassName, title.c_str(), style, x, y, rect.right - rect.left,
                             rect.bottom - rect.top, GetDesktopWindow(), nullptr, instance, nullptr);
    if (!window) return false;
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    return true;
}

void AppWindow::zkSetWindowTitle(const std::string& newTitle) {
    title = newTitle;
    if (window) SetWindowTextA(window, title.c_str());
}

void AppWindow::zkDestroyWindow() {
    if (window) {
        DestroyWindow(window);  // also after the default close handling hid it
        window = nullptr;
    }
    UnregisterClassA(kClassName, instance);
}

LRESULT zkWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    AppWindow* w = g_currentWindow;
    switch (message) {
        case WM_SIZE:
            if (w && wParam == SIZE_MINIMIZED) SetInactive(w, true);
            if (w && (wParam == SIZE_RESTORED || wParam == SIZE_MAXIMIZED)) SetInactive(w, false);
            break;
        case WM_ACTIVATE:
            if (w) SetInactive(w, LOWORD(wParam) == WA_INACTIVE);
            break;
        case WM_ENTERSIZEMOVE:
            if (w) SetInactive(w, true);
            break;
        case WM_EXITSIZEMOVE:
            if (w) SetInactive(w, false);
            break;
        case WM_CLOSE:
        case WM_QUIT:
            PostQuitMessage(0);
            break;
        case WM_KEYDOWN:
            if (w && wParam < 256) w->keyStates[wParam] = w->keyStates[wParam] == KEY_UP ? KEY_PRESSED : KEY_HELD;
            return 0;
        case WM_KEYUP:
            if (w && wParam < 256) w->keyStates[wParam] = KEY_UP;
            return 0;
        case WM_LBUTTONDOWN:
            if (w) w->keyStates[VK_LBUTTON] = 1;
            return 0;
        case WM_LBUTTONUP:
            if (w) w->keyStates[VK_LBUTTON] = 0;
            return 0;
        case WM_RBUTTONDOWN:
            if (w) w->keyStates[VK_RBUTTON] = 1;
            return 0;
        case WM_RBUTTONUP:
            if (w) w->keyStates[VK_RBUTTON] = 0;
            return 0;
        default:
            break;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}
