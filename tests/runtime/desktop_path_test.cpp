// The demo as a desktop user starts it: the real binary on a real X server
// (Xvfb, SDL's x11 driver) with a real sound server, no presets, started
// from another directory, driven by clicks and keys through XTest.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <thread>

#include "child_process.h"
#include "sound_server.h"
#include "temp_dir.h"
#include "x_server.h"

namespace {

constexpr int kScreenWidth = 1280, kScreenHeight = 720;

// Places on the configuration screen's 350 x 290 client area.
struct ScreenPoint {
    int x, y;
};
constexpr ScreenPoint kFullScreenToggle{60, 215};
constexpr ScreenPoint kNextResolution{330, 215};
constexpr ScreenPoint kExit{55, 275};
constexpr ScreenPoint kRun{295, 275};

void Pause(int milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

bool Black(const XPicture& picture) {
    for (uint32_t pixel : picture.pixels)
        if (pixel & 0xF0F0F0) return false;
    return true;
}

// Pixels of the overlay's green 60-frames line: y 50, x 40 to 440.
int OverlayLinePixels(const XPicture& picture) {
    int count = 0;
    for (int x = 60; x < 420 && x < picture.width; ++x) {
        const uint32_t pixel = picture.At(x, 50);
        const int red = pixel >> 16 & 0xFF, green = pixel >> 8 & 0xFF;
        if (green > 120 && green > red + 60) ++count;
    }
    return count;
}

// The rightmost column with a lit pixel.
int LitRight(const XPicture& picture) {
    int right = 0;
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x)
            if (picture.At(x, y) & 0xC0C0C0) right = std::max(right, x);
    return right;
}

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

TEST_F(DesktopPath, RunShowsTheDemoInAWindowWithMusicOverlayAndEscape) {
    MonitorRecording speaker(sound);
    Click(kFullScreenToggle);  // windowed
    Click(kNextResolution);    // 640x480 -> 800x600
    const unsigned long window = RunAndWaitForPicture();
    ASSERT_TRUE(window) << Output();
    EXPECT_FALSE(x.HasWindow("Configuration")) << "the two windows never coexist";

    const XWindowPlace place = x.Place(window);
    EXPECT_EQ(place.width, 800);
    EXPECT_EQ(place.height, 600);
    EXPECT_EQ(place.x, (kScreenWidth - 800) / 2) << "centred by the client size";
    EXPECT_EQ(place.y, (kScreenHeight - 600) / 2);

    Pause(4000);  // past the loading screen: the script plays
    XPicture first = x.Grab(window);
    for (int attempt = 0; attempt < 100 && Black(first); ++attempt, Pause(100)) first = x.Grab(window);
    ASSERT_FALSE(Black(first)) << Output();
    // The bar scene stands still between the beats, when its halos light up.
    XPicture later = x.Grab(window);
    for (int attempt = 0; attempt < 30 && later.pixels == first.pixels; ++attempt, Pause(130)) later = x.Grab(window);
    EXPECT_NE(first.pixels, later.pixels) << "the picture moves";
    EXPECT_LT(OverlayLinePixels(later), 20) << "no overlay while A is up";

    PointInto(window);
    x.Key("a", true);
    int overlay = 0;
    for (int attempt = 0; attempt < 50 && overlay <= 200; ++attempt, Pause(100))
        overlay = OverlayLinePixels(x.Grab(window));
    x.Key("a", false);
    EXPECT_GT(overlay, 200) << "holding A shows the timing overlay";

    float loudest = 0.0f;
    for (float sample : speaker.Mono()) loudest = std::max(loudest, std::fabs(sample));
    EXPECT_GT(loudest, 0.05f) << "the music is heard on the sound server";

    ExpectEscapeEndsIt(window);
}

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

TEST_F(DesktopPath, AResizedWindowShowsTheWholePictureScaled) {
    Click(kFullScreenToggle);  // windowed 640x480
    const unsigned long window = RunAndWaitForPicture();
    ASSERT_TRUE(window) << Output();
    x.Resize(window, 960, 720);
    Pause(1000);
    XPicture resized = x.Grab(window);
    for (int attempt = 0; attempt < 30 && resized.width != 960; ++attempt, Pause(100)) resized = x.Grab(window);
    ASSERT_EQ(resized.width, 960);
    // The 640x480 back buffer keeps its size and is stretched over the client
    // area: what is lit (the logo or the bar, both wide) reaches past its width.
    EXPECT_GT(LitRight(resized), 640);
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
