#include "scenes/scene_7.h"

#include <algorithm>
#include <cstdio>

#include "compound/compound.h"
#include "platform/graphics_context.h"
#include "runtime/demo_resources.h"
#include "runtime/script_line.h"
#include "scenes/scene_4.h"
#include "scenes/scene_passes.h"
#include "shader/shader_params.h"

Scene_7::Scene_7(DemoResources* resources) : camera(resources->patterns.GetCamera("ID7")) {
    for (int i = 0; i < 22; ++i) {
        char name[8];
        std::snprintf(name, sizeof name, "p%d", i);
        models[i] = resources->patterns.GetModel(name);
    }
}

void Scene_7::SetParameter(std::string line) {
    const std::string name = ParameterName(line);
    if (SetTime(name, line)) return;
    const int value = ScriptInt(ScriptField(line, 1));
    if (name == "divisor")
        divisor = value;
    else if (name == "speed")
        speed = value;
    else if (name == "start")
        startStep = value;
}

void Scene_7::Render(DemoResources* r, float time) {
    PoseRoosterOnStage(r, time);
    RenderWithBloom(r, {2, false}, [&](bool) { DrawWorld(r, time); });
}

void Scene_7::DrawWorld(DemoResources* r, float time) {
    const float k = ProgressAt(time);
    const float p = static_cast<float>(speed) * k;
    // A divisor of 0 has no steps to wrap by.
    const int q = divisor != 0 ? static_cast<int>(p) / divisor : 0;
    const float m = p - static_cast<float>(divisor) * static_cast<float>(q);
    g_graphics->lightList->count = 0;
    r->stage4.Draw(2);
    SetSceneProjection(r);
    camera->Apply();
    zkShaderBind1f(r->floorShader.shader, "alpha", 0.8f);
    Node* rooster = r->galo.GetNode("galo002");
    rooster->scale = {1.0f, 1.0f, -1.0f};
    r->galo.Draw(1);
    // Past the last pattern the last one stays.
    models[std::clamp(startStep + static_cast<int>(m), 0, 21)]->Draw();
    rooster = r->galo.GetNode("galo002");
    rooster->scale = {1.0f, 1.0f, 1.0f};
    r->galo.Draw(1);
    const float x = static_cast<float>(time * 1.5 / 250.0);
    PulseLights(r, r->auxLights, x, 0.6f);
    DrawHaloLayers(r, r->auxLights, x, true, true);
}
