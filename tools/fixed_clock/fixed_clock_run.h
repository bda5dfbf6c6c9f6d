// Plays a data set's script at fixed demo times, for the capture and benchmark
// tools: frame n is drawn at start + n * 1000 / fps ms however long it takes
// to draw, so the pictures depend on the data alone, not on the machine.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <typeinfo>
#include <vector>

#include "backend/audiere.h"

class DemoPlayer;

constexpr int kFixedClockSampleRate = 44100;

// The music position of frame n of a run from startMs at fps, in sample frames
// at 44100 per second, rounded down.
int64_t FixedClockSample(int startMs, int fps, int64_t n);

// Drives the performance counter while it lives, and makes music streams
// that follow it. The counter runs at fps ticks per frame step so the frame
// timer sees exactly one step between two frames.
class FixedClock {
public:
    FixedClock(int startMs, int endMs, int fps);
    ~FixedClock();
    FixedClock(const FixedClock&) = delete;
    FixedClock& operator=(const FixedClock&) = delete;

    static constexpr int64_t kTicksPerFrame = 1000000;

    // Until then every read moves the counter one step: the loading screen
    // waits on the clock and gets the same number of steps on every run.
    void StartFrames();
    // Puts the counter at frame n (n may be negative, to prime the timer).
    void SetFrame(int64_t n);
    // Frames are then drawn from startMs until endMs.
    void SetSpan(int startMs, int endMs) { startMs_ = startMs, endMs_ = endMs; }

    // Demo time of frame n in ms, exact in double.
    double TimeAt(int64_t n) const { return startMs_ + static_cast<double>(n) * 1000.0 / fps_; }
    // Music position of frame n in sample frames at 44100 per second.
    int64_t SampleAt(int64_t n) const { return FixedClockSample(startMs_, fps_, n); }
    // Frames before the end time: the ones a run draws.
    int64_t FrameCount() const;
    int64_t frame() const { return frame_; }
    double now() const { return TimeAt(frame_); }
    int startMs() const { return startMs_; }
    int endMs() const { return endMs_; }
    int fps() const { return fps_; }

    // A stream whose position is the clock's and which stops playing at the
    // end time; a seek or a pause moves it off the clock's own position, as
    // one of the music would. It must not outlive the clock.
    audiere::OutputStream* NewStream(float volume);

private:
    int64_t Read();

    int startMs_, endMs_, fps_;
    bool frames_ = false;
    int64_t counter_ = 1000 * kTicksPerFrame;
    int64_t frameZero_ = 0;
    int64_t frame_ = 0;
};

struct FixedClockFrame {
    int64_t number = 0;
    float demoTime = 0.0f;        // the time the player drew it at
    int musicMilliseconds = 0;    // the position the music stream reported
    std::vector<std::string> scenes;  // classes of the active timeline entries, timeline order
};

// Swaps the player's music stream (loaded and started by LoadScript) for one
// that follows clock and primes the frame timer: the next frame, at frame 0,
// advances the clock by exactly one step.
void StartFixedFrames(DemoPlayer& player, FixedClock& clock);

// StartFixedFrames, then frames until the end time or a quit; onFrame sees
// each after it was presented. Returns the count. Without a music stream
// nothing is swapped in: as in the demo, one frame is drawn and the loop ends.
int64_t PlayFixedFrames(DemoPlayer& player, FixedClock& clock,
                        const std::function<void(const FixedClockFrame&)>& onFrame);

struct FixedClockOptions {
    std::string dataDir;
    int width = 640, height = 480;
    int multisample = 0;  // samples per pixel, 0 for none
    int fps = 30;
    int startMs = 0;
    int endMs = -1;  // negative: the music length
    // Above 0: instead of the whole span, the first msPerScene ms of every
    // timeline scene within it, one scene after another.
    int msPerScene = 0;
};

struct FixedClockLoaded {
    double loadSeconds = 0.0;  // wall clock around LoadScript
    int startMs = 0, endMs = 0;
    int64_t frames = 0;  // frames that will be drawn
    float musicVolume = 1.0f;  // as the script set it
};

// The app opened offscreen at the options' size, and a player that loaded the
// script of dataDir under a fixed clock (the working directory is dataDir
// until the session ends). Spans of the script are then played on demand.
class FixedClockSession {
public:
    explicit FixedClockSession(const FixedClockOptions& options);
    ~FixedClockSession();
    FixedClockSession(const FixedClockSession&) = delete;
    FixedClockSession& operator=(const FixedClockSession&) = delete;

    // 0 when the player is ready; else a process exit code, the reason on stderr.
    int status() const { return status_; }
    DemoPlayer& player() { return *player_; }
    // The span of the options, the music length filled in.
    const FixedClockLoaded& loaded() const { return loaded_; }
    // Plays from startMs until endMs, as PlayFixedFrames does; returns the count.
    int64_t Play(int startMs, int endMs, const std::function<void(const FixedClockFrame&)>& onFrame);
    // The first msPerScene ms of every timeline scene within the loaded span,
    // in timeline order, until a quit or the end of the demo.
    void PlayEveryScene(int msPerScene, const std::function<void(const FixedClockFrame&)>& onFrame);

private:
    std::filesystem::path previousDirectory_;
    std::unique_ptr<FixedClock> clock_;
    std::unique_ptr<DemoPlayer> player_;
    FixedClockLoaded loaded_;
    int status_ = 0;
};

// The whole run: a session over the options, onLoaded, the frames of the
// options' span. Returns a process exit code; messages go to stderr.
// A fatal lookup or a missing audio device ends the process inside, as in the demo.
int RunFixedClock(const FixedClockOptions& options, const std::function<void(const FixedClockLoaded&)>& onLoaded,
                  const std::function<void(const FixedClockFrame&)>& onFrame);

// The C++ class name of a timeline entry.
std::string SceneClassName(const std::type_info& type);
