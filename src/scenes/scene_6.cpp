#include "scenes/scene_6.h"

#include <cmath>

#include "compound/compound.h"
#include "platform/graphics_context.h"
#include "runtime/demo_resources.h"
#include "scenes/scene_passes.h"

Scene_6::Scene_6(DemoResources* resources) : camera(resources->scene6.GetCamera("ID6")) {}

void Scene_6::DrawWorld(DemoResources* r) {
    const int ms = r->music.PositionNow();
    g_graphics->lightList->count = 0;
    r->cubeMapScene.Draw(2);
    SetSceneProjection(r);
    camera->Apply();
    g_graphics->device->SetTexture(0, nullptr);
    // The Euler rotation (0, 0, a) from its half angles reduces to a turn about z.
    const double a = ms / 1000.0;
    const Quaternion q{0.0f, 0.0f, static_cast<float>(std::sin(a / 2)), static_cast<float>(std::cos(a / 2))};
    r->scene6.GetNode("Sphere")->rotation = q;
    r->scene6.Draw(1);
}

void Scene_6::Render(DemoResources* r, float) {
    zkBeginRenderTarget(r->target5.texture, 0);
    DrawWorld(r);
    EndTargetPass(r->target5);
    BlurPass(r, r->target5, r->target6, 256.0f, 256.0f, 1.0f, 1.0f, 1.0f, 0.0f);
    BlurPass(r, r->target6, r->target5, 256.0f, 256.0f, -1.0f, 1.0f, 1.0f, 0.0f);
    BlurPass(r, r->target5, r->target6, 256.0f, 256.0f, 1.0f, -1.0f, 1.0f, 0.0f);
    BlurPass(r, r->target6, r->target5, 256.0f, 256.0f, -1.0f, -1.0f, 1.0f, 0.0f);
    DrawWorld(r);
    AddOverScreen(r, r->target5);
}
