#include "model/material.h"

#include "gfx2d/render_presets.h"
#include "platform/graphics_context.h"
#include "shader/shader_params.h"

namespace {

constexpr uint32_t kBlendAlpha = 1, kBlendAlphaTest = 2, kBlendAdditive = 3;

void SetBlendFactors(DWORD source, DWORD destination) {
    IDirect3DDevice9* device = g_graphics->device;
    device->SetRenderState(D3DRS_SRCBLEND, source);
    device->SetRenderState(D3DRS_DESTBLEND, destination);
}

void SetFixedFunction() {
    g_graphics->device->SetVertexShader(nullptr);
    g_graphics->device->SetPixelShader(nullptr);
}

}  // namespace

void Material::SetTexture(int slot, NamedTexture* texture) {
    if (slot < 0 || slot >= kTextureSlots) return;
    if (!texture)
        textures[slot] = nullptr;
    else if (!textures[slot])
        textures[slot] = texture;
}

void Material::AttachShader(Shader** slot) {
    shaderSlot = slot;
    if (slot)
        flags |= MATERIAL_SHADER;
    else
        flags &= ~MATERIAL_SHADER;
}

void Material::Begin() const {
    IDirect3DDevice9* device = g_graphics->device;
    zkSetMaterialColours(diffuse, specular, ambient);
    for (int i = 0; i < kBoundSlots && textures[i]; ++i) textures[i]->Bind(static_cast<DWORD>(i));

    static const DWORD kCullModes[] = {D3DCULL_NONE, D3DCULL_CW, D3DCULL_CCW};
    if (cullMode >= 1 && cullMode <= 3) device->SetRenderState(D3DRS_CULLMODE, kCullModes[cullMode - 1]);

    if (flags & MATERIAL_BLEND) {
        zkEnable(1);
        if (blendMode == kBlendAlpha) {
            SetBlendFactors(D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA);
        } else if (blendMode == kBlendAlphaTest) {
            device->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
            device->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
            device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
            device->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
            device->SetRenderState(D3DRS_ZENABLE, TRUE);
        } else if (blendMode == kBlendAdditive) {
            SetBlendFactors(D3DBLEND_ONE, D3DBLEND_ONE);
        }
    } else {
        device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    }

    if (flags & MATERIAL_SHADER) {
        Shader* shader = shaderSlot ? *shaderSlot : nullptr;
        if (shader)
            zkApplyShader(shader);
        else
            SetFixedFunction();
    }
}

void Material::End() const {
    IDirect3DDevice9* device = g_graphics->device;
    for (int i = 0; i < kBoundSlots && textures[i]; ++i) device->SetTexture(static_cast<DWORD>(i), nullptr);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    if (flags & MATERIAL_BLEND) {
        device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
        if (blendMode == kBlendAlphaTest) device->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
        SetBlendFactors(D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA);
    }
    if (flags & MATERIAL_SHADER) SetFixedFunction();
}
