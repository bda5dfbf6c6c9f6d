#include "desktop_session.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <thread>

namespace {

constexpr uint32_t kBackground = 0xFF00FF;  // weston's plain desktop: no window's edge has it

// The background, or the shadow a window casts on it (black over it at any
// strength keeps red and blue equal and green nil).
bool Background(uint32_t pixel) {
    const int red = pixel >> 16 & 0xFF, green = pixel >> 8 & 0xFF, blue = pixel & 0xFF;
    return green <= 8 && std::abs(red - blue) <= 8 && red >= 48;
}

void Pause(int milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

bool Installed(const char* program) {
    return std::system((std::string("command -v ") + program + " >/dev/null 2>&1").c_str()) == 0;
}

bool Weston(DesktopSession::Kind kind) {
    return kind == DesktopSession::Kind::WestonXWayland || kind == DesktopSession::Kind::WestonWayland;
}

// Waits for a line of weston's log such as "xserver listening on display :1".
std::string XWaylandDisplay(const std::string& log, double seconds) {
    const std::regex listening("xserver listening on display (:[0-9]+)");
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < deadline) {
        std::smatch match;
        const std::string text = FileText(log);
        if (std::regex_search(text, match, listening)) return match[1];
        Pause(50);
    }
    return {};
}

}  // namespace

const char* DesktopSession::Name(Kind kind) {
    switch (kind) {
        case Kind::Xvfb: return "Xvfb";
        case Kind::XvfbOpenbox: return "XvfbOpenbox";
        case Kind::WestonXWayland: return "WestonXWayland";
        case Kind::WestonWayland: return "WestonWayland";
    }
    return "";
}

DesktopSession::DesktopSession(Kind kind, int width, int height, const std::string& runtimeDirectory,
                               const std::string& logDirectory)
    : kind_(kind),
      width_(width),
      height_(height),
      runtime_(runtimeDirectory),
      logs_(logDirectory),
      screen_(XServer::Kind::Xvfb, width, height, logDirectory) {
    if (!screen_.Started()) return;
    const std::map<std::string, std::string> environment{
        {"DISPLAY", screen_.name()}, {"XDG_RUNTIME_DIR", runtime_}, {"WAYLAND_DISPLAY", ""}};
    if (kind == Kind::XvfbOpenbox) {
        if (!Installed("openbox")) return;
        manager_ = std::make_unique<ChildProcess>(std::vector<std::string>{"openbox", "--sm-disable"}, environment,
                                                  runtime_, logs_ + "/manager.log");
        for (int attempt = 0; attempt < 100 && !screen_.HasWindowManager(); ++attempt) Pause(50);
        started_ = screen_.HasWindowManager();
        return;
    }
    if (!Weston(kind)) {
        started_ = true;
        return;
    }
    if (!Installed("weston") || (kind == Kind::WestonXWayland && !Installed("Xwayland"))) return;
    const std::string config = logs_ + "/weston.ini";
    char colour[16];
    std::snprintf(colour, sizeof colour, "0xff%06x", kBackground);
    std::ofstream(config) << "[core]\nidle-time=0\n[shell]\nbackground-color=" << colour
                          << "\npanel-position=none\n";
    waylandSocket_ = "wayland-test";
    std::vector<std::string> command{"weston", "--backend=x11-backend.so", "--width=" + std::to_string(width),
                                     "--height=" + std::to_string(height), "--socket=" + waylandSocket_,
                                     "--config=" + config};
    if (kind == Kind::WestonXWayland) command.push_back("--xwayland");
    manager_ = std::make_unique<ChildProcess>(command, environment, runtime_, logs_ + "/manager.log");
    const std::string socket = runtime_ + "/" + waylandSocket_;
    for (int attempt = 0; attempt < 200 && !std::filesystem::exists(socket); ++attempt) Pause(50);
    if (!std::filesystem::exists(socket)) return;
    if (kind == Kind::WestonXWayland) {
        const std::string display = XWaylandDisplay(logs_ + "/manager.log", 10.0);
        if (display.empty()) return;
        xwayland_ = std::make_unique<XServer>(display);  // Xwayland starts for this first client
        if (!xwayland_->Started()) return;
    }
    // The desktop is up once its background is drawn and the pointer, which
    // weston draws, follows the mouse. Weston takes pointer input once the
    // pointer has entered its window, which a window mapped under the pointer
    // may never see.
    for (int attempt = 0; attempt < 200 && !started_; ++attempt, Pause(50)) {
        MovePointer(width / 4 + attempt % 2, height / 4);
        if (attempt % 10 == 5) screen_.CrossPointer();
        Pause(50);
        const XPicture screen = Screen();
        started_ = !screen.pixels.empty() && screen.At(width / 8, height / 8) == kBackground &&
                   !Background(screen.At(pointerX_ + 2, pointerY_ + 6));
    }
}

DesktopSession::~DesktopSession() {
    xwayland_.reset();
    manager_.reset();
}

std::string DesktopSession::Log() const {
    const std::string log = FileText(logs_ + "/manager.log");  // weston's starts with pages of GL extensions
    return log.size() > 1500 ? log.substr(log.size() - 1500) : log;
}

std::map<std::string, std::string> DesktopSession::Environment() const {
    switch (kind_) {
        case Kind::Xvfb:
        case Kind::XvfbOpenbox:
            return {{"DISPLAY", screen_.name()}, {"WAYLAND_DISPLAY", ""}, {"SDL_VIDEODRIVER", ""}};
        case Kind::WestonXWayland:  // both, as a Wayland session has: X11 is SDL's choice
            return {{"DISPLAY", xwayland_->name()}, {"WAYLAND_DISPLAY", waylandSocket_}, {"SDL_VIDEODRIVER", ""}};
        case Kind::WestonWayland:
            return {{"DISPLAY", ""}, {"WAYLAND_DISPLAY", waylandSocket_}, {"SDL_VIDEODRIVER", "wayland"}};
    }
    return {};
}

std::optional<XWindowPlace> DesktopSession::FindOnScreen(int width, int height) {
    const XPicture screen = Screen();
    if (screen.pixels.empty()) return std::nullopt;
    // The pointer is drawn by weston; its picture is not a window's. Under
    // XWayland weston frames the window: a title bar, then even borders.
    const int pointerLeft = pointerX_ - 4, pointerTop = pointerY_ - 4, pointerSize = 40;
    int left = screen.width, top = screen.height, right = -1, bottom = -1;
    for (int y = 0; y < screen.height; ++y)
        for (int x = 0; x < screen.width; ++x) {
            if (Background(screen.At(x, y))) continue;
            if (x >= pointerLeft && x < pointerLeft + pointerSize && y >= pointerTop && y < pointerTop + pointerSize)
                continue;
            left = std::min(left, x), right = std::max(right, x);
            top = std::min(top, y), bottom = std::max(bottom, y);
        }
    const int foundWidth = right - left + 1, foundHeight = bottom - top + 1;
    if (right < 0 || foundWidth < width || foundHeight < height) return std::nullopt;
    if (foundWidth - width > 60 || foundHeight - height > 80) return std::nullopt;  // not one window of that size
    const int side = (foundWidth - width) / 2;
    return XWindowPlace{left + side, bottom + 1 - side - height, width, height};
}

std::optional<XWindowPlace> DesktopSession::WaitForClientArea(const std::string& title, int width, int height,
                                                              double seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    do {
        if (kind_ == Kind::Xvfb || kind_ == Kind::XvfbOpenbox) {
            const unsigned long window = screen_.WaitForWindow(title, 0.0);
            const XWindowPlace place = window ? screen_.Place(window) : XWindowPlace{};
            if (window && place.width == width && place.height == height) return place;
        } else if (kind_ == Kind::WestonWayland || xwayland_->WaitForWindow(title, 0.0)) {
            if (auto place = FindOnScreen(width, height)) return place;
        }
        Pause(50);
    } while (std::chrono::steady_clock::now() < deadline);
    return std::nullopt;
}

bool DesktopSession::HasWindow(const std::string& title) {
    if (kind_ == Kind::WestonWayland) return FindOnScreen(1, 1).has_value();
    return (xwayland_ ? *xwayland_ : screen_).HasWindow(title);
}

XPicture DesktopSession::Screen() { return screen_.Grab(screen_.Root()); }

XPicture DesktopSession::Grab(const XWindowPlace& area) { return screen_.Grab(screen_.Root(), area); }

void DesktopSession::MovePointer(int screenX, int screenY) {
    pointerX_ = screenX, pointerY_ = screenY;
    screen_.MovePointer(screenX, screenY);
}

void DesktopSession::Click(int screenX, int screenY) {
    MovePointer(screenX, screenY);
    Pause(200);
    screen_.Button(1, true);
    Pause(100);
    screen_.Button(1, false);
}

void DesktopSession::Key(const std::string& keyName, bool down) { screen_.Key(keyName, down); }

void DesktopSession::Resize(const std::string& title, const XWindowPlace& area, int width, int height) {
    if (kind_ != Kind::WestonWayland) {
        XServer& clients = xwayland_ ? *xwayland_ : screen_;
        clients.Resize(clients.WaitForWindow(title, 1.0), width, height);
        return;
    }
    // Grabbed near its top left corner, the window grows that way: weston
    // places windows anywhere, often near the screen's right edge.
    const int x = area.x + 20, y = area.y + 20;
    MovePointer(x, y);
    Key("Super_L", true);
    Pause(100);
    screen_.Button(3, true);
    for (int step = 1; step <= 10; ++step) {
        Pause(30);
        MovePointer(x - (width - area.width) * step / 10, y - (height - area.height) * step / 10);
    }
    Pause(100);
    screen_.Button(3, false);
    Key("Super_L", false);
}
