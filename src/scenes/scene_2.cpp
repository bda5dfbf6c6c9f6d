#include "scenes/scene_2.h"

#include "compound/compound.h"
#include "platform/graphics_context.h"
#include "runtime/demo_resources.h"
#include "scenes/scene_passes.h"
#include "shader/shader_params.h"

Scene_2::Scene_2(DemoResources* resources) : camera(resources->stage2.GetCamera("Rim")) {}

void Scene_2::Render(DemoResources* r, float time) {
    const int ms = static_cast<int>(time);
    RenderWithBloom(r, {1, true}, [&](bool final) { DrawWorld(r, ms, final); });
}

void Scene_2::DrawWorld(DemoResources* r, int ms, bool final) {
    const float x = static_cast<float>((2 * ms) / 250.0);
    PulseLights(r, r->stage2, x, 0.4f);
    // Frames 1 to 60 at 37.5 per second.
    const float keyTime = static_cast<float>(ms / 1000.0 * 25.0);
    PoseRooster(r, CycleFrame(keyTime, 1.5, 59, 1.0));
    g_graphics->lightList->count = 0;
    r->stage2.Draw(2);
    SetSceneProjection(r);
    camera->Apply();
    g_graphics->device->SetRenderState(D3DRS_ZENABLE, TRUE);
    zkShaderBind1f(r->lfShader.shader, "zk_ZFogValue", 0.0f);
    r->galo.Draw(1);
    DrawHaloLayers(r, r->stage2, x, false, final);
}
