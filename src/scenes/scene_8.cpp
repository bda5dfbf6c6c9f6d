#include "scenes/scene_8.h"

#include "compound/compound.h"
#include "gfx2d/matrix_helpers.h"
#include "gfx2d/screen_quad.h"
#include "platform/graphics_context.h"
#include "runtime/demo_resources.h"
#include "runtime/script_line.h"
#include "scenes/scene_4.h"
#include "scenes/scene_passes.h"
#include "shader/shader_params.h"

Scene_8::Scene_8(DemoResources* resources) : camera(resources->scoreboard.GetCamera("ID8")) {}

void Scene_8::SetParameter(std::string line) {
    const std::string name = ParameterName(line);
    if (SetTime(name, line)) return;
    if (name == "still") {
        if (ScriptInt(ScriptField(line, 1)) == 1) still = true;  // any other value leaves it as it was
    } else if (name == "position") {
        position = ScriptFloat(ScriptField(line, 1));
    }
}

void Scene_8::Render(DemoResources* r, float time) {
    PoseRoosterOnStage(r, time);
    RenderWithBloom(r, {2, true}, [&](bool) { DrawWorld(r, time); });
}

void Scene_8::DrawWorld(DemoResources* r, float time) {
    IDirect3DDevice9* device = g_graphics->device;
    const float k = still ? position : ProgressAt(time);
    r->scoreboard.Animate(4, 500.0f * (1.0f - k));
    g_graphics->lightList->count = 0;
    r->stage4.Draw(2);
    SetSceneProjection(r);
    camera->Apply();
    r->galo.GetNode("galo002")->scale = {1.0f, 1.0f, -1.0f};
    r->galo.Draw(1);
    zkShaderBind1f(r->displayShader.shader, "zk_ZFogValue", 1.0f);
    zkShaderBind1f(r->displayShader.shader, "zk_ZFogDist", 3.0f);
    zkShaderBind1f(r->displayShader.shader, "greetings_x", k);
    zkPushMatrix();
    zkScale(1.0f, 1.0f, -1.0f);
    r->scoreboard.Draw(1);
    zkPopMatrix();
    device->SetRenderState(D3DRS_ZENABLE, FALSE);
    r->haloTexture.Bind(0);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    zkDrawQuad(-20, -20, 40, 40, 0x64323232);
    device->SetRenderState(D3DRS_ZENABLE, TRUE);
    zkShaderBind1f(r->displayShader.shader, "zk_ZFogValue", 0.0f);
    r->scoreboard.Draw(1);
    r->galo.GetNode("galo002")->scale = {1.0f, 1.0f, 1.0f};
    r->galo.Draw(1);
}
