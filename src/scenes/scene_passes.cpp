#include "scenes/scene_passes.h"

#include <cmath>

#include "compound/compound.h"
#include "gfx2d/matrix_helpers.h"
#include "gfx2d/named_texture.h"
#include "gfx2d/render_presets.h"
#include "gfx2d/screen_quad.h"
#include "platform/graphics_context.h"
#include "runtime/demo_resources.h"
#include "runtime/halo_sprites.h"
#include "shader/shader_params.h"

void EndTargetPass(NamedTexture& target) {
    if (target.texture && target.texture->renderToSurface) target.texture->renderToSurface->EndScene(0);
}

void SetSampler0Address(DWORD mode) {
    g_graphics->device->SetSamplerState(0, D3DSAMP_ADDRESSU, mode);
    g_graphics->device->SetSamplerState(0, D3DSAMP_ADDRESSV, mode);
}

void BlurPass(DemoResources* r, NamedTexture& source, NamedTexture& destination, float width, float height,
              float x, float y, float z, float w) {
    IDirect3DDevice9* device = g_graphics->device;
    zkBeginRenderTarget(destination.texture, 0);
    zkSet2D(width, height);
    zkShaderBind4f(r->blurShader.shader, "settings", x, y, z, w);
    source.Bind(0);
    if (r->blurShader.shader) {
        zkApplyShader(r->blurShader.shader);
    } else {
        device->SetVertexShader(nullptr);
        device->SetPixelShader(nullptr);
    }
    zkDrawQuad(0, 0, static_cast<int32_t>(width), static_cast<int32_t>(height), 0xFFFFFFFF);
    device->SetVertexShader(nullptr);
    device->SetPixelShader(nullptr);
    EndTargetPass(destination);
}

void AddOverScreen(DemoResources* r, NamedTexture& target) {
    IDirect3DDevice9* device = g_graphics->device;
    zkSet2D(static_cast<float>(r->width), static_cast<float>(r->height));
    zkEnable(1);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    target.Bind(0);
    zkDrawQuad(0, 0, r->width, r->height, 0xFFFFFFFF);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
}

void RenderWithBloom(DemoResources* r, const BloomOptions& options, const std::function<void(bool final)>& drawWorld) {
    zkBeginRenderTarget(r->target3.texture, 0);
    drawWorld(false);
    EndTargetPass(r->target3);
    if (options.clampWhileBlurring) SetSampler0Address(D3DTADDRESS_CLAMP);
    for (int i = 0; i < options.iterations; ++i) {
        BlurPass(r, r->target3, r->target4, 512.0f, 512.0f, 1.0f, 0.0f, 1.0f, 0.0f);
        BlurPass(r, r->target4, r->target3, 512.0f, 512.0f, 0.0f, 1.0f, 1.0f, 0.0f);
    }
    if (options.clampWhileBlurring) SetSampler0Address(D3DTADDRESS_WRAP);
    drawWorld(true);
    AddOverScreen(r, r->target3);
}

void PulseLights(DemoResources* r, Compound& lights, float x, float weight) {
    for (LightInstance& instance : lights.lightInstances) {
        const float p = HaloFlicker(x);
        instance.light->colourW = weight * p;
        r->haloSprites.size = 10.0f * p;
    }
}

void DrawHaloLayers(DemoResources* r, Compound& lights, float x, bool occlusionTest, bool draw) {
    HaloSprites& halos = r->haloSprites;
    halos.occlusionTest = occlusionTest;
    halos.useLightColour = true;
    halos.spriteTexture = &r->haloTexture;
    if (draw) halos.Draw(lights);
    for (size_t i = 0; i < lights.lightInstances.size(); ++i) halos.size = std::fabs(HaloFlicker(x)) * 15.0f;
    halos.spriteTexture = &r->lineTexture;
    for (float& c : halos.colour) c = 1.0f;
    halos.useLightColour = false;
    if (draw) halos.Draw(lights);
}

void PoseRooster(DemoResources* r, float frame) {
    r->galo.Animate(8, frame);
    Armature* armature = r->galo.GetArmature("Arm.Galo");
    zkShaderBindMatrixArray(r->lsShader.shader, "zk_BoneMatrix", static_cast<int32_t>(armature->bones.size()),
                            armature->skinMatrices.data());
}

float CycleFrame(float keyTime, double rate, int cycle, double first) {
    const double b = keyTime * rate;
    const int n = static_cast<int>(b);
    return static_cast<float>(b - static_cast<double>(cycle) * (n / cycle) + first);
}

void SetSceneProjection(DemoResources* r) {
    zkSet3D(static_cast<float>(r->width), static_cast<float>(r->height), 36.0f, 0.2f, 1000.0f);
}
