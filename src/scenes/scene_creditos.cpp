#include "scenes/scene_creditos.h"

#include <cmath>

#include "compound/compound.h"
#include "gfx2d/gui_primitives.h"
#include "gfx2d/immediate_batch.h"
#include "gfx2d/matrix_helpers.h"
#include "gfx2d/render_presets.h"
#include "platform/graphics_context.h"
#include "runtime/demo_resources.h"
#include "scenes/scene_passes.h"

namespace {

constexpr double kZoomPerPeriod = 277.61473516548386;
constexpr float kNestedScale = 0.003602114f;  // 1 / kZoomPerPeriod
constexpr double kTurnPerPeriod = 6.2831854820251465;
constexpr float kPanelU = 0.5882353f;          // 10 / 17

struct Vertex {
    float x, y, u, v;
};

void DrawQuadVertices(const Vertex (&corners)[4]) {
    zkBegin(BATCH_QUADS);
    for (const Vertex& c : corners) {
        g_batch.current.u = c.u, g_batch.current.v = c.v;
        zkVertex3f(c.x, c.y, 0.0f);
    }
    zkEnd();
}

}  // namespace

Scene_Creditos::Scene_Creditos(DemoResources*) {}

ZoomState ZoomAt(float k) {
    const float v = static_cast<float>(10.0 * (1 - k) + 50.0 * k);
    const float p = k * v;
    const int n = static_cast<int>(p);
    const float r = static_cast<float>(p - 10 * (n / 10));
    const float s = static_cast<float>(std::exp(std::log(kZoomPerPeriod) * r / 10));
    const float angle = static_cast<float>(r * kTurnPerPeriod / 10);
    return {r, s, angle};
}

void Scene_Creditos::DrawFullQuad(uint32_t colour) {
    zkSetPackedColour(colour);
    DrawQuadVertices({{0, 0, 0, 0}, {640, 0, 1, 0}, {640, 480, 1, 1}, {0, 480, 0, 1}});
}

void Scene_Creditos::DrawPanelQuad(uint32_t colour, float u0) {
    zkEnable(1);
    zkSetPackedColour(colour);
    DrawQuadVertices({{400, 0, u0, 0}, {800, 0, 1, 0}, {800, 480, 1, 1}, {400, 480, u0, 1}});
}

void Scene_Creditos::DrawZoom(DemoResources* r, float time) {
    const ZoomState zoom = ZoomAt(ProgressAt(time));
    zkSet2D(640.0f, 480.0f);
    g_graphics->device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    g_graphics->device->SetTexture(0, nullptr);
    zkFillRect(0, 0, 640, 480, zkPackColour(0, 0, 0, 255));
    r->pimp.Bind(0);
    zkPushMatrix();
    zkTranslate(255.0f, 150.0f, 0.0f);
    zkRotateZ(zoom.angle);
    zkScale(zoom.s, zoom.s, 1.0f);
    zkTranslate(-255.0f, -150.0f, 0.0f);
    DrawFullQuad(0xFFFFFFFF);
    for (int copy = 0; copy < 3; ++copy) {
        zkTranslate(255.0f, 150.0f, 0.0f);
        zkScale(kNestedScale, kNestedScale, 0.0f);
        zkTranslate(-255.0f, -150.0f, 0.0f);
        DrawFullQuad(0xFFFFFFFF);
    }
    zkPopMatrix();
}

void Scene_Creditos::Render(DemoResources* r, float time) {
    zkBeginRenderTarget(r->target1.texture, 0);
    DrawZoom(r, time);
    EndTargetPass(r->target1);
    for (int i = 0; i < 4; ++i) {
        BlurPass(r, r->target1, r->target2, 640.0f, 480.0f, 1.0f, 0.0f, 1.0f, 0.0f);
        BlurPass(r, r->target2, r->target1, 640.0f, 480.0f, 0.0f, 1.0f, 1.0f, 0.0f);
    }
    DrawZoom(r, time);
    r->target1.Bind(0);
    DrawPanelQuad(0xFFFFFFFF, kPanelU);
    g_graphics->device->SetTexture(0, nullptr);
    zkFillRect(400, 0, 400, 480, zkPackColour(1, 1, 1, 100));
    const float k = ProgressAt(time);
    zkPushMatrix();
    zkTranslate(320.0f, static_cast<float>(240 + 2000.0 * k), 0.0f);
    zkScale(50.0f, -50.0f, 1.0f);
    r->credits.Draw(1);
    zkPopMatrix();
}
