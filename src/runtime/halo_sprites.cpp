#include "runtime/halo_sprites.h"

#include <cmath>

#include "compound/compound.h"
#include "gfx2d/immediate_batch.h"
#include "gfx2d/render_presets.h"
#include "platform/graphics_context.h"

namespace {

void DrawPoint(float x, float y, float z) {
    zkBegin(BATCH_POINTS);
    zkVertex3f(x, y, z);
}

}  // namespace

HaloSprites::HaloSprites() { g_graphics->device->CreateQuery(D3DQUERYTYPE_OCCLUSION, &occlusionQuery); }

HaloSprites::~HaloSprites() {
    if (occlusionQuery) occlusionQuery->Release();
}

// A black test point drawn additively leaves no trace; it only counts samples.
bool HaloSprites::Visible(float x, float y, float z) {
    if (!occlusionQuery) return true;
    g_graphics->device->SetRenderState(D3DRS_ZENABLE, TRUE);
    occlusionQuery->Issue(D3DISSUE_BEGIN);
    zkColor4f(0, 0, 0, 1);
    DrawPoint(x, y, z);
    occlusionQuery->Issue(D3DISSUE_END);
    DWORD samples = 0;
    HRESULT result;
    while ((result = occlusionQuery->GetData(&samples, sizeof samples, D3DGETDATA_FLUSH)) == S_FALSE) {
    }
    return result == D3D_OK && samples > 0;
}

void HaloSprites::Draw(const Compound& compound) {
    IDirect3DDevice9* device = g_graphics->device;
    g_graphics->pointSize = size;
    zkEnable(1);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    for (const LightInstance& instance : compound.lightInstances) {
        const Vec3& p = instance.node->position;
        const bool visible = !occlusionTest || Visible(p.x, p.y, p.z);
        device->SetRenderState(D3DRS_ZENABLE, FALSE);
        if (!visible) continue;
        if (spriteTexture) spriteTexture->Bind(0);
        zkEnable(3);
        const float* c = useLightColour ? instance.light->colour : colour;
        zkColor4f(c[0], c[1], c[2], 1.0f);
        DrawPoint(p.x, p.y, p.z);
    }
}

float HaloFlicker(float x) {
    const float s = static_cast<float>(std::fabs(std::sin(x)));
    if (s > 0.800000011920929f) return (s - 0.800000011920929f) / 0.19999998807907104f;
    return 0.0f;
}
