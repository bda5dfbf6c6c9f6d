// A real X server (Xvfb) started for one test, and what a user does on it:
// windows found by title, clicks and keys through XTest, pixels read back.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "child_process.h"

struct XPicture {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;  // 0x00RRGGBB, rows from the top
    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

struct XWindowPlace {
    int x = 0, y = 0, width = 0, height = 0;  // the client area on the screen
};

class XServer {
public:
    enum class Kind {
        Xvfb,          // one screen-sized mode
        DummyMonitor,  // Xorg's dummy driver: a monitor with several modes to switch between
    };
    // Started() is false when the server is not installed.
    XServer(Kind kind, int width, int height, const std::string& directory);
    // A client of a server started by someone else (XWayland, by weston).
    explicit XServer(const std::string& display);
    ~XServer();
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;

    bool Started() const { return display_ != nullptr; }
    const std::string& name() const { return name_; }  // for DISPLAY

    // The top-level window with this title, 0 when none appears within the time.
    unsigned long WaitForWindow(const std::string& title, double seconds);
    bool HasWindow(const std::string& title);
    XWindowPlace Place(unsigned long window);
    XPicture Grab(unsigned long window);
    XPicture Grab(unsigned long window, const XWindowPlace& area);  // area relative to the window
    unsigned long Root();  // the whole screen, for Grab
    // Moves it to the screen's top left corner too.
    void Resize(unsigned long window, int width, int height);

    // Input as the user makes it: XTest moves the real pointer and presses real keys.
    void Click(unsigned long window, int x, int y);
    void MovePointer(int screenX, int screenY);
    void Key(const std::string& keyName, bool down);
    void Button(int button, bool down);
    // Maps a small window under the pointer and takes it away: the window
    // below sees the pointer leave and enter again, as if the mouse came in.
    void CrossPointer();

    bool HasWindowManager();
    // The monitor's current mode as RandR reports it, such as "640x480".
    std::string ScreenMode();

private:
    void Sync();
    std::vector<std::string> Command(Kind kind, int width, int height, const std::string& directory,
                                     int displayDescriptor);

    std::unique_ptr<ChildProcess> server_;
    struct _XDisplay* display_ = nullptr;
    std::string name_;
};
