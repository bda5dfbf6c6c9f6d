#include "runtime/demo_player.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "backend/load_phases.h"
#include "gfx2d/matrix_helpers.h"
#include "platform/demo_app.h"
#include "platform/graphics_context.h"
#include "platform/unseen_frames.h"
#include "runtime/demo_scene.h"
#include "runtime/timing_overlay.h"
#include "shader/shader_params.h"

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

void DemoPlayer::WarmUpSceneStarts() {
    LoadPhaseTimer timer(LoadPhase::ProgramWarmUp);
    const float time = demoTime;
    const GraphicsContext context = *g_graphics;
    const LightList lights = *g_graphics->lightList;
    std::vector<std::pair<Shader*, std::vector<ShaderParam>>> bindings;
    for (const auto& named : resources->NamedShaderSlots())
        if (Shader* shader = named.second->shader) bindings.push_back({shader, zkShaderSaveBindings(*shader)});
    g_graphics->device->WarmUp([this] {
        const UnseenFrames unseen;
        for (const DemoScene_Scene* scene : timeline) {
            if (!(scene->end > scene->start)) continue;  // never drawn
            // Where a frame at 60 per second first finds it.
            demoTime = std::min(scene->start + 1000.0f / 60.0f, scene->end);
            DrawScenes();
            zkPresent();
        }
    });
    for (const auto& [shader, saved] : bindings) zkShaderRestoreBindings(shader, saved);
    std::vector<D3DMATRIX>* matrixStack = g_graphics->matrixStack;  // made on demand; pushes and pops pair up
    *g_graphics = context;
    g_graphics->matrixStack = matrixStack;
    *g_graphics->lightList = lights;
    demoTime = time;
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
