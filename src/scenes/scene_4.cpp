#include "scenes/scene_4.h"

#include <algorithm>
#include <cstdio>

#include "compound/compound.h"
#include "gfx2d/matrix_helpers.h"
#include "model/matrix.h"
#include "platform/graphics_context.h"
#include "runtime/demo_resources.h"
#include "runtime/script_line.h"
#include "scenes/scene_passes.h"

Scene_4::Scene_4(DemoResources* resources) : camera(resources->stage4.GetCamera("ID4")) {
    for (int i = 0; i < 12; ++i) {
        char name[8];
        std::snprintf(name, sizeof name, "x%d", i);
        models[i] = resources->stage4.GetModel(name);
    }
}

void Scene_4::SetParameter(std::string line) {
    const std::string name = ParameterName(line);
    if (SetTime(name, line)) return;
    const float value = static_cast<float>(ScriptInt(ScriptField(line, 1)));  // integers, stored as floats
    if (name == "divisor")
        divisor = value;
    else if (name == "speed")
        speed = value;
}

void PoseRoosterOnStage(DemoResources* r, float time) {
    PoseRooster(r, CycleFrame(static_cast<float>(time / 1000.0 * 25.0), 1.0, 170, 60.0));
}

float StepWithin(float speed, float k, float divisor) {
    const float p = speed * k;
    const int whole = static_cast<int>(divisor);
    // A divisor below 1 has no whole steps to wrap by.
    const int q = whole != 0 ? static_cast<int>(p) / whole : 0;
    return p - divisor * static_cast<float>(q);
}

void Scene_4::Render(DemoResources* r, float time) {
    PoseRoosterOnStage(r, time);
    RenderWithBloom(r, {2, true}, [&](bool) { DrawWorld(r, time); });
}

void Scene_4::DrawWorld(DemoResources* r, float time) {
    const float k = ProgressAt(time);
    g_graphics->lightList->count = 0;
    r->stage4.Draw(2);
    PoseRoosterOnStage(r, time);
    SetSceneProjection(r);
    camera->Apply();
    // A divisor above 12 would pass the last model: it stays on the last one.
    const int index = std::clamp(static_cast<int>(StepWithin(speed, k, divisor)), 0, 11);
    zkPushMatrix();
    Matrix translation;
    zkMultMatrix(translation.Translation(0.0f, 2.0f, 0.0f));
    models[index]->Draw();
    zkPopMatrix();
    r->galo.Draw(1);
}
