// The demo as a desktop user starts it: the real binary on a real X server
// (Xvfb, SDL's x11 driver) with a real sound server, no presets, started
// from another directory, driven by clicks and keys through XTest. What
// every desktop must do is in the desktop matrix; these are the X server's
// own cases: mode switches, leaving the window, the configuration screen.
#include <gtest/gtest.h>

#include <chrono>

#include "child_process.h"
#include "demo_screen.h"
#include "sound_server.h"
#include "temp_dir.h"
#include "x_server.h"

namespace {

constexpr int kScreenWidth = 1280, kScreenHeight = 720;

class DesktopPath : public ::testing::Test {
protected:
    explicit DesktopPath(XServer::Kind kind = XServer::Kind::Xvfb)
        : x(kind, kScreenWidth, kScreenHeight, home.path().string()) {}

    void SetUp() override {
        ASSERT_TRUE(x.Started()) << "Xvfb (package xvfb) must be installed";
        ASSERT_TRUE(sound.Started()) << "pulseaudio and parec must be installed";
        // What a desktop session has: a display and a sound server; none of
        // the headless settings the other tests run with.
        demo = std::make_unique<ChildProcess>(
            std::vector<std::string>{DEMO_BINARY},
            std::map<std::string, std::string>{{"DISPLAY", x.name()},
                                               {"PULSE_SERVER", sound.address()},
                                               {"SDL_VIDEODRIVER", ""},
                                               {"SDL_AUDIODRIVER", ""},
                                               {"HALCYON98PIECE_CONFIG", ""}},
            home.path().string(), output());
        configuration = x.WaitForWindow("Configuration", 20.0);
        ASSERT_TRUE(configuration) << Output();
        // The screen takes input once its loop runs: its picture is drawn.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (Black(x.Grab(configuration)) && std::chrono::steady_clock::now() < deadline) Pause(100);
        Pause(300);
    }

    std::string output() const { return (home.path() / "output.txt").string(); }
    std::string Output() const { return FileText(output()); }

    void Click(ScreenPoint point) {
        x.Click(configuration, point.x, point.y);
        Pause(150);
    }

    // The demo window once it shows more than the black of its first frames.
    unsigned long RunAndWaitForPicture() {
        Click(kRun);
        const unsigned long window = x.WaitForWindow("Halcyon98Piece", 20.0);
        if (!window) return 0;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (Black(x.Grab(window)) && std::chrono::steady_clock::now() < deadline) Pause(100);
        return window;
    }

    // The loop takes one message a frame: the pointer's own messages go first.
    void PointInto(unsigned long window) {
        const XWindowPlace place = x.Place(window);
        x.MovePointer(place.x + place.width / 2, place.y + place.height / 2);
        Pause(500);
    }

    void ExpectEscapeEndsIt(unsigned long window) {
        PointInto(window);
        const auto pressed = std::chrono::steady_clock::now();
        x.Key("Escape", true);
        int code = -2;
        const bool ended = demo->WaitForExit(10.0, &code);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - pressed).count();
        x.Key("Escape", false);
        ASSERT_TRUE(ended) << Output();
        std::printf("Escape to the end of the process: %.0f ms\n", seconds * 1000);
        // One frame and the shutdown: well under a second on an idle machine,
        // a few seconds on two cores shared with a software renderer.
        EXPECT_LT(seconds, 5.0) << "Escape ends the demo at once";
        EXPECT_EQ(code, 0) << Output();
    }

    TempDir home;  // the working directory: not where the data is
    XServer x;
    SoundServer sound;
    std::unique_ptr<ChildProcess> demo;
    unsigned long configuration = 0;
};

}  // namespace

TEST_F(DesktopPath, ExitEndsWithoutADemoWindow) {
    Click(kExit);
    int code = -2;
    ASSERT_TRUE(demo->WaitForExit(5.0, &code)) << Output();
    EXPECT_EQ(code, 0);
    EXPECT_FALSE(x.HasWindow("Halcyon98Piece"));
}

TEST_F(DesktopPath, EscapeOnTheConfigurationScreenEndsIt) {
    const XWindowPlace place = x.Place(configuration);
    x.MovePointer(place.x + 175, place.y + 100);
    x.Key("Escape", true);
    int code = -2;
    ASSERT_TRUE(demo->WaitForExit(5.0, &code)) << Output();
    x.Key("Escape", false);
    EXPECT_EQ(code, 0);
    EXPECT_FALSE(x.HasWindow("Halcyon98Piece"));
}

TEST_F(DesktopPath, FullScreenAtAModeTheDisplayOffers) {
    for (int step = 0; step < 3; ++step) Click(kNextResolution);  // 640x480 -> 1280x720, full screen on
    const unsigned long window = RunAndWaitForPicture();
    ASSERT_TRUE(window) << Output();
    const XWindowPlace place = x.Place(window);
    EXPECT_EQ(place.x, 0);
    EXPECT_EQ(place.y, 0);
    EXPECT_EQ(place.width, kScreenWidth);
    EXPECT_EQ(place.height, kScreenHeight);
    ExpectEscapeEndsIt(window);
}

TEST_F(DesktopPath, AWidgetLitUnderThePointerGoesOutWhenThePointerLeavesTheWindow) {
    const XWindowPlace place = x.Place(configuration);
    auto runButton = [&] {
        const XPicture picture = x.Grab(configuration);
        std::vector<uint32_t> button;
        for (int y = 268; y < 284; ++y)
            for (int column = 250; column < 341; ++column) button.push_back(picture.At(column, y));
        return button;
    };
    x.MovePointer(place.x + 175, place.y + 100);  // over the picture, no widget
    Pause(300);
    const std::vector<uint32_t> idle = runButton();
    x.MovePointer(place.x + kRun.x, place.y + kRun.y);
    Pause(300);
    EXPECT_NE(runButton(), idle) << "the button under the pointer is lit";
    x.MovePointer(place.x + kRun.x, place.y + place.height + 40);  // straight down, out of the window
    Pause(300);
    EXPECT_EQ(runButton(), idle) << "no widget stays lit once the pointer has left";
}

// A monitor with several modes, as a desktop has: full screen switches to the
// chosen one and the desktop mode comes back when the demo ends.
class DesktopWithModes : public DesktopPath {
protected:
    DesktopWithModes() : DesktopPath(XServer::Kind::DummyMonitor) {}
};

TEST_F(DesktopWithModes, FullScreenSwitchesTheModeAndTheDesktopModeComesBack) {
    ASSERT_EQ(x.ScreenMode(), "1280x720");
    const unsigned long window = RunAndWaitForPicture();  // the first choices: 640x480, full screen
    ASSERT_TRUE(window) << Output();
    EXPECT_EQ(x.ScreenMode(), "640x480");
    const XWindowPlace place = x.Place(window);
    EXPECT_EQ(place.width, 640);
    EXPECT_EQ(place.height, 480);
    ExpectEscapeEndsIt(window);
    EXPECT_EQ(x.ScreenMode(), "1280x720");
}
