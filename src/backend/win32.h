// Win32 stand-in over SDL2: the window, message, cursor, message-box, clock
// and display-mode calls the engine makes, with Win32's names and values.
// One SDL event is one window message.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

using DWORD = uint32_t;
using UINT = uint32_t;
using INT = int32_t;
using ULONG = uint32_t;
using LONG = int32_t;
using BOOL = int;
using HRESULT = int32_t;
using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;
using ATOM = uint16_t;

constexpr BOOL TRUE = 1;
constexpr BOOL FALSE = 0;

struct Win32Window;  // backend-owned window record
using HWND = Win32Window*;
using HINSTANCE = void*;

struct RECT {
    LONG left, top, right, bottom;
};

struct POINT {
    LONG x, y;
};

struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
};

using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);

// The fields that matter here; icons, cursor and brush have no stand-in.
struct WNDCLASSEXA {
    UINT cbSize;
    UINT style;
    WNDPROC lpfnWndProc;
    HINSTANCE hInstance;
    const char* lpszClassName;
};

constexpr UINT CS_VREDRAW = 0x1;
constexpr UINT CS_HREDRAW = 0x2;

constexpr DWORD WS_POPUP = 0x80000000u;
constexpr DWORD WS_BORDER = 0x00800000u;
constexpr DWORD WS_SYSMENU = 0x00080000u;
constexpr DWORD WS_CAPTION = 0x00C00000u;
constexpr DWORD WS_THICKFRAME = 0x00040000u;
constexpr DWORD WS_MINIMIZEBOX = 0x00020000u;
constexpr DWORD WS_EX_APPWINDOW = 0x00040000u;

constexpr UINT WM_NULL = 0x0000;
constexpr UINT WM_SIZE = 0x0005;
constexpr UINT WM_ACTIVATE = 0x0006;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT WM_KEYUP = 0x0101;
constexpr UINT WM_SYSKEYDOWN = 0x0104;
constexpr UINT WM_SYSKEYUP = 0x0105;
constexpr UINT WM_MOUSEMOVE = 0x0200;
constexpr UINT WM_LBUTTONDOWN = 0x0201;
constexpr UINT WM_LBUTTONUP = 0x0202;
constexpr UINT WM_RBUTTONDOWN = 0x0204;
constexpr UINT WM_RBUTTONUP = 0x0205;
constexpr UINT WM_ENTERSIZEMOVE = 0x0231;
constexpr UINT WM_EXITSIZEMOVE = 0x0232;

constexpr WPARAM SIZE_RESTORED = 0;
constexpr WPARAM SIZE_MINIMIZED = 1;
constexpr WPARAM SIZE_MAXIMIZED = 2;
constexpr WPARAM SIZE_MAXSHOW = 3;
constexpr WPARAM SIZE_MAXHIDE = 4;
constexpr WPARAM WA_INACTIVE = 0;
constexpr WPARAM WA_ACTIVE = 1;

constexpr UINT PM_NOREMOVE = 0;
constexpr UINT PM_REMOVE = 1;

constexpr int SW_SHOW = 5;
constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;
constexpr int SM_CMONITORS = 80;

constexpr UINT MB_OK = 0x0;
constexpr UINT MB_ICONEXCLAMATION = 0x30;

constexpr int VK_LBUTTON = 0x01;
constexpr int VK_RBUTTON = 0x02;
constexpr int VK_BACK = 0x08;
constexpr int VK_TAB = 0x09;
constexpr int VK_RETURN = 0x0D;
constexpr int VK_SHIFT = 0x10;
constexpr int VK_CONTROL = 0x11;
constexpr int VK_MENU = 0x12;
constexpr int VK_ESCAPE = 0x1B;
constexpr int VK_SPACE = 0x20;
constexpr int VK_PRIOR = 0x21;
constexpr int VK_NEXT = 0x22;
constexpr int VK_HOME = 0x24;
constexpr int VK_LEFT = 0x25;
constexpr int VK_UP = 0x26;
constexpr int VK_RIGHT = 0x27;
constexpr int VK_DOWN = 0x28;
constexpr int VK_F1 = 0x70;
constexpr int VK_OEM_PERIOD = 0xBE;

struct DEVMODEA {
    DWORD dmFields;
    DWORD dmBitsPerPel;
    DWORD dmPelsWidth;
    DWORD dmPelsHeight;
    DWORD dmDisplayFrequency;
};

constexpr DWORD ENUM_CURRENT_SETTINGS = 0xFFFFFFFFu;
constexpr DWORD CDS_FULLSCREEN = 0x4;
constexpr LONG DISP_CHANGE_SUCCESSFUL = 0;
constexpr LONG DISP_CHANGE_BADMODE = -2;
constexpr LONG DISP_CHANGE_FAILED = -1;

inline constexpr WPARAM LOWORD(WPARAM v) { return v & 0xFFFF; }

// Classes and windows. A window is an SDL window with an OpenGL drawable;
// WS_POPUP makes it full screen in the mode of the last ChangeDisplaySettingsA
// (a mode the display does not list is the desktop mode, and the window's
// client area keeps the size asked for, as a driver scaling the mode shows it),
// WS_THICKFRAME lets the user size it. SM_CMONITORS counts the displays of a
// real video driver: 0 under SDL's offscreen and dummy drivers.
HINSTANCE GetModuleHandleA(const char* moduleName);
// The executable's own path; the module handle is ignored (there is only one).
DWORD GetModuleFileNameA(HINSTANCE module, char* fileName, DWORD size);
BOOL SetCurrentDirectoryA(const char* path);
ATOM RegisterClassExA(const WNDCLASSEXA* windowClass);
BOOL UnregisterClassA(const char* className, HINSTANCE instance);
DWORD GetLastError();
BOOL AdjustWindowRectEx(RECT* rect, DWORD style, BOOL menu, DWORD exStyle);
HWND GetDesktopWindow();
HWND CreateWindowExA(DWORD exStyle, const char* className, const char* title, DWORD style, int x, int y,
                     int width, int height, HWND parent, void* menu, HINSTANCE instance, void* param);
BOOL ShowWindow(HWND window, int command);
BOOL UpdateWindow(HWND window);
BOOL DestroyWindow(HWND window);
BOOL IsWindow(HWND window);
BOOL SetWindowTextA(HWND window, const char* text);
BOOL GetClientRect(HWND window, RECT* rect);
int GetSystemMetrics(int index);
BOOL EnumDisplaySettingsA(const char* device, DWORD modeNumber, DEVMODEA* mode);
LONG ChangeDisplaySettingsA(DEVMODEA* mode, DWORD flags);

// Messages. Posted messages come before pending SDL events.
BOOL PeekMessageA(MSG* message, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags);
BOOL TranslateMessage(const MSG* message);
LRESULT DispatchMessageA(const MSG* message);
LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);
BOOL WaitMessage();
// Ends the process at once with code, as Win32 does: output is flushed, but
// no destructors run while other threads (audio) may still use what they free.
[[noreturn]] void ExitProcess(UINT code);

// Cursor: a display counter as in Win32; the cursor shows while it is >= 0.
int ShowCursor(BOOL show);
BOOL GetCursorPos(POINT* point);
BOOL ScreenToClient(HWND window, POINT* point);

// Message boxes print "caption: text" on stderr, and show SDL's box when a
// real display exists and no observer is installed.
int MessageBoxA(HWND owner, const char* text, const char* caption, UINT type);
using MessageBoxObserver = std::function<void(const std::string& text, const std::string& caption, UINT type)>;
void SetMessageBoxObserver(MessageBoxObserver observer);

// Clock. Tests may replace the counter; GetTickCount follows the same clock.
BOOL QueryPerformanceFrequency(int64_t* frequency);
BOOL QueryPerformanceCounter(int64_t* counter);
DWORD GetTickCount();
void SetPerformanceCounterSource(std::function<int64_t()> counter, int64_t frequency);

// Not Win32: the SDL window behind a handle, for the OpenGL backend.
struct SDL_Window;
SDL_Window* SdlWindowOf(HWND window);
