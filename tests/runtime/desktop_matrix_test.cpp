// The demo on the desktops its viewers have, each started by the test: a
// display (Xvfb with or without a window manager, weston running it through
// XWayland or SDL's Wayland driver) and a sound server (PulseAudio or
// PipeWire). The real binary runs from another directory, the configuration
// screen is clicked, and what the user would see is read off the screen.
// The screen is 16:9 and lists no 640x480 mode, as on most laptops and
// virtual machines.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>

#include "child_process.h"
#include "demo_screen.h"
#include "desktop_session.h"
#include "sound_server.h"
#include "temp_dir.h"

namespace {

constexpr int kScreenWidth = 1600, kScreenHeight = 900;
using Clock = std::chrono::steady_clock;

// The rows down to the overlay's line: a small read, so the wait is measured finely.
XWindowPlace OverlayRows(const XWindowPlace& area) { return {area.x, area.y, 440, 51}; }

double SecondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// The demo at about 5 frames a second, as on a slow computer: it runs 8 ms
// of every 40 ms and is stopped the rest of the time, so a frame that takes
// 30 to 40 ms of its time here (llvmpipe, 800x600) takes 150 to 200 ms; the
// keyboard's auto-repeat goes on meanwhile.
class FiveFramesASecond {
public:
    explicit FiveFramesASecond(pid_t pid) : pid_(pid), thread_([this] { Run(); }) {}
    ~FiveFramesASecond() {
        stop_ = true;
        thread_.join();
        kill(pid_, SIGCONT);
    }

private:
    void Run() {
        while (!stop_) {
            kill(pid_, SIGCONT);
            Pause(8);
            kill(pid_, SIGSTOP);
            Pause(32);
        }
    }
    pid_t pid_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

struct Cell {
    DesktopSession::Kind desktop;
    SoundServer::Kind sound;
};

std::string CellName(const ::testing::TestParamInfo<Cell>& info) {
    return std::string(DesktopSession::Name(info.param.desktop)) + SoundServer::Name(info.param.sound);
}

class DesktopMatrix : public ::testing::TestWithParam<Cell> {
protected:
    DesktopMatrix()
        : session(GetParam().desktop, kScreenWidth, kScreenHeight, RuntimeDirectory(), logs.path().string()),
          sound(GetParam().sound, runtime.path().string()) {}

    std::string RuntimeDirectory() {
        chmod(runtime.path().c_str(), 0700);  // as a session's, or weston refuses it
        return runtime.path().string();
    }

    void SetUp() override {
        ASSERT_TRUE(session.Started()) << "the desktop did not start (xvfb, openbox, weston, xwayland):\n"
                                       << session.Log();
        ASSERT_TRUE(sound.Started()) << "the sound server did not start (pulseaudio or pipewire-pulse, "
                                        "wireplumber, dbus, pulseaudio-utils)";
        std::map<std::string, std::string> environment = session.Environment();
        for (const auto& [name, value] : sound.Environment()) environment[name] = value;
        environment["XDG_RUNTIME_DIR"] = runtime.path().string();
        environment["SDL_AUDIODRIVER"] = "";
        environment["HALCYON98PIECE_CONFIG"] = "";
        const Clock::time_point started = Clock::now();
        demo = std::make_unique<ChildProcess>(std::vector<std::string>{DEMO_BINARY}, environment,
                                              home.path().string(), output());
        auto found = session.WaitForClientArea("Configuration", kConfigurationWidth, kConfigurationHeight, 20.0);
        ASSERT_TRUE(found) << Output() << session.Log();
        configuration = *found;
        // The screen takes input once its loop runs: its picture is drawn.
        const Clock::time_point deadline = Clock::now() + std::chrono::seconds(20);
        while (Black(session.Grab(configuration)) && Clock::now() < deadline) Pause(100);
        std::printf("[%s] configuration window: %.2f s, client area at %d,%d\n", CellLabel().c_str(),
                    SecondsSince(started), configuration.x, configuration.y);
        Pause(300);
    }

    std::string CellLabel() const { return CellName({GetParam(), 0}); }
    std::string output() const { return (home.path() / "output.txt").string(); }
    std::string Output() const { return FileText(output()); }

    void Click(ScreenPoint point) {
        session.Click(configuration.x + point.x, configuration.y + point.y);
        Pause(150);
    }

    // The demo's client area once it shows more than the black of its first frames.
    std::optional<XWindowPlace> RunAndWaitForPicture(int width, int height) {
        Click(kRun);
        const Clock::time_point clicked = Clock::now();
        auto area = session.WaitForClientArea("Halcyon98Piece", width, height, 20.0);
        if (!area) return area;
        const Clock::time_point deadline = Clock::now() + std::chrono::seconds(30);
        while (Black(session.Grab(*area)) && Clock::now() < deadline) Pause(50);
        std::printf("[%s] first frame after Run: %.2f s\n", CellLabel().c_str(), SecondsSince(clicked));
        return area;
    }

    // The loop takes one message a frame: the pointer's own messages go first.
    void PointInto(const XWindowPlace& area) {
        session.MovePointer(area.x + area.width / 2, area.y + area.height / 2);
        Pause(500);
    }

    void ExpectEscapeEndsIt(const XWindowPlace& area) {
        PointInto(area);
        const Clock::time_point pressed = Clock::now();
        session.Key("Escape", true);
        int code = -2;
        const bool ended = demo->WaitForExit(10.0, &code);
        const double seconds = SecondsSince(pressed);
        session.Key("Escape", false);
        ASSERT_TRUE(ended) << Output();
        std::printf("[%s] Escape to the end of the process: %.0f ms\n", CellLabel().c_str(), seconds * 1000);
        // About 0.2 s here; the bound leaves room for the sanitized build.
        EXPECT_LT(seconds, 2.0) << "Escape ends the demo at once";
        EXPECT_EQ(code, 0) << Output();
    }

    TempDir home;  // the working directory: not where the data is
    TempDir runtime, logs;
    DesktopSession session;
    SoundServer sound;
    std::unique_ptr<ChildProcess> demo;
    XWindowPlace configuration;
};

}  // namespace

// The first choices are full screen at 640x480, a mode this screen lacks:
// the picture is scaled to the screen's height, centred, black at the sides.
TEST_P(DesktopMatrix, FirstChoicesPlayFullScreenScaledToTheScreen) {
    const auto area = RunAndWaitForPicture(kScreenWidth, kScreenHeight);
    ASSERT_TRUE(area) << Output() << session.Log();
    // The bar scene's bar spans the picture from side to side.
    constexpr int kPictureLeft = (kScreenWidth - kScreenHeight * 4 / 3) / 2;
    constexpr int kPictureRight = kScreenWidth - kPictureLeft - 1;
    LitColumns lit;
    const Clock::time_point deadline = Clock::now() + std::chrono::seconds(20);
    do {
        Pause(200);
        lit = LitExtent(session.Grab(*area));
    } while ((std::abs(lit.left - kPictureLeft) > 8 || std::abs(lit.right - kPictureRight) > 8) &&
             Clock::now() < deadline);
    EXPECT_NEAR(lit.left, kPictureLeft, 8) << "the picture fills the screen's height, centred";
    EXPECT_NEAR(lit.right, kPictureRight, 8);
    ExpectEscapeEndsIt(*area);
}

TEST_P(DesktopMatrix, WindowedPlaysWithMusicFoldsAHeldKeyResizesAndEndsOnEscape) {
    MonitorRecording speaker(sound);
    Click(kFullScreenToggle);  // windowed
    Click(kNextResolution);    // 640x480 -> 800x600
    const auto area = RunAndWaitForPicture(800, 600);
    ASSERT_TRUE(area) << Output() << session.Log();
    EXPECT_FALSE(session.HasWindow("Configuration") && GetParam().desktop != DesktopSession::Kind::WestonWayland)
        << "the two windows never coexist";
    Pause(4000);  // past the loading screen: the script plays
    EXPECT_LT(OverlayLinePixels(session.Grab(OverlayRows(*area))), 20) << "no overlay while A is up";

    {
        // A held 3 s on a slow computer: its auto-repeats make no backlog.
        FiveFramesASecond slow(demo->pid());
        PointInto(*area);
        session.Key("a", true);
        int overlay = 0;
        for (int step = 0; step < 30; ++step, Pause(100))
            overlay = std::max(overlay, OverlayLinePixels(session.Grab(OverlayRows(*area))));
        session.Key("a", false);
        const Clock::time_point released = Clock::now();
        EXPECT_GT(overlay, 200) << "holding A shows the timing overlay";
        while (OverlayLinePixels(session.Grab(OverlayRows(*area))) > 20 && SecondsSince(released) < 30.0) Pause(20);
        const double seconds = SecondsSince(released);
        std::printf("[%s] overlay gone after A is released, at 5 frames a second: %.0f ms\n", CellLabel().c_str(),
                    seconds * 1000);
        // The figure is printed; the bound only tells a release taken at once
        // (about 0.3 s here, a frame or two) from one queued behind the
        // repeats (10 s and more), also in the sanitized build.
        EXPECT_LT(seconds, 3.0) << "the release is not queued behind the repeats";
    }

    float loudest = 0.0f;
    for (float sample : speaker.Mono()) loudest = std::max(loudest, std::fabs(sample));
    EXPECT_GT(loudest, 0.05f) << "the music is heard on the sound server";

    session.Resize("Halcyon98Piece", *area, 880, 660);
    const auto resized = session.WaitForClientArea("Halcyon98Piece", 880, 660, 10.0);
    ASSERT_TRUE(resized) << "the window takes the size the user gives it";
    // The 800x600 back buffer is stretched over the client area: the bar,
    // which spans the picture, reaches past 800 pixels.
    LitColumns lit;
    for (int attempt = 0; attempt < 30 && lit.right < 850; ++attempt, Pause(100))
        lit = LitExtent(session.Grab(*resized));
    EXPECT_GT(lit.right, 850);

    ExpectEscapeEndsIt(*resized);
}

INSTANTIATE_TEST_SUITE_P(
    Desktops, DesktopMatrix,
    ::testing::Values(Cell{DesktopSession::Kind::Xvfb, SoundServer::Kind::PipeWire},
                      Cell{DesktopSession::Kind::XvfbOpenbox, SoundServer::Kind::PulseAudio},
                      Cell{DesktopSession::Kind::WestonXWayland, SoundServer::Kind::PulseAudio},
                      Cell{DesktopSession::Kind::WestonWayland, SoundServer::Kind::PipeWire}),
    CellName);
