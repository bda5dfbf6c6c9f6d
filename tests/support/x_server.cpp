#include "x_server.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <thread>

namespace {

bool ProgramInstalled(const char* name) {
    const std::string command = std::string("command -v ") + name + " >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

// Xvfb writes its display number to a descriptor once it accepts clients.
std::string ReadDisplayNumber(int descriptor, double seconds) {
    std::string number;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    char c = 0;
    while (std::chrono::steady_clock::now() < deadline) {
        const ssize_t got = read(descriptor, &c, 1);
        if (got == 1 && c == '\n') return number;
        if (got == 1) number += c;
        if (got <= 0) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return {};
}

Window FindByTitle(Display* display, Window parent, const std::string& title) {
    Window root = 0, parentOut = 0, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, parent, &root, &parentOut, &children, &count)) return 0;
    Window found = 0;
    for (unsigned i = 0; i < count && !found; ++i) {
        char* name = nullptr;
        if (XFetchName(display, children[i], &name) && name) {
            if (title == name) found = children[i];
            XFree(name);
        }
        if (!found) found = FindByTitle(display, children[i], title);
    }
    if (children) XFree(children);
    return found;
}

// A window resized or gone between two requests is no reason to end the test
// process, which is what Xlib's default handler does.
int IgnoreErrors(Display*, XErrorEvent*) { return 0; }

}  // namespace

std::vector<std::string> XServer::Command(Kind kind, int width, int height, const std::string& directory,
                                          int displayDescriptor) {
    const std::string descriptor = std::to_string(displayDescriptor);
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    if (kind == Kind::Xvfb)
        return {"Xvfb", "-displayfd", descriptor, "-screen", "0", size + "x24", "-nolisten", "tcp", "-noreset"};
    // The desktop mode first, then the smaller modes the monitor also offers.
    const std::string config = directory + "/xorg.conf";
    std::ofstream(config) << "Section \"Device\"\n Identifier \"card\"\n Driver \"dummy\"\n VideoRam 65536\nEndSection\n"
                             "Section \"Monitor\"\n Identifier \"monitor\"\n HorizSync 5-1000\n VertRefresh 5-200\n"
                             "EndSection\n"
                             "Section \"Screen\"\n Identifier \"screen\"\n Device \"card\"\n Monitor \"monitor\"\n"
                             " DefaultDepth 24\n SubSection \"Display\"\n  Depth 24\n  Modes \""
                          << size << "\" \"800x600\" \"640x480\"\n  Virtual " << width << " " << height
                          << "\n EndSubSection\nEndSection\n"
                             "Section \"ServerFlags\"\n Option \"AutoAddDevices\" \"false\"\n Option \"AllowEmptyInput\" \"true\"\n"
                             "EndSection\n";
    return {"Xorg", "-displayfd", descriptor, "-config", config, "-logfile", directory + "/xorg.log", "-nolisten",
            "tcp", "-noreset"};
}

XServer::XServer(Kind kind, int width, int height, const std::string& directory) {
    if (!ProgramInstalled(kind == Kind::Xvfb ? "Xvfb" : "Xorg")) return;
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) return;
    server_ = std::make_unique<ChildProcess>(Command(kind, width, height, directory, pipeEnds[1]),
                                             std::map<std::string, std::string>{}, "/",
                                             directory + "/xserver.log");
    close(pipeEnds[1]);
    const std::string number = ReadDisplayNumber(pipeEnds[0], 20.0);
    close(pipeEnds[0]);
    if (number.empty()) return;
    name_ = ":" + number;
    XSetErrorHandler(IgnoreErrors);
    display_ = XOpenDisplay(name_.c_str());
}

XServer::XServer(const std::string& display) : name_(display) {
    XSetErrorHandler(IgnoreErrors);
    display_ = XOpenDisplay(name_.c_str());
}

XServer::~XServer() {
    if (display_) XCloseDisplay(display_);
}

void XServer::Sync() { XSync(display_, False); }

unsigned long XServer::WaitForWindow(const std::string& title, double seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    do {
        XWindowAttributes attributes{};
        Window window = FindByTitle(display_, DefaultRootWindow(display_), title);
        if (window && XGetWindowAttributes(display_, window, &attributes) && attributes.map_state == IsViewable)
            return window;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    } while (std::chrono::steady_clock::now() < deadline);
    return 0;
}

bool XServer::HasWindow(const std::string& title) {
    return FindByTitle(display_, DefaultRootWindow(display_), title) != 0;
}

XWindowPlace XServer::Place(unsigned long window) {
    XWindowAttributes attributes{};
    XGetWindowAttributes(display_, window, &attributes);
    Window child = 0;
    XWindowPlace place{0, 0, attributes.width, attributes.height};
    XTranslateCoordinates(display_, window, DefaultRootWindow(display_), 0, 0, &place.x, &place.y, &child);
    return place;
}

unsigned long XServer::Root() { return DefaultRootWindow(display_); }

XPicture XServer::Grab(unsigned long window) {
    const XWindowPlace place = Place(window);
    return Grab(window, {0, 0, place.width, place.height});
}

XPicture XServer::Grab(unsigned long window, const XWindowPlace& area) {
    XPicture picture;
    if (area.width <= 0 || area.height <= 0) return picture;
    XImage* image = XGetImage(display_, window, area.x, area.y, static_cast<unsigned>(area.width),
                              static_cast<unsigned>(area.height), AllPlanes, ZPixmap);
    if (!image) return picture;
    picture.width = area.width;
    picture.height = area.height;
    picture.pixels.resize(static_cast<size_t>(area.width) * area.height);
    for (int y = 0; y < area.height; ++y)
        for (int x = 0; x < area.width; ++x)
            picture.pixels[static_cast<size_t>(y) * area.width + x] = XGetPixel(image, x, y) & 0xFFFFFF;
    XDestroyImage(image);
    return picture;
}

void XServer::Resize(unsigned long window, int width, int height) {
    // From the top left corner: a window reaching past the screen cannot be read back.
    XMoveResizeWindow(display_, window, 0, 0, static_cast<unsigned>(width), static_cast<unsigned>(height));
    Sync();
}

void XServer::MovePointer(int screenX, int screenY) {
    XTestFakeMotionEvent(display_, 0, screenX, screenY, CurrentTime);
    Sync();
}

void XServer::Click(unsigned long window, int x, int y) {
    const XWindowPlace place = Place(window);
    MovePointer(place.x + x, place.y + y);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    Button(1, true);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    Button(1, false);
}

void XServer::Button(int button, bool down) {
    XTestFakeButtonEvent(display_, static_cast<unsigned>(button), down ? True : False, CurrentTime);
    Sync();
}

void XServer::CrossPointer() {
    Window root = 0, child = 0;
    int x = 0, y = 0, windowX = 0, windowY = 0;
    unsigned mask = 0;
    XQueryPointer(display_, DefaultRootWindow(display_), &root, &child, &x, &y, &windowX, &windowY, &mask);
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    const Window cover = XCreateWindow(display_, DefaultRootWindow(display_), x - 8, y - 8, 16, 16, 0, 0, InputOnly,
                                       CopyFromParent, CWOverrideRedirect, &attributes);
    XMapRaised(display_, cover);
    Sync();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    XDestroyWindow(display_, cover);
    Sync();
}

void XServer::Key(const std::string& keyName, bool down) {
    const KeyCode code = XKeysymToKeycode(display_, XStringToKeysym(keyName.c_str()));
    XTestFakeKeyEvent(display_, code, down ? True : False, CurrentTime);
    Sync();
}

bool XServer::HasWindowManager() {
    return XGetSelectionOwner(display_, XInternAtom(display_, "WM_S0", False)) != None;
}

std::string XServer::ScreenMode() {
    // The mode marked current in xrandr's list: the CRTC's, not the screen's virtual size.
    const std::string command = "DISPLAY=" + name_ + " xrandr 2>/dev/null";
    FILE* output = popen(command.c_str(), "r");
    if (!output) return {};
    char line[256];
    std::string mode;
    while (std::fgets(line, sizeof line, output))
        if (mode.empty() && std::strchr(line, '*')) std::sscanf(line, "%63s", line), mode = line;
    pclose(output);
    return mode;
}
