#include "scenes/scene_9.h"

#include <algorithm>
#include <cstdio>

#include "compound/compound.h"
#include "gfx2d/matrix_helpers.h"
#include "gfx2d/screen_quad.h"
#include "model/matrix.h"
#include "platform/graphics_context.h"
#include "runtime/demo_resources.h"
#include "runtime/script_line.h"
#include "scenes/scene_4.h"
#include "scenes/scene_passes.h"

Scene_9::Scene_9(DemoResources* resources) : camera(resources->stage9.GetCamera("ID9")) {
    for (int i = 0; i < 6; ++i) {
        char name[8];
        std::snprintf(name, sizeof name, "c%d", i);
        models[i] = resources->stage9.GetModel(name);
    }
}

void Scene_9::SetParameter(std::string line) {
    const std::string name = ParameterName(line);
    if (SetTime(name, line)) return;
    const float value = static_cast<float>(ScriptInt(ScriptField(line, 1)));  // integers, stored as floats
    if (name == "divisor")
        divisor = value;
    else if (name == "speed")
        speed = value;
    else if (name == "divisor2")
        divisor2 = value;
    else if (name == "speed2")
        speed2 = value;
}

void Scene_9::Render(DemoResources* r, float time) {
    PoseRoosterOnStage(r, time);
    RenderWithBloom(r, {2, false}, [&](bool) { DrawWorld(r, time); });
}

void Scene_9::DrawWorld(DemoResources* r, float time) {
    const float k = ProgressAt(time);
    g_graphics->lightList->count = 0;
    r->stage4.Draw(2);
    PoseRoosterOnStage(r, time);
    r->stage9.Animate(4, k * 630.0f);
    SetSceneProjection(r);
    camera->Apply();
    float m1 = StepWithin(speed, k, divisor);
    if (m1 > divisor) m1 = divisor - 1.0f;
    float m2 = StepWithin(speed2, k, divisor2);
    if (m2 > divisor2) m2 = divisor2 - 1.0f;

    zkBeginRenderTarget(r->target5.texture, 0);
    // Beyond the six models the last one stays.
    Model* column = models[std::clamp(static_cast<int>(m1), 0, 5)];
    for (float offset : {0.0f, -40.0f, 40.0f, -80.0f, 80.0f, -120.0f, 120.0f}) {
        zkPushMatrix();
        Matrix translation;
        zkMultMatrix(translation.Translation(0.0f, m2 + offset, 0.0f));
        column->Draw();
        zkPopMatrix();
    }
    EndTargetPass(r->target5);

    SetSampler0Address(D3DTADDRESS_CLAMP);
    for (int i = 0; i < 2; ++i) {
        BlurPass(r, r->target5, r->target6, 256.0f, 256.0f, 1.0f, 0.0f, 1.0f, 0.0f);
        BlurPass(r, r->target6, r->target5, 256.0f, 256.0f, 0.0f, 1.0f, 1.0f, 0.0f);
    }
    SetSampler0Address(D3DTADDRESS_WRAP);
    zkSet2D(static_cast<float>(r->width), static_cast<float>(r->height));
    r->target5.Bind(0);
    zkDrawQuad(0, 0, r->width, r->height, 0xFFFFFFFF);

    SetSceneProjection(r);
    camera->Apply();
    r->galo.Draw(1);
}
