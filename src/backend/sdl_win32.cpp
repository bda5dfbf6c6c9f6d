// Win32 over SDL2: windows, the message queue, cursor, message boxes, clock.
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <map>
#include <set>
#include <string>

#include <unistd.h>

#include "backend/sdl_subsystem.h"
#include "backend/win32.h"

struct Win32Window {
    SDL_Window* sdl = nullptr;
    WNDPROC procedure = nullptr;
    bool closed = false;  // the default close handling hid it
    // A full-screen window's client area is the size asked for, whatever
    // size the desktop or a compositor gives the SDL window.
    int fullScreenWidth = 0, fullScreenHeight = 0;
};

namespace {

std::map<std::string, WNDPROC> g_classes;
std::set<Win32Window*> g_windows;
std::deque<MSG> g_posted;
DWORD g_lastError = 0;
int g_cursorCount = 0;
bool g_fullScreenModeSet = false;
SDL_DisplayMode g_fullScreenMode{};
MessageBoxObserver g_messageBoxObserver;
std::function<int64_t()> g_counter;
int64_t g_counterFrequency = 0;
// Screen position of the last mouse event: synthetic events move the cursor
// too, which SDL's own mouse state would not show.
POINT g_cursor{};

bool VideoReady() {
    if (SDL_WasInit(SDL_INIT_VIDEO)) return true;
    // SDL 2.26 keeps a libdecor frame alive over a destroyed window, and the
    // next event poll crashes in it; without libdecor a Wayland window has
    // the compositor's decorations, or none.
    SDL_SetHint(SDL_HINT_VIDEO_WAYLAND_ALLOW_LIBDECOR, "0");
    if (!InitSdlSubsystem(SDL_INIT_VIDEO)) return false;
    // SDL starts text input with video. The demo reads keys only, and a text
    // event after every auto-repeat is one more event per repeat to sort out.
    SDL_StopTextInput();
    return true;
}

// An event naming no window of ours (a synthetic one) belongs to the only
// window there is, as input goes to the focused window.
HWND WindowOfId(Uint32 id) {
    SDL_Window* sdl = SDL_GetWindowFromID(id);
    for (Win32Window* window : g_windows)
        if (window->sdl == sdl) return window;
    return !sdl && g_windows.size() == 1 ? *g_windows.begin() : nullptr;
}

WPARAM VirtualKey(SDL_Keycode key) {
    if (key >= SDLK_a && key <= SDLK_z) return 0x41 + (key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9) return 0x30 + (key - SDLK_0);
    if (key >= SDLK_F1 && key <= SDLK_F12) return VK_F1 + (key - SDLK_F1);
    if (key >= SDLK_KP_1 && key <= SDLK_KP_9) return 0x61 + (key - SDLK_KP_1);
    switch (key) {
        case SDLK_KP_0: return 0x60;
        case SDLK_ESCAPE: return VK_ESCAPE;
        case SDLK_RETURN: return VK_RETURN;
        case SDLK_SPACE: return VK_SPACE;
        case SDLK_TAB: return VK_TAB;
        case SDLK_BACKSPACE: return VK_BACK;
        case SDLK_LEFT: return VK_LEFT;
        case SDLK_UP: return VK_UP;
        case SDLK_RIGHT: return VK_RIGHT;
        case SDLK_DOWN: return VK_DOWN;
        case SDLK_PAGEUP: return VK_PRIOR;
        case SDLK_PAGEDOWN: return VK_NEXT;
        case SDLK_HOME: return VK_HOME;
        case SDLK_PERIOD: return VK_OEM_PERIOD;
        case SDLK_LSHIFT:
        case SDLK_RSHIFT: return VK_SHIFT;
        case SDLK_LCTRL:
        case SDLK_RCTRL: return VK_CONTROL;
        case SDLK_LALT:
        case SDLK_RALT: return VK_MENU;
        default: return 0;
    }
}

LPARAM PointParameter(int x, int y) { return static_cast<LPARAM>((x & 0xFFFF) | ((y & 0xFFFF) << 16)); }

void TrackCursor(HWND window, int x, int y) {
    int left = 0, top = 0;
    if (window) SDL_GetWindowPosition(window->sdl, &left, &top);
    g_cursor = {left + x, top + y};
}

// Leaving the window sends no motion inside it; Win32's cursor position is
// where the pointer really is, outside, so no widget stays under it.
void TrackCursorOutside() {
    int x = 0, y = 0;
    SDL_GetGlobalMouseState(&x, &y);
    g_cursor = {x, y};
}

// One SDL event becomes at most one message; untranslated events are WM_NULL.
MSG Translate(const SDL_Event& event) {
    MSG message{};
    message.time = event.common.timestamp;
    switch (event.type) {
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            const WPARAM key = VirtualKey(event.key.keysym.sym);
            if (!key) break;
            const bool alt = (event.key.keysym.mod & KMOD_ALT) != 0;
            const bool down = event.type == SDL_KEYDOWN;
            message.hwnd = WindowOfId(event.key.windowID);
            message.message = alt ? (down ? WM_SYSKEYDOWN : WM_SYSKEYUP) : (down ? WM_KEYDOWN : WM_KEYUP);
            message.wParam = key;
            break;
        }
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
            const bool down = event.type == SDL_MOUSEBUTTONDOWN;
            if (event.button.button == SDL_BUTTON_LEFT)
                message.message = down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
            else if (event.button.button == SDL_BUTTON_RIGHT)
                message.message = down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
            else
                break;
            message.hwnd = WindowOfId(event.button.windowID);
            message.lParam = PointParameter(event.button.x, event.button.y);
            TrackCursor(message.hwnd, event.button.x, event.button.y);
            break;
        }
        case SDL_MOUSEMOTION:
            message.hwnd = WindowOfId(event.motion.windowID);
            message.message = WM_MOUSEMOVE;
            message.lParam = PointParameter(event.motion.x, event.motion.y);
            TrackCursor(message.hwnd, event.motion.x, event.motion.y);
            break;
        case SDL_WINDOWEVENT: {
            HWND window = WindowOfId(event.window.windowID);
            switch (event.window.event) {
                case SDL_WINDOWEVENT_MINIMIZED: message = {window, WM_SIZE, SIZE_MINIMIZED, 0, 0}; break;
                case SDL_WINDOWEVENT_RESTORED: message = {window, WM_SIZE, SIZE_RESTORED, 0, 0}; break;
                case SDL_WINDOWEVENT_MAXIMIZED: message = {window, WM_SIZE, SIZE_MAXIMIZED, 0, 0}; break;
                case SDL_WINDOWEVENT_FOCUS_GAINED: message = {window, WM_ACTIVATE, WA_ACTIVE, 0, 0}; break;
                case SDL_WINDOWEVENT_FOCUS_LOST: message = {window, WM_ACTIVATE, WA_INACTIVE, 0, 0}; break;
                case SDL_WINDOWEVENT_CLOSE: message = {window, WM_CLOSE, 0, 0, 0}; break;
                case SDL_WINDOWEVENT_LEAVE: TrackCursorOutside(); break;
                default: break;
            }
            break;
        }
        default:
            break;
    }
    return message;
}

bool SameRun(const SDL_Event& event, const SDL_Event& next) {
    return event.type == SDL_KEYDOWN && event.key.repeat && next.type == SDL_KEYDOWN && next.key.repeat &&
           next.key.keysym.sym == event.key.keysym.sym;
}

bool ReleaseOf(const SDL_Event& event, const SDL_Event& next) {
    return next.type == SDL_KEYUP && next.key.keysym.sym == event.key.keysym.sym;
}

// Win32 folds a key's auto-repeats into one message while the program is
// slower than the keyboard; a loop taking one message a frame would otherwise
// fall behind a held key by seconds. Events between two repeats that make no
// message (text, key maps, window moves) do not break the run: they are
// taken with it, as they would be taken at no cost anyway. Repeats already
// followed by the key's release are dropped: the program would spend a frame
// on a key that is up. False when the event makes no message.
bool Coalesce(SDL_Event* event) {
    if (event->type != SDL_KEYDOWN || !event->key.repeat) return true;
    SDL_Event next;
    while (SDL_PeepEvents(&next, 1, SDL_PEEKEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) == 1) {
        if (ReleaseOf(*event, next)) return false;
        const bool sameRun = SameRun(*event, next);
        if (!sameRun && Translate(next).message != WM_NULL) break;
        SDL_PeepEvents(&next, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT);
        if (sameRun) *event = next;
    }
    return true;
}

bool RealDisplay() {
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driver) driver = std::getenv("SDL_VIDEODRIVER");
    if (driver && std::strcmp(driver, "x11") != 0 && std::strcmp(driver, "wayland") != 0) return false;
    return std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY");
}

// A driver that shows nothing to anyone: SDL falls back to it without a display.
bool HeadlessDriver() {
    const char* driver = SDL_GetCurrentVideoDriver();
    return !driver || std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0;
}

}  // namespace

HINSTANCE GetModuleHandleA(const char*) {
    static int module;
    return &module;
}

DWORD GetModuleFileNameA(HINSTANCE, char* fileName, DWORD size) {
    if (!fileName || size == 0) return 0;
    const ssize_t length = readlink("/proc/self/exe", fileName, size - 1);
    if (length < 0) return 0;
    fileName[length] = '\0';
    return static_cast<DWORD>(length);
}

BOOL SetCurrentDirectoryA(const char* path) { return path && chdir(path) == 0 ? TRUE : FALSE; }

ATOM RegisterClassExA(const WNDCLASSEXA* windowClass) {
    if (!windowClass || !windowClass->lpszClassName || g_classes.count(windowClass->lpszClassName)) {
        g_lastError = 1410;  // ERROR_CLASS_ALREADY_EXISTS
        return 0;
    }
    g_classes[windowClass->lpszClassName] = windowClass->lpfnWndProc;
    return 1;
}

BOOL UnregisterClassA(const char* className, HINSTANCE) { return className && g_classes.erase(className) ? TRUE : FALSE; }

DWORD GetLastError() { return g_lastError; }

// SDL sizes windows by their client area, so there is no frame to add.
BOOL AdjustWindowRectEx(RECT*, DWORD, BOOL, DWORD) { return TRUE; }

HWND GetDesktopWindow() { return nullptr; }

HWND CreateWindowExA(DWORD, const char* className, const char* title, DWORD style, int x, int y, int width,
                     int height, HWND, void*, HINSTANCE, void*) {
    auto found = className ? g_classes.find(className) : g_classes.end();
    if (found == g_classes.end() || !VideoReady()) return nullptr;
    const bool fullScreen = (style & WS_POPUP) != 0;
    const bool scaled = fullScreen && !g_fullScreenModeSet;
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
    if (fullScreen) flags |= scaled ? SDL_WINDOW_FULLSCREEN_DESKTOP : SDL_WINDOW_FULLSCREEN;
    if (style & WS_THICKFRAME) flags |= SDL_WINDOW_RESIZABLE;
    // Made as large as the screen, it covers it also where no window
    // manager is there to make it full screen.
    SDL_Rect bounds{x, y, width, height};
    if (scaled) SDL_GetDisplayBounds(0, &bounds);
    SDL_Window* sdl = SDL_CreateWindow(title ? title : "", bounds.x, bounds.y, bounds.w, bounds.h, flags);
    if (!sdl) {
        std::fprintf(stderr, "CreateWindowExA: %s\n", SDL_GetError());
        return nullptr;
    }
    if (fullScreen && g_fullScreenModeSet) SDL_SetWindowDisplayMode(sdl, &g_fullScreenMode);
    auto* window = new Win32Window{sdl, found->second, false};
    if (fullScreen) window->fullScreenWidth = width, window->fullScreenHeight = height;
    g_windows.insert(window);
    return window;
}

BOOL ShowWindow(HWND window, int) {
    if (!IsWindow(window)) return FALSE;
    SDL_ShowWindow(window->sdl);
    // SW_SHOW activates the window: it comes to the front and takes the
    // keyboard, with or without a window manager to hand it over.
    SDL_RaiseWindow(window->sdl);
    SDL_SetWindowInputFocus(window->sdl);
    return TRUE;
}

BOOL UpdateWindow(HWND window) { return IsWindow(window); }

BOOL DestroyWindow(HWND window) {
    if (!window || !g_windows.erase(window)) return FALSE;
    SDL_DestroyWindow(window->sdl);
    delete window;
    return TRUE;
}

BOOL IsWindow(HWND window) { return window && g_windows.count(window) && !window->closed; }

BOOL SetWindowTextA(HWND window, const char* text) {
    if (!window || !g_windows.count(window)) return FALSE;
    SDL_SetWindowTitle(window->sdl, text ? text : "");
    return TRUE;
}

BOOL GetClientRect(HWND window, RECT* rect) {
    if (!window || !g_windows.count(window) || !rect) return FALSE;
    int width = window->fullScreenWidth, height = window->fullScreenHeight;
    if (!width || !height) SDL_GetWindowSize(window->sdl, &width, &height);
    *rect = RECT{0, 0, width, height};
    return TRUE;
}

int GetSystemMetrics(int index) {
    SDL_DisplayMode mode{};
    if (!VideoReady() || SDL_GetDesktopDisplayMode(0, &mode) != 0) return 0;
    if (index == SM_CXSCREEN) return mode.w;
    if (index == SM_CYSCREEN) return mode.h;
    if (index == SM_CMONITORS) return HeadlessDriver() ? 0 : SDL_GetNumVideoDisplays();
    return 0;
}

BOOL EnumDisplaySettingsA(const char*, DWORD modeNumber, DEVMODEA* mode) {
    SDL_DisplayMode current{};
    if (modeNumber != ENUM_CURRENT_SETTINGS || !VideoReady() || SDL_GetDesktopDisplayMode(0, &current) != 0)
        return FALSE;
    mode->dmFields = 0;
    mode->dmBitsPerPel = SDL_BITSPERPIXEL(current.format);
    mode->dmPelsWidth = static_cast<DWORD>(current.w);
    mode->dmPelsHeight = static_cast<DWORD>(current.h);
    mode->dmDisplayFrequency = static_cast<DWORD>(current.refresh_rate);
    return TRUE;
}

// A size the display lists becomes its mode, at the closest listed refresh
// rate. Any other size plays on the desktop mode, scaled to fit, as Windows
// drivers scale a mode the monitor lacks; compositors that ignore mode
// changes end the same way.
LONG ChangeDisplaySettingsA(DEVMODEA* mode, DWORD) {
    SDL_DisplayMode desktop{};
    if (!mode || !VideoReady() || SDL_GetDesktopDisplayMode(0, &desktop) != 0) return DISP_CHANGE_FAILED;
    if (mode->dmPelsWidth == 0 || mode->dmPelsHeight == 0) return DISP_CHANGE_BADMODE;
    // A Wayland client cannot change the output's mode: the modes SDL lists
    // there are emulated by stretching, shape lost.
    const char* driver = SDL_GetCurrentVideoDriver();
    const int count = driver && std::strcmp(driver, "wayland") == 0 ? 0 : SDL_GetNumDisplayModes(0);
    bool found = false;
    SDL_DisplayMode best{};
    for (int i = 0; i < count; ++i) {
        SDL_DisplayMode candidate{};
        if (SDL_GetDisplayMode(0, i, &candidate) != 0) continue;
        if (candidate.w != static_cast<int>(mode->dmPelsWidth) || candidate.h != static_cast<int>(mode->dmPelsHeight))
            continue;
        const int rate = static_cast<int>(mode->dmDisplayFrequency);
        if (!found || std::abs(candidate.refresh_rate - rate) < std::abs(best.refresh_rate - rate)) best = candidate;
        found = true;
    }
    g_fullScreenMode = best;
    g_fullScreenModeSet = found;
    return DISP_CHANGE_SUCCESSFUL;
}

BOOL PeekMessageA(MSG* message, HWND, UINT, UINT, UINT removeFlags) {
    if (g_posted.empty() && SDL_WasInit(SDL_INIT_VIDEO)) {
        SDL_Event event;
        // Events that make no message (text input, key maps, ...) take no frame.
        while (g_posted.empty() && SDL_PollEvent(&event)) {
            if (!Coalesce(&event)) continue;
            const MSG translated = Translate(event);
            if (translated.message != WM_NULL) g_posted.push_back(translated);
        }
    }
    if (g_posted.empty()) return FALSE;
    *message = g_posted.front();
    if (removeFlags & PM_REMOVE) g_posted.pop_front();
    return TRUE;
}

BOOL TranslateMessage(const MSG*) { return TRUE; }

LRESULT DispatchMessageA(const MSG* message) {
    HWND window = message->hwnd;
    if (!window || !g_windows.count(window) || !window->procedure) return 0;
    return window->procedure(window, message->message, message->wParam, message->lParam);
}

LRESULT DefWindowProcA(HWND window, UINT message, WPARAM, LPARAM) {
    // Closing destroys a Win32 window; here it is hidden and kept until
    // DestroyWindow, so a device on it stays valid until it is released.
    if (message == WM_CLOSE && window && g_windows.count(window)) {
        SDL_HideWindow(window->sdl);
        window->closed = true;
    }
    return 0;
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    g_posted.push_back({window, message, wParam, lParam, 0});
    return TRUE;
}

void PostQuitMessage(int exitCode) { PostMessageA(nullptr, WM_QUIT, static_cast<WPARAM>(exitCode), 0); }

void ExitProcess(UINT code) {
    // Win32 gives the desktop its mode back when a process that changed it
    // ends; an X server keeps whatever mode it was left in.
    for (Win32Window* window : g_windows)
        if (SDL_GetWindowFlags(window->sdl) & SDL_WINDOW_FULLSCREEN) SDL_SetWindowFullscreen(window->sdl, 0);
    std::fflush(nullptr);
    std::_Exit(static_cast<int>(code));
}

BOOL WaitMessage() {
    if (!g_posted.empty() || !SDL_WasInit(SDL_INIT_VIDEO)) return TRUE;
    SDL_Event event;
    if (SDL_WaitEvent(&event)) {
        const MSG translated = Translate(event);
        if (translated.message != WM_NULL) g_posted.push_back(translated);
    }
    return TRUE;
}

int ShowCursor(BOOL show) {
    g_cursorCount += show ? 1 : -1;
    if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_ShowCursor(g_cursorCount >= 0 ? SDL_ENABLE : SDL_DISABLE);
    return g_cursorCount;
}

BOOL GetCursorPos(POINT* point) {
    *point = g_cursor;
    return TRUE;
}

BOOL ScreenToClient(HWND window, POINT* point) {
    if (!window || !g_windows.count(window)) return FALSE;
    int x = 0, y = 0;
    SDL_GetWindowPosition(window->sdl, &x, &y);
    point->x -= x;
    point->y -= y;
    return TRUE;
}

int MessageBoxA(HWND, const char* text, const char* caption, UINT type) {
    std::fprintf(stderr, "%s: %s\n", caption ? caption : "", text ? text : "");
    std::fflush(stderr);
    if (g_messageBoxObserver)
        g_messageBoxObserver(text ? text : "", caption ? caption : "", type);
    else if (RealDisplay())
        SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_WARNING, caption, text, nullptr);
    return 1;  // IDOK
}

void SetMessageBoxObserver(MessageBoxObserver observer) { g_messageBoxObserver = std::move(observer); }

BOOL QueryPerformanceFrequency(int64_t* frequency) {
    *frequency = g_counter ? g_counterFrequency : static_cast<int64_t>(SDL_GetPerformanceFrequency());
    return TRUE;
}

BOOL QueryPerformanceCounter(int64_t* counter) {
    *counter = g_counter ? g_counter() : static_cast<int64_t>(SDL_GetPerformanceCounter());
    return TRUE;
}

DWORD GetTickCount() {
    int64_t frequency = 0, counter = 0;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return static_cast<DWORD>(static_cast<uint64_t>(counter / frequency * 1000 + counter % frequency * 1000 / frequency));
}

void SetPerformanceCounterSource(std::function<int64_t()> counter, int64_t frequency) {
    g_counter = std::move(counter);
    g_counterFrequency = frequency;
}

SDL_Window* SdlWindowOf(HWND window) { return window && g_windows.count(window) ? window->sdl : nullptr; }
