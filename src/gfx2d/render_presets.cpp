#include "gfx2d/render_presets.h"

#include <cstring>

#include "platform/graphics_context.h"

namespace {

DWORD FloatBits(float value) {
    DWORD bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

}  // namespace

void zkEnable(int preset) {
    IDirect3DDevice9* device = g_graphics->device;
    switch (preset) {
        case 1:
            device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
            device->SetRenderState(D3DRS_DIFFUSEMATERIALSOURCE, D3DMCS_COLOR1);
            device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
            device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
            device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
            device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
            device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_DIFFUSE);
            device->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_TEXTURE);
            break;
        case 2:
            device->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
            break;
        case 3:
            device->SetRenderState(D3DRS_POINTSPRITEENABLE, TRUE);
            device->SetRenderState(D3DRS_POINTSCALEENABLE, TRUE);
            device->SetRenderState(D3DRS_POINTSIZE, FloatBits(g_graphics->pointSize));
            device->SetRenderState(D3DRS_POINTSIZE_MIN, FloatBits(1.0f));
            device->SetRenderState(D3DRS_POINTSCALE_A, FloatBits(0.0f));
            device->SetRenderState(D3DRS_POINTSCALE_B, FloatBits(0.0f));
            device->SetRenderState(D3DRS_POINTSCALE_C, FloatBits(1.0f));
            break;
        case 5:
            device->SetRenderState(D3DRS_LIGHTING, TRUE);
            break;
        case 6:
            device->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
            device->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
            device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
            device->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
            device->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
            break;
        case 11:
            device->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
            break;
        case 12:
            device->SetRenderState(D3DRS_COLORWRITEENABLE1, D3DCOLORWRITEENABLE_RED);
            device->SetRenderState(D3DRS_COLORWRITEENABLE2, D3DCOLORWRITEENABLE_RED);
            device->SetRenderState(D3DRS_COLORWRITEENABLE3, D3DCOLORWRITEENABLE_RED);
            break;
        default:
            break;
    }
}
