#include "runtime/fade_scenes.h"

#include "gfx2d/gui_primitives.h"
#include "gfx2d/immediate_batch.h"
#include "gfx2d/matrix_helpers.h"
#include "platform/graphics_context.h"

namespace {

// 640 x 480 space at every resolution, so the rectangle covers the screen.
void DrawBlack(float opacity) {
    zkFillRect(0, 0, 640, 480, zkPackColour(0, 0, 0, TruncatedLowByte(opacity * 255.0f)));
}

}  // namespace

Scene_FTB::Scene_FTB(DemoResources*) {}

void Scene_FTB::Render(DemoResources*, float time) {
    const float k = ProgressAt(time);
    IDirect3DDevice9* device = g_graphics->device;
    zkSet2D(640, 480);
    device->SetRenderState(D3DRS_ZENABLE, FALSE);
    device->SetTexture(0, nullptr);
    device->SetVertexShader(nullptr);
    device->SetPixelShader(nullptr);
    DrawBlack(k);
}

Scene_IFTB::Scene_IFTB(DemoResources*) {}

void Scene_IFTB::Render(DemoResources*, float time) {
    zkSet2D(640, 480);
    g_graphics->device->SetTexture(0, nullptr);
    // The bound shaders stay as they are.
    DrawBlack(1.0f - ProgressAt(time));
}
