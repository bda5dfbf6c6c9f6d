#include "live_player.h"

#include "gfx2d/matrix_helpers.h"
#include "live_error_panel.h"
#include "live_strip.h"
#include "platform/demo_app.h"
#include "runtime/demo_player.h"
#include "runtime/timing_overlay.h"

namespace {

constexpr float kSeekMs = 1000.0f;
constexpr float kLongSeekMs = 10000.0f;

}  // namespace

LivePlayer::LivePlayer(DemoPlayer* player, BoxCollector* boxes, const std::string& watchDir)
    : player_(player), transport_(player), reload_(player, &transport_, boxes), watch_(watchDir) {
    reload_.set_scriptStartMs(static_cast<int>(player->demoTime));
    player->resources->project.missingEndsTheDemo = false;
    for (const BoxCollector::Box& box : boxes->Take())
        loadingFaults_.push_back("loading: " + box.caption + ": " + OneLine(box.text));
}

std::vector<std::string> LivePlayer::PanelLines() const {
    std::vector<std::string> lines = loadingFaults_;
    const std::vector<std::string> faults = reload_.FaultLines();
    lines.insert(lines.end(), faults.begin(), faults.end());
    return lines;
}

void LivePlayer::PressKey(WPARAM key, bool shift) {
    const float seek = shift ? kLongSeekMs : kSeekMs;
    switch (key) {
        case VK_SPACE: transport_.TogglePause(); break;
        case VK_LEFT: transport_.Seek(transport_.playhead() - seek); break;
        case VK_RIGHT: transport_.Seek(transport_.playhead() + seek); break;
        case VK_HOME: transport_.Seek(static_cast<float>(reload_.scriptStartMs())); break;
        case VK_PRIOR: transport_.JumpScene(-1); break;
        case VK_NEXT: transport_.JumpScene(1); break;
        case 'L': transport_.ToggleLoop(); break;
        case 'T': stripShown_ = !stripShown_; break;
        case VK_OEM_PERIOD: transport_.StepFrame(lastFrameMs_); break;
        default: break;
    }
}

void LivePlayer::Click(int x, int y) {
    const DemoResources* r = player_->resources;
    const StripLayout strip = LayOutStrip(*player_, transport_, r->width, r->height);
    if (stripShown_ && StripHolds(strip, x, y)) transport_.Seek(StripTimeAt(strip, x));
}

bool LivePlayer::Frame() {
    DemoResources* resources = player_->resources;
    FPS_Timer* timer = resources->app->timer;
    lastFrameMs_ = static_cast<float>(timer->GetFrameFactor(60.0f) * 16.666666666666668);
    timer->Update();
    transport_.Advance(lastFrameMs_);

    // Every waiting message, so no press is lost between two frames.
    AppWindow* window = resources->app->window;
    g_currentWindow = window;
    while (PeekMessageA(&window->message, nullptr, 0, 0, PM_REMOVE)) {
        const MSG message = window->message;
        if (message.message == WM_QUIT) return false;
        TranslateMessage(&message);
        DispatchMessageA(&message);
        if (message.message == WM_KEYDOWN) PressKey(message.wParam, window->keyStates[VK_SHIFT] != KEY_UP);
        if (message.message == WM_LBUTTONDOWN)
            Click(static_cast<int>(message.lParam & 0xFFFF), static_cast<int>(message.lParam >> 16 & 0xFFFF));
    }

    for (const std::string& path : watch_.Changed()) {
        reload_.Reload(path);
        loadingFaults_.clear();
    }

    player_->DrawScenes();
    resources->frameRateHistory.Add(timer->GetFPS());
    DrawOverlays();
    zkPresent();
    return window->keyStates[VK_ESCAPE] == KEY_UP;
}

void LivePlayer::DrawOverlays() {
    DemoResources* resources = player_->resources;
    zkSet2D(static_cast<float>(resources->width), static_cast<float>(resources->height));
    g_graphics->device->SetTexture(0, nullptr);
    if (resources->app->window->keyStates['A'] != KEY_UP)
        DrawTimingOverlay(resources, player_->demoTime, resources->music.PositionNow(), &player_->errorAverage);
    if (stripShown_)
        DrawTimelineStrip(*player_, transport_, LayOutStrip(*player_, transport_, resources->width, resources->height));
    DrawErrorPanel(&resources->font, PanelLines(), resources->width);
}
