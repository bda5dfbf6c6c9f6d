#include "scenes/scene_1.h"

#include "compound/compound.h"
#include "gfx2d/matrix_helpers.h"
#include "gfx2d/screen_quad.h"
#include "platform/graphics_context.h"
#include "runtime/demo_resources.h"
#include "scenes/scene_passes.h"
#include "shader/shader_params.h"

Scene_1::Scene_1(DemoResources* resources) : camera(resources->bar.GetCamera("Bar")) {}

void Scene_1::Render(DemoResources* r, float time) {
    const int ms = static_cast<int>(time);
    RenderWithBloom(r, {1, true}, [&](bool final) { DrawWorld(r, ms, final); });
}

void Scene_1::DrawWorld(DemoResources* r, int ms, bool final) {
    DrawMirroredWorld(r, r->bar, camera, ms, final, 0.0f, 0.0f, 0.5f, value);
}

void DrawMirroredWorld(DemoResources* r, Compound& world, Camera* camera, int ms, bool final, float tintR,
                       float tintG, float tintB, float value) {
    IDirect3DDevice9* device = g_graphics->device;
    const float x = static_cast<float>((2 * ms) / 250.0);
    PulseLights(r, world, x, 0.6f);
    g_graphics->lightList->count = 0;
    world.Draw(2);
    SetSceneProjection(r);
    camera->Apply();
    zkShaderBind1f(r->lfShader.shader, "zk_ZFogValue", 1.0f);

    zkPushMatrix();
    D3DMATRIX mirror = {{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, -1, 0}, {0, 0, 0, 1}}};
    zkMultMatrix(mirror);
    world.Draw(1);
    zkPopMatrix();

    device->SetRenderState(D3DRS_ZENABLE, FALSE);
    r->haloTexture.Bind(0);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    zkDrawQuad(-20, 0, 40, 40, 0x64646464);

    device->SetRenderState(D3DRS_ZENABLE, TRUE);
    zkShaderBind1f(r->lfShader.shader, "zk_ZFogValue", 0.0f);
    zkShaderBind4f(r->lfShader.shader, "u_val", tintR, tintG, tintB, value);
    world.Draw(1);
    DrawHaloLayers(r, world, x, false, final);
}
