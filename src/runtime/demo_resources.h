// Everything the demo loads, once, before the script is read; owned for the
// whole run. Members are built in this order and destroyed in reverse.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "compound/compound.h"
#include "gfx2d/bitmap_font.h"
#include "gfx2d/named_texture.h"
#include "runtime/frame_rate_history.h"
#include "runtime/halo_sprites.h"
#include "runtime/music.h"
#include "runtime/project_assets.h"
#include "shader/shader.h"

struct DemoApp;

// A shader held for the whole run; materials refer to the slot, not the shader.
struct ShaderSlot {
    Shader* shader = nullptr;  // null when missing or not compiling
    ShaderSlot() = default;
    ~ShaderSlot() { zkReleaseShader(shader); }
    ShaderSlot(const ShaderSlot&) = delete;
    ShaderSlot& operator=(const ShaderSlot&) = delete;
};

struct DemoResources {
    SoundDevice soundDevice;
    MusicTrack music;
    NamedTexture fontTexture;
    BitmapFont font{8.0f, 8.0f, 16.0f, 1.5f, FONT_NUDGE_LEFT | FONT_CENTRE_FIRST_LINE_VERTICALLY, nullptr};
    FrameRateHistory frameRateHistory;
    NamedTexture logo;
    NamedTexture haloTexture;
    NamedTexture lineTexture;
    NamedTexture backQuad;
    HaloSprites haloSprites;
    Compound galo;
    Compound bar;
    Compound stage2;
    Compound celos;
    Compound stage4;
    Compound stage5;
    Compound scene6;
    Compound patterns;
    ShaderSlot displayShader;
    Compound scoreboard;
    NamedTexture greetings;
    Compound stage9;
    ShaderSlot nlShader;
    ShaderSlot lfShader;
    NamedTexture target1, target2;  // 256 x 256
    NamedTexture target3, target4;  // 512 x 512
    NamedTexture target5, target6;  // 256 x 256
    NamedTexture cubeTarget;        // 128, filled once at load
    ShaderSlot blurShader;
    ShaderSlot floorShader;
    ShaderSlot lsShader;
    Compound cubeMapScene;
    ShaderSlot cubeMapShader;
    Compound credits;
    NamedTexture pimp;
    Compound auxLights;
    ProjectAssets project;  // what the script's maker lines name
    DemoApp* app = nullptr;  // not owned
    int width = 0;
    int height = 0;
    float aspect = 0.0f;

    // Every shader slot with the file name it is loaded from.
    std::vector<std::pair<const char*, ShaderSlot*>> NamedShaderSlots();
    // Loads every asset with the first loading-screen stage and wires
    // materials to their shaders and textures. A missing material ends the process.
    // project.files says which music opens, whether the original's fixed
    // assets load and which files of the project load after them.
    void Load();
    // One loading-screen frame: the logo at the alpha of progress, then
    // progress advances with the frame time. True while progress <= target.
    bool LoadingStep(float* progress, float target);

    // For tools that play the data while it is edited; the demo loads once and
    // never calls these. Names are file names as the loading passes them
    // ("zkBlurShader", "scene_6.nc", "tex2d_backquad.png").
    ShaderSlot* ShaderSlotOf(const std::string& fileName);
    Compound* CompoundOf(const std::string& fileName);
    // Each of these draws the environment cube map again when what it
    // changed is drawn into it.
    // Compiles the file again into its slot, keeping the values bound on the
    // old shader; the old one stays when the new one fails.
    bool ReloadShader(ShaderSlot* slot, const std::string& fileName);
    // Every texture loaded from the file, the compounds' own included: the
    // number reloaded, or -1 (old pictures kept) when the file does not load.
    int ReloadTexture(const std::string& fileName);
    // A loaded compound takes the place of *slot and is wired as the loading
    // wires it. No scene may point into the old one.
    void ReplaceCompound(Compound* slot, Compound&& fresh);

private:
    void PreRenderCubeMap();
    // Whether a material of the cube map's compound uses the slot, or a texture of the file.
    bool CubeMapUsesShader(Shader* const* shaderSlot) const;
    bool CubeMapUsesTexture(const std::string& fileName) const;
    std::vector<std::pair<const char*, Compound*>> NamedCompounds();
    // The materials the loading wires to shaders and textures, for one compound.
    void WireCompound(Compound* compound);
    // The scoreboard's "Bolas": the loading loads the greetings between the two.
    void WireBolasShader();
    void WireBolasGreetings();
};
