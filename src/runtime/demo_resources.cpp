#include "runtime/demo_resources.h"

#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "backend/load_phases.h"
#include "backend/win32.h"
#include "gfx2d/matrix_helpers.h"
#include "gfx2d/screen_quad.h"
#include "gfx2d/texture_data.h"
#include "platform/demo_app.h"
#include "shader/shader_params.h"

namespace {

constexpr uint32_t kRenderTarget2D = kTextureRenderTarget | kTextureR8G8B8 | kTexture2D;      // 0x29
constexpr uint32_t kRenderTargetCube = kTextureRenderTarget | kTextureR8G8B8 | kTextureCube;  // 0x2C

void LoadTexture(NamedTexture* texture, const char* name, int filter = 1) {
    texture->Load(name);
    texture->magnification = texture->minification = filter;
}

void CreateTarget(NamedTexture* target, uint32_t flags, uint32_t edge) {
    target->texture = zkCreateTexture(flags, edge, edge);
    target->magnification = target->minification = 1;
}

void UseShader(Compound& compound, const char* material, ShaderSlot& slot) {
    compound.GetMaterial(material)->AttachShader(&slot.shader);
}

void UseTexture(Compound& compound, const char* material, int textureSlot, NamedTexture* texture) {
    compound.GetMaterial(material)->SetTexture(textureSlot, texture);
}

// "BlueFloor" and "R2" are the floors of the stages: one shader and the back
// quad. Stage 4 is given the quad first, the others the shader; a compound
// without them shows the first name it is asked for.
void WireFloorShaders(Compound& compound, ShaderSlot& shader) {
    UseShader(compound, "BlueFloor", shader);
    UseShader(compound, "R2", shader);
}

void WireFloorTextures(Compound& compound, NamedTexture* backQuad) {
    UseTexture(compound, "R2", 0, backQuad);
    UseTexture(compound, "BlueFloor", 0, backQuad);
}

}  // namespace

void DemoResources::Load() {
    ShowCursor(FALSE);
    music.SetDevice(soundDevice);
    music.Open("audio/" + project.files.musicFile);
    logo.Load("tex2dnpt_logo_presentation.png");
    float progress = 0.0f;
    while (LoadingStep(&progress, 0.9f)) {
    }
    if (!project.files.originalScenes) {
        LoadProjectAssets(this);
        return;
    }

    LoadTexture(&fontTexture, "fnt_04b08.png", 0);
    font.texture = &fontTexture;
    haloTexture.Load("tex2d_particle_halo.png");
    lineTexture.Load("tex2d_particle_lines.png");
    haloSprites.spriteTexture = &haloTexture;
    backQuad.Load("tex2d_backquad.png");
    zkLoadShader(nlShader.shader, "zkNLShader");
    zkLoadShader(lfShader.shader, "zkLFShader");
    zkLoadShader(lsShader.shader, "zkLSShader");

    bar.Load("scene_1_bar.nc");
    WireCompound(&bar);
    stage2.Load("scene_2_stage.nc");
    galo.Load("galo.nc");
    WireCompound(&galo);
    celos.Load("scene_3_celos.nc");
    WireCompound(&celos);
    stage4.Load("scene_4_stage.nc");
    stage5.Load("scene_5_stage.nc");

    CreateTarget(&target1, kRenderTarget2D, 256);
    CreateTarget(&target2, kRenderTarget2D, 256);
    CreateTarget(&target3, kRenderTarget2D, 512);
    CreateTarget(&target4, kRenderTarget2D, 512);
    CreateTarget(&cubeTarget, kRenderTargetCube, 128);

    scene6.Load("scene_6.nc");
    zkLoadShader(cubeMapShader.shader, "zkDLV_CubeMap");
    WireCompound(&scene6);
    credits.Load("scene_creditos.nc");
    zkLoadShader(blurShader.shader, "zkBlurShader");
    LoadTexture(&pimp, "tex2dnpt_pimp.png");
    zkLoadShader(floorShader.shader, "zkFloorShader");

    patterns.Load("scene_7_padroes.nc");
    WireCompound(&patterns);
    WireCompound(&stage4);

    zkLoadShader(displayShader.shader, "zkDisplayShader");
    scoreboard.Load("scene_8_placar.nc");
    WireBolasShader();
    greetings.Load("tex2dnpt_greetings.png");
    WireBolasGreetings();
    greetings.magnification = greetings.minification = 0;

    stage9.Load("scene_9_stage.nc");
    WireCompound(&stage9);

    CreateTarget(&target5, kRenderTarget2D, 256);
    CreateTarget(&target6, kRenderTarget2D, 256);
    cubeMapScene.Load("scene_cubemap.nc");
    zkShaderBind1f(lfShader.shader, "zk_ZFogValue", 0.0f);
    WireCompound(&cubeMapScene);
    auxLights.Load("scene_4_aux_lights.nc");
    PreRenderCubeMap();
    LoadProjectAssets(this);
}

void DemoResources::WireCompound(Compound* compound) {
    if (compound == &bar) UseShader(bar, "LetrasBar", lfShader);
    if (compound == &galo) UseShader(galo, "Galo", lsShader);
    if (compound == &celos) UseShader(celos, "Celos", lfShader);
    if (compound == &scene6) {
        UseShader(scene6, "Brilhante", cubeMapShader);
        UseTexture(scene6, "Brilhante", 0, &cubeTarget);
    }
    if (compound == &patterns) {
        WireFloorShaders(patterns, floorShader);
        WireFloorTextures(patterns, &backQuad);
    }
    if (compound == &stage4) {
        WireFloorTextures(stage4, &backQuad);
        WireFloorShaders(stage4, floorShader);
    }
    if (compound == &scoreboard) {
        WireBolasShader();
        WireBolasGreetings();
    }
    if (compound == &stage9) {
        WireFloorShaders(stage9, nlShader);
        WireFloorTextures(stage9, &backQuad);
    }
    if (compound == &cubeMapScene) {
        UseShader(cubeMapScene, "RZ1", lfShader);
        UseShader(cubeMapScene, "RZ2", lfShader);
    }
}

void DemoResources::WireBolasShader() { UseShader(scoreboard, "Bolas", displayShader); }

void DemoResources::WireBolasGreetings() { UseTexture(scoreboard, "Bolas", 1, &greetings); }

ShaderSlot* DemoResources::ShaderSlotOf(const std::string& fileName) {
    if (ShaderSlot* slot = project.ShaderOf(fileName)) return slot;
    for (const auto& [name, slot] : NamedShaderSlots())
        if (fileName == name) return slot;
    return nullptr;
}

std::vector<std::pair<const char*, ShaderSlot*>> DemoResources::NamedShaderSlots() {
    return {{"zkNLShader", &nlShader},         {"zkLFShader", &lfShader},   {"zkLSShader", &lsShader},
            {"zkDLV_CubeMap", &cubeMapShader}, {"zkBlurShader", &blurShader}, {"zkFloorShader", &floorShader},
            {"zkDisplayShader", &displayShader}};
}

std::vector<std::pair<const char*, Compound*>> DemoResources::NamedCompounds() {
    return {{"scene_1_bar.nc", &bar},          {"scene_2_stage.nc", &stage2},   {"galo.nc", &galo},
            {"scene_3_celos.nc", &celos},      {"scene_4_stage.nc", &stage4},   {"scene_5_stage.nc", &stage5},
            {"scene_6.nc", &scene6},           {"scene_creditos.nc", &credits}, {"scene_7_padroes.nc", &patterns},
            {"scene_8_placar.nc", &scoreboard}, {"scene_9_stage.nc", &stage9},  {"scene_cubemap.nc", &cubeMapScene},
            {"scene_4_aux_lights.nc", &auxLights}};
}

Compound* DemoResources::CompoundOf(const std::string& fileName) {
    for (const auto& [name, compound] : NamedCompounds())
        if (fileName == name) return compound;
    return nullptr;
}

bool DemoResources::ReloadShader(ShaderSlot* slot, const std::string& fileName) {
    Shader* fresh = nullptr;
    if (!zkLoadShader(fresh, fileName)) return false;
    if (slot->shader) zkShaderCopyBindings(*slot->shader, fresh);
    zkReleaseShader(slot->shader);
    slot->shader = fresh;
    if (CubeMapUsesShader(&slot->shader)) PreRenderCubeMap();
    return true;
}

int DemoResources::ReloadTexture(const std::string& fileName) {
    std::vector<NamedTexture*> users;
    for (NamedTexture* texture : {&fontTexture, &logo, &haloTexture, &lineTexture, &backQuad, &greetings, &pimp})
        if (texture->name == fileName) users.push_back(texture);
    for (const auto& [name, compound] : NamedCompounds())
        if (compound->datablocks)
            for (const auto& texture : compound->datablocks->textures)
                if (texture->name == fileName) users.push_back(texture.get());
    project.TexturesOf(fileName, &users);
    for (NamedTexture* texture : users)
        if (!texture->Reload()) return -1;
    if (CubeMapUsesTexture(fileName)) PreRenderCubeMap();
    return static_cast<int>(users.size());
}

void DemoResources::ReplaceCompound(Compound* slot, Compound&& fresh) {
    *slot = std::move(fresh);
    WireCompound(slot);
    if (slot == &cubeMapScene) PreRenderCubeMap();
}

bool DemoResources::CubeMapUsesShader(Shader* const* shaderSlot) const {
    if (cubeMapScene.datablocks)
        for (const auto& material : cubeMapScene.datablocks->materials)
            if (material->shaderSlot == shaderSlot) return true;
    return false;
}

bool DemoResources::CubeMapUsesTexture(const std::string& fileName) const {
    if (cubeMapScene.datablocks)
        for (const auto& material : cubeMapScene.datablocks->materials)
            for (const NamedTexture* texture : material->textures)
                if (texture && texture->name == fileName) return true;
    return false;
}

void DemoResources::PreRenderCubeMap() {
    LoadPhaseTimer preRenderTime(LoadPhase::CubePreRender);
    g_graphics->lightList->count = 0;
    cubeMapScene.Draw(2);
    TextureData* cube = cubeTarget.texture;
    for (int face = 0; face < 6; ++face) {
        if (cube) zkBeginRenderTarget(cube, face);
        zkSetCubeFaceCamera(face, 0, 0, 12, 1.0f, 400.0f);
        g_graphics->device->SetRenderState(D3DRS_ZENABLE, TRUE);
        cubeMapScene.Draw(1);
        if (cube && cube->renderToSurface) cube->renderToSurface->EndScene(0);
    }
}

bool DemoResources::LoadingStep(float* progress, float target) {
    LoadPhaseTimer fadeTime(LoadPhase::LogoFade);
    ShowCursor(FALSE);
    FPS_Timer* timer = app->timer;
    timer->Update();
    AppWindow* window = app->window;
    g_currentWindow = window;
    // A WM_QUIT here is dropped: loading goes on.
    if (PeekMessageA(&window->message, nullptr, 0, 0, PM_REMOVE) && window->message.message != WM_QUIT) {
        TranslateMessage(&window->message);
        DispatchMessageA(&window->message);
    }
    g_graphics->clearFlags = D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER;
    g_graphics->clearColour[0] = g_graphics->clearColour[1] = g_graphics->clearColour[2] = 0.0f;
    g_graphics->clearColour[3] = 1.0f;
    zkClear();
    zkSet2D(static_cast<float>(width), static_cast<float>(height));
    logo.Bind(0);
    g_graphics->device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    g_graphics->device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);

    const float p = *progress;
    const float cube = static_cast<float>(std::pow(p, 3.0));
    const double curve = (1.0f - p) * cube / 0.11 * 255.0;  // peaks near 244 at p = 0.75
    const uint32_t alpha = static_cast<uint32_t>(static_cast<int64_t>(curve)) & 0xFF;
    zkDrawQuad(0, 0, width, height, alpha << 24 | 0x00FFFFFFu);
    *progress += timer->GetFrameFactor(60.0f) * 0.01f;
    zkPresent();
    return *progress <= target;
}
