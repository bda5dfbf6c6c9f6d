// A desktop a user logs into, started for one test: Xvfb alone or with a
// stacking window manager, or weston (its X11 backend inside Xvfb gives it a
// seat) running X clients through XWayland or Wayland clients directly. Keys
// and clicks go in through XTest on the outer Xvfb, as from a keyboard and
// mouse, and the screen is read back from it, as the user sees it.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>

#include "child_process.h"
#include "x_server.h"

class DesktopSession {
public:
    enum class Kind { Xvfb, XvfbOpenbox, WestonXWayland, WestonWayland };
    static const char* Name(Kind kind);

    // runtimeDirectory: the session's XDG_RUNTIME_DIR; logs go to logDirectory.
    DesktopSession(Kind kind, int width, int height, const std::string& runtimeDirectory,
                   const std::string& logDirectory);
    ~DesktopSession();
    bool Started() const { return started_; }
    std::string Log() const;  // the end of the window manager's or weston's log
    // DISPLAY, WAYLAND_DISPLAY and SDL_VIDEODRIVER as this session sets them.
    std::map<std::string, std::string> Environment() const;

    // The client area of the window with this title and size, once it shows.
    // Under weston it is found on the screen by what differs from the plain
    // background (decorations below the title bar are taken as even).
    std::optional<XWindowPlace> WaitForClientArea(const std::string& title, int width, int height, double seconds);
    bool HasWindow(const std::string& title);
    XPicture Screen();
    XPicture Grab(const XWindowPlace& area);

    void Click(int screenX, int screenY);
    void MovePointer(int screenX, int screenY);
    void Key(const std::string& keyName, bool down);
    // As a user sizes a window: by the window manager, or weston's Super + right drag.
    void Resize(const std::string& title, const XWindowPlace& area, int width, int height);

private:
    std::optional<XWindowPlace> FindOnScreen(int width, int height);

    Kind kind_;
    int width_, height_;
    std::string runtime_, logs_;
    XServer screen_;
    std::unique_ptr<ChildProcess> manager_;  // openbox or weston
    std::unique_ptr<XServer> xwayland_;      // X clients' server under weston
    std::string waylandSocket_;
    int pointerX_ = 0, pointerY_ = 0;
    bool started_ = false;
};
