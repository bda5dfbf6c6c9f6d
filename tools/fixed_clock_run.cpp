#include "fixed_clock_run.h"

#include <cxxabi.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "backend/win32.h"
#include "platform/demo_app.h"
#include "platform/graphics_context.h"
#include "runtime/demo_player.h"
#include "runtime/demo_scene.h"

namespace {

class FixedClockStream : public audiere::OutputStream {
public:
    FixedClockStream(const FixedClock* clock, float volume) : clock_(clock), volume_(volume) {}

    void play() override { playing_ = true; }
    void stop() override { playing_ = false; }
    bool isPlaying() override { return playing_ && clock_->now() < clock_->endMs(); }
    void setVolume(float volume) override { volume_ = volume; }
    float getVolume() override { return volume_; }
    // The clock owns the position: nothing in the frame loop seeks.
    void setPosition(int) override {}
    int getPosition() override { return static_cast<int>(clock_->SampleAt(clock_->frame())); }
    int getLength() override {
        return static_cast<int>(static_cast<int64_t>(clock_->endMs()) * kFixedClockSampleRate / 1000);
    }

private:
    const FixedClock* clock_;
    float volume_;
    bool playing_ = false;
};

}  // namespace

FixedClock::FixedClock(int startMs, int endMs, int fps) : startMs_(startMs), endMs_(endMs), fps_(fps) {
    SetPerformanceCounterSource([this] { return Read(); }, static_cast<int64_t>(fps) * kTicksPerFrame);
}

FixedClock::~FixedClock() { SetPerformanceCounterSource(nullptr, 0); }

int64_t FixedClock::Read() {
    if (!frames_) counter_ += kTicksPerFrame;
    return counter_;
}

void FixedClock::StartFrames() {
    frames_ = true;
    // Room for the two priming frames, so the counter never runs backwards.
    frameZero_ = counter_ + 3 * kTicksPerFrame;
    SetFrame(-2);
}

void FixedClock::SetFrame(int64_t n) {
    frame_ = n;
    counter_ = frameZero_ + n * kTicksPerFrame;
}

int64_t FixedClockSample(int startMs, int fps, int64_t n) {
    // Integer arithmetic: the stream lands on the same sample as the WAV span.
    const int64_t numerator = (static_cast<int64_t>(startMs) * fps + n * 1000) * kFixedClockSampleRate;
    const int64_t denominator = static_cast<int64_t>(1000) * fps;
    return numerator >= 0 ? numerator / denominator : -((-numerator + denominator - 1) / denominator);
}

int64_t FixedClock::FrameCount() const {
    if (endMs_ <= startMs_) return 0;
    const int64_t span = static_cast<int64_t>(endMs_ - startMs_) * fps_;
    return (span + 999) / 1000;
}

audiere::OutputStream* FixedClock::NewStream(float volume) { return new FixedClockStream(this, volume); }

bool ParseFixedClockInt(const char* text, int* value) {
    char* end = nullptr;
    const long parsed = std::strtol(text, &end, 10);
    if (!*text || *end || parsed < -1000000000L || parsed > 1000000000L) return false;
    *value = static_cast<int>(parsed);
    return true;
}

std::string SceneClassName(const std::type_info& type) {
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> name(abi::__cxa_demangle(type.name(), nullptr, nullptr, &status),
                                                std::free);
    return status == 0 && name ? std::string(name.get()) : std::string(type.name());
}

int64_t PlayFixedFrames(DemoPlayer& player, FixedClock& clock,
                        const std::function<void(const FixedClockFrame&)>& onFrame) {
    MusicTrack& music = player.resources->music;
    if (music.stream) {
        const float volume = music.stream->getVolume();
        music.stream->stop();  // LoadScript started it; it must not be heard
        music.stream = clock.NewStream(volume);
        music.stream->play();
    }

    // Two updates one step apart: the first frame advances by exactly one step.
    clock.StartFrames();
    FPS_Timer* timer = player.resources->app->timer;
    timer->Update();
    clock.SetFrame(-1);
    timer->Update();

    int64_t drawn = 0;
    for (int64_t n = 0;; ++n) {
        clock.SetFrame(n);
        if (music.stream && !music.stream->isPlaying()) break;
        // Each frame steps from the exact time of the one before, so single-
        // precision rounding does not pile up over minutes of frames.
        player.demoTime = static_cast<float>(clock.TimeAt(n - 1));
        const bool more = player.Frame();
        ++drawn;
        if (onFrame) {
            FixedClockFrame frame;
            frame.number = n;
            frame.demoTime = player.demoTime;
            frame.musicMilliseconds = music.PositionNow();
            for (DemoScene_Scene* scene : player.timeline)
                if (scene->IsActiveAt(player.demoTime)) frame.scenes.push_back(SceneClassName(typeid(*scene)));
            onFrame(frame);
        }
        if (!more) break;
    }
    return drawn;
}

namespace {

// The first msPerScene ms of every timeline scene that lies within the
// clock's span, in timeline order; the clock ends on the last one.
void PlayEveryScene(DemoPlayer& player, FixedClock& clock, int msPerScene,
                    const std::function<void(const FixedClockFrame&)>& onFrame) {
    const double first = clock.startMs(), last = clock.endMs();
    std::vector<std::pair<int, int>> spans;
    for (const DemoScene_Scene* scene : player.timeline) {
        const double start = std::max<double>(scene->start, first);
        const double end = std::min({static_cast<double>(scene->end), start + msPerScene, last});
        if (std::isfinite(start) && end > start) spans.push_back({static_cast<int>(start), static_cast<int>(end)});
    }
    for (const auto& [start, end] : spans) {
        clock.SetSpan(start, end);
        const int64_t frames = PlayFixedFrames(player, clock, onFrame);
        // A quit or the end of the demo stops the run, as it stops the demo.
        if (frames < clock.FrameCount()) break;
    }
}

}  // namespace

int RunFixedClock(const FixedClockOptions& options, const std::function<void(const FixedClockLoaded&)>& onLoaded,
                  const std::function<void(const FixedClockFrame&)>& onFrame) {
    if (options.fps <= 0 || options.width <= 0 || options.height <= 0 || options.startMs < 0) {
        std::fprintf(stderr, "fixed clock run: bad size, rate or start\n");
        return 2;
    }
    if (chdir(options.dataDir.c_str()) != 0) {
        std::fprintf(stderr, "fixed clock run: cannot enter %s\n", options.dataDir.c_str());
        return 1;
    }
    FixedClock clock(options.startMs, options.endMs, options.fps);
    g_demoApp = new DemoApp();
    g_demoApp->Startup(options.width, options.height, false, 0);
    int status = 0;
    if (!g_graphics || !g_graphics->device) {
        std::fprintf(stderr, "fixed clock run: no graphics device\n");
        status = 1;
    } else {
        DemoPlayer player(options.width, options.height,
                          static_cast<float>(options.width) / static_cast<float>(options.height));
        const auto begin = std::chrono::steady_clock::now();
        player.LoadScript("demo.txt");
        const auto end = std::chrono::steady_clock::now();

        FixedClockLoaded loaded;
        loaded.loadSeconds = std::chrono::duration<double>(end - begin).count();
        audiere::OutputStream* real = player.resources->music.stream.get();
        if (real) loaded.musicVolume = real->getVolume();
        if (options.endMs < 0)
            clock.SetEnd(real ? static_cast<int>(static_cast<int64_t>(real->getLength()) * 1000 /
                                                 kFixedClockSampleRate)
                              : options.startMs);
        loaded.startMs = clock.startMs();
        loaded.endMs = clock.endMs();
        loaded.frames = clock.FrameCount();
        if (onLoaded) onLoaded(loaded);
        if (options.msPerScene > 0 && real)
            PlayEveryScene(player, clock, options.msPerScene, onFrame);
        else
            PlayFixedFrames(player, clock, onFrame);
    }
    g_demoApp->Shutdown();
    delete g_demoApp;
    g_demoApp = nullptr;
    return status;
}
