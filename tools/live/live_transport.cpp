#include "live_transport.h"

#include <algorithm>
#include <cmath>

#include "live_scenes.h"
#include "runtime/demo_player.h"
#include "runtime/demo_scene.h"

namespace {

// As the demo: small drift is left alone so the picture moves smoothly
// between audio blocks.
constexpr float kResyncMs = 1000.0f;
// Page Up just after a start goes to the start before it.
constexpr float kPreviousStartMarginMs = 250.0f;

}  // namespace

float LiveTransport::playhead() const { return player_->demoTime; }

float LiveTransport::lengthMs() const {
    const MusicTrack& music = player_->resources->music;
    if (!music.stream) return 0.0f;
    return static_cast<float>(static_cast<double>(music.stream->getLength()) * 1000.0 / music.device.sampleRate);
}

void LiveTransport::PutMusicAtPlayhead() {
    MusicTrack& music = player_->resources->music;
    if (music.stream)
        music.stream->setPosition(StartFrame(static_cast<int>(player_->demoTime), music.device.sampleRate));
}

void LiveTransport::Advance(float frameMs) {
    if (paused_) return;
    MusicTrack& music = player_->resources->music;
    player_->demoTime += frameMs;
    if (music.stream) {
        const float musicMs = static_cast<float>(music.PositionNow());
        if (std::fabs(player_->demoTime - musicMs) > kResyncMs) player_->demoTime = musicMs;
    }
    if (looping_ && player_->demoTime > loopEnd_) {
        Seek(loopStart_ + std::fmod(player_->demoTime - loopEnd_, loopEnd_ - loopStart_));
        return;
    }
    // The end of the track: hold the last picture, ready to seek back.
    if (music.stream && !music.stream->isPlaying()) {
        paused_ = true;
        player_->demoTime = std::min(player_->demoTime, lengthMs());
    }
}

void LiveTransport::Seek(float ms) {
    const float length = lengthMs();
    player_->demoTime = std::clamp(ms, 0.0f, length > 0.0f ? length : ms);
    PutMusicAtPlayhead();
}

void LiveTransport::TogglePause() {
    MusicTrack& music = player_->resources->music;
    paused_ = !paused_;
    if (!music.stream) return;
    if (paused_) {
        music.stream->stop();
    } else {
        PutMusicAtPlayhead();
        music.stream->play();
    }
}

void LiveTransport::StepFrame(float frameMs) {
    if (paused_) Seek(player_->demoTime + frameMs);
}

void LiveTransport::ToggleLoop() {
    if (looping_) {
        looping_ = false;
        return;
    }
    const DemoScene_Scene* scene = SceneUnder(*player_, player_->demoTime);
    if (!scene || !(scene->end > scene->start)) return;
    looping_ = true;
    loopStart_ = scene->start;
    loopEnd_ = scene->end;
}

void LiveTransport::JumpScene(int direction) {
    const std::vector<float> starts = SceneStarts(*player_);
    const float now = player_->demoTime;
    if (direction > 0) {
        const auto next = std::upper_bound(starts.begin(), starts.end(), now);
        if (next != starts.end()) Seek(*next);
        return;
    }
    const auto after = std::lower_bound(starts.begin(), starts.end(), now - kPreviousStartMarginMs);
    Seek(after == starts.begin() ? 0.0f : *(after - 1));
}

void LiveTransport::FollowMusic() {
    MusicTrack& music = player_->resources->music;
    if (!music.stream) return;
    PutMusicAtPlayhead();
    if (paused_)
        music.stream->stop();
    else
        music.stream->play();
}
