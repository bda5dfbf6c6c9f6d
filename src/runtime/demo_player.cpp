#include "runtime/demo_player.h"

#include <cmath>

#include "gfx2d/matrix_helpers.h"
#include "platform/demo_app.h"
#include "runtime/demo_scene.h"
#include "runtime/timing_overlay.h"

DemoPlayer::DemoPlayer(int width, int height, float aspect) : resources(new DemoResources()) {
    resources->app = g_demoApp;
    resources->width = width;
    resources->height = height;
    resources->aspect = aspect;
}

DemoPlayer::~DemoPlayer() {
    DestroyScenes();
    delete resources;
}

void DemoPlayer::DestroyScenes() {
    for (DemoScene_Scene* scene : timeline) delete scene;
    timeline.clear();
}

void DemoPlayer::DrawScenes() {
    g_graphics->clearColour[0] = 0.0f;
    g_graphics->clearColour[1] = 0.0f;
    g_graphics->clearColour[2] = 0.0f;
    g_graphics->clearColour[3] = 1.0f;
    zkClear();
    for (DemoScene_Scene* scene : timeline)
        if (scene->IsActiveAt(demoTime)) scene->Render(resources, demoTime);
}

bool DemoPlayer::Frame() {
    ShowCursor(FALSE);
    MusicTrack& music = resources->music;
    const int musicMilliseconds = music.PositionNow();

    FPS_Timer* timer = resources->app->timer;
    demoTime += timer->GetFrameFactor(60.0f) * 16.666666666666668;
    timer->Update();

    AppWindow* window = resources->app->window;
    g_currentWindow = window;
    if (PeekMessageA(&window->message, nullptr, 0, 0, PM_REMOVE)) {
        if (window->message.message == WM_QUIT) return false;
        TranslateMessage(&window->message);
        DispatchMessageA(&window->message);
    }

    DrawScenes();

    resources->frameRateHistory.Add(timer->GetFPS());
    zkSet2D(static_cast<float>(resources->width), static_cast<float>(resources->height));
    g_graphics->device->SetTexture(0, nullptr);
    if (window->keyStates['A'] != KEY_UP) DrawTimingOverlay(resources, demoTime, musicMilliseconds, &errorAverage);

    // Small drift is left alone so the picture moves smoothly between audio blocks.
    if (std::fabs(demoTime - static_cast<float>(musicMilliseconds)) > 1000.0) demoTime = musicMilliseconds;

    zkPresent();
    return window->keyStates[VK_ESCAPE] == KEY_UP && music.stream && music.stream->isPlaying();
}
