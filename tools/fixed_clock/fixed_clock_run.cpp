#include "fixed_clock_run.h"

#include <cxxabi.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "backend/win32.h"
#include "platform/demo_app.h"
#include "platform/graphics_context.h"
#include "runtime/demo_player.h"
#include "runtime/demo_scene.h"

namespace {

class FixedClockStream : public audiere::OutputStream {
public:
    FixedClockStream(const FixedClock* clock, float volume)
        : clock_(clock), volume_(volume), held_(clock->SampleAt(clock->frame())) {}

    // Paused, the position holds; playing, it moves with the clock from where
    // it was held or set.
    void play() override {
        if (playing_) return;
        offset_ = held_ - clock_->SampleAt(clock_->frame());
        playing_ = true;
    }
    void stop() override {
        held_ = getPosition();
        playing_ = false;
    }
    bool isPlaying() override {
        return playing_ && clock_->now() + offset_ * 1000.0 / kFixedClockSampleRate < clock_->endMs();
    }
    void setVolume(float volume) override { volume_ = volume; }
    float getVolume() override { return volume_; }
    void setPosition(int position) override {
        if (playing_)
            offset_ = position - clock_->SampleAt(clock_->frame());
        else
            held_ = position;
    }
    int getPosition() override {
        return static_cast<int>(playing_ ? clock_->SampleAt(clock_->frame()) + offset_ : held_);
    }
    int getLength() override {
        return static_cast<int>(static_cast<int64_t>(clock_->endMs()) * kFixedClockSampleRate / 1000);
    }

private:
    const FixedClock* clock_;
    float volume_;
    bool playing_ = false;
    int64_t held_;        // the position while paused
    int64_t offset_ = 0;  // position minus the clock's sample while playing
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

std::string SceneClassName(const std::type_info& type) {
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> name(abi::__cxa_demangle(type.name(), nullptr, nullptr, &status),
                                                std::free);
    return status == 0 && name ? std::string(name.get()) : std::string(type.name());
}

void StartFixedFrames(DemoPlayer& player, FixedClock& clock) {
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
}

int64_t PlayFixedFrames(DemoPlayer& player, FixedClock& clock,
                        const std::function<void(const FixedClockFrame&)>& onFrame) {
    StartFixedFrames(player, clock);
    MusicTrack& music = player.resources->music;
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

FixedClockSession::FixedClockSession(const FixedClockOptions& options) {
    if (options.fps <= 0 || options.width <= 0 || options.height <= 0 || options.startMs < 0 ||
        options.multisample < 0) {
        std::fprintf(stderr, "fixed clock run: bad size, samples, rate or start\n");
        status_ = 2;
        return;
    }
    std::error_code error;
    previousDirectory_ = std::filesystem::current_path(error);
    if (chdir(options.dataDir.c_str()) != 0) {
        std::fprintf(stderr, "fixed clock run: cannot enter %s\n", options.dataDir.c_str());
        status_ = 1;
        return;
    }
    clock_ = std::make_unique<FixedClock>(options.startMs, options.endMs, options.fps);
    g_demoApp = new DemoApp();
    g_demoApp->Startup(options.width, options.height, false, options.multisample);
    if (!g_graphics || !g_graphics->device) {
        std::fprintf(stderr, "fixed clock run: no graphics device\n");
        status_ = 1;
        return;
    }
    player_ = std::make_unique<DemoPlayer>(options.width, options.height,
                                           static_cast<float>(options.width) / static_cast<float>(options.height));
    const auto begin = std::chrono::steady_clock::now();
    player_->LoadScript("demo.txt");
    const auto end = std::chrono::steady_clock::now();

    loaded_.loadSeconds = std::chrono::duration<double>(end - begin).count();
    audiere::OutputStream* real = player_->resources->music.stream.get();
    if (real) loaded_.musicVolume = real->getVolume();
    loaded_.startMs = options.startMs;
    loaded_.endMs = options.endMs;
    if (options.endMs < 0)
        loaded_.endMs = real ? static_cast<int>(static_cast<int64_t>(real->getLength()) * 1000 / kFixedClockSampleRate)
                             : options.startMs;
    clock_->SetSpan(loaded_.startMs, loaded_.endMs);
    loaded_.frames = clock_->FrameCount();
}

FixedClockSession::~FixedClockSession() {
    player_.reset();
    if (clock_ && g_demoApp) {
        g_demoApp->Shutdown();
        delete g_demoApp;
        g_demoApp = nullptr;
    }
    clock_.reset();
    std::error_code error;
    if (!previousDirectory_.empty()) std::filesystem::current_path(previousDirectory_, error);
}

int64_t FixedClockSession::Play(int startMs, int endMs, const std::function<void(const FixedClockFrame&)>& onFrame) {
    if (!player_) return 0;
    clock_->SetSpan(startMs, endMs);
    return PlayFixedFrames(*player_, *clock_, onFrame);
}

void FixedClockSession::PlayEveryScene(int msPerScene,
                                       const std::function<void(const FixedClockFrame&)>& onFrame) {
    if (!player_) return;
    const double first = loaded_.startMs, last = loaded_.endMs;
    std::vector<std::pair<int, int>> spans;
    for (const DemoScene_Scene* scene : player_->timeline) {
        const double start = std::max<double>(scene->start, first);
        const double end = std::min({static_cast<double>(scene->end), start + msPerScene, last});
        if (std::isfinite(start) && end > start) spans.push_back({static_cast<int>(start), static_cast<int>(end)});
    }
    for (const auto& [start, end] : spans) {
        const int64_t frames = Play(start, end, onFrame);
        // A quit or the end of the demo stops the run, as it stops the demo.
        if (frames < clock_->FrameCount()) break;
    }
}

int RunFixedClock(const FixedClockOptions& options, const std::function<void(const FixedClockLoaded&)>& onLoaded,
                  const std::function<void(const FixedClockFrame&)>& onFrame) {
    FixedClockSession session(options);
    if (session.status() != 0) return session.status();
    if (onLoaded) onLoaded(session.loaded());
    if (options.msPerScene > 0 && session.player().resources->music.stream)
        session.PlayEveryScene(options.msPerScene, onFrame);
    else
        session.Play(session.loaded().startMs, session.loaded().endMs, onFrame);
    return 0;
}
