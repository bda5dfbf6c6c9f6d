#include "scenes/scene_3.h"

#include "compound/compound.h"
#include "runtime/demo_resources.h"
#include "scenes/scene_1.h"
#include "scenes/scene_passes.h"

Scene_3::Scene_3(DemoResources* resources)
    : barCamera(resources->bar.GetCamera("Bar")), celosCamera(resources->celos.GetCamera("Celos")) {}

void Scene_3::Render(DemoResources* r, float time) {
    const int ms = static_cast<int>(time);
    RenderWithBloom(r, {1, true}, [&](bool final) { DrawWorld(r, ms, final); });
}

void Scene_3::DrawWorld(DemoResources* r, int ms, bool final) {
    DrawMirroredWorld(r, r->celos, celosCamera, ms, final, 0.5f, 0.5f, 0.0f, value);
}
