#include "scenes/scene_5.h"

#include <cmath>

#include "backend/d3dx9_math.h"
#include "compound/compound.h"
#include "gfx2d/matrix_helpers.h"
#include "gfx2d/screen_quad.h"
#include "platform/graphics_context.h"
#include "runtime/demo_resources.h"
#include "scenes/scene_passes.h"

Scene_5::Scene_5(DemoResources* resources) : camera(resources->stage5.GetCamera("ID5")) {}

namespace {

void DrawOnBackdrop(DemoResources* r, NamedTexture& target, uint32_t tint, Camera* camera, float time, bool roll) {
    const float w = static_cast<float>(r->width), h = static_cast<float>(r->height);
    zkBeginRenderTarget(target.texture, 0);
    zkSet2D(w, h);
    r->backQuad.Bind(0);
    zkDrawQuad(0, 0, r->width, r->height, tint);
    g_graphics->device->SetTexture(0, nullptr);
    SetSceneProjection(r);
    camera->Apply();
    if (roll) {
        D3DMATRIX rotation;
        zkMultMatrix(*D3DXMatrixRotationZ(&rotation, static_cast<float>(std::sin(time / 1000.0))));
    }
    r->galo.Draw(1);
    EndTargetPass(target);
}

}  // namespace

void DrawRoosterTiles(DemoResources* r, Camera* camera, float time, bool roll) {
    PoseRooster(r, CycleFrame(static_cast<float>(time / 1000.0 * 25.0), 2.0, 120, 230.0));
    DrawOnBackdrop(r, r->target1, 0xFF0000FF, camera, time, roll);
    DrawOnBackdrop(r, r->target2, 0xFFFFFFFF, camera, time, roll);
}

void Scene_5::DrawTargets(DemoResources* r, float time) { DrawRoosterTiles(r, camera, time, false); }

void RenderTiles(DemoResources* r, const std::function<void()>& drawTargets, const std::function<void()>& drawCells) {
    g_graphics->lightList->count = 0;
    r->stage5.Draw(2);
    drawTargets();
    zkSet2D(static_cast<float>(r->width), static_cast<float>(r->height));
    SetSampler0Address(D3DTADDRESS_CLAMP);
    drawCells();
    SetSampler0Address(D3DTADDRESS_WRAP);
}

void Scene_5::Render(DemoResources* r, float time) {
    RenderTiles(r, [&] { DrawTargets(r, time); }, [&] { DrawQuarters(r, ProgressAt(time)); });
}

void Scene_5::DrawQuarters(DemoResources* r, float k) {
    const int hw = r->width / 2, hh = r->height / 2;
    r->target1.Bind(0);
    zkDrawQuad(0, 0, hw, hh, 0xFFFFFFFF);
    if (k > 0.25f) {
        r->target2.Bind(0);
        zkDrawQuadMirrored(hw, 0, hw, hh, 0xFFFFFFFF);
        if (k > 0.5f) {
            r->target2.Bind(0);
            zkDrawQuadMirrored(0, hh, hw, hh, 0xFFFFFFFF);
            if (k > 0.75f) {
                r->target1.Bind(0);
                zkDrawQuad(hw, hh, hw, hh, 0xFFFFFFFF);
            }
        }
    }
}
