#include <gtest/gtest.h>

#include "backend/recording_resources.h"
#include "child_process.h"
#include "gfx2d/named_texture.h"
#include "gfx2d/texture_data.h"
#include "platform/graphics_context.h"
#include "recording_fixture.h"
#include "temp_dir.h"
#include "test_png.h"

namespace {

constexpr uint32_t kBlack = 0xFF000000, kWhite = 0xFFFFFFFF;

class Textures : public RecordingShell {
protected:
    void SetUp() override {
        RecordingShell::SetUp();
        // 3 x 5, opaque black in the top-left corner.
        std::vector<uint32_t> pixels(15, kWhite);
        pixels[0] = kBlack;
        for (const char* name : {"textures/plain.png", "textures/tex2dnpt_pic.png", "textures/tex2dnpt_.png",
                                 "tex2dnpt_dir/plain.png"})
            ASSERT_TRUE(WriteTestPng((dir.path() / name).string(), 3, 5, pixels, false));
        deviceSurfaces = log.resourcesAlive;
    }

    struct Loaded {
        UINT width, height, levels;
        D3DFORMAT format;
        uint32_t corner;
    };
    static Loaded Describe(const TextureData* record) {
        auto* texture = static_cast<RecordingTexture*>(record->texture);
        D3DSURFACE_DESC description{};
        texture->GetLevelDesc(0, &description);
        return {description.Width, description.Height, texture->GetLevelCount(), description.Format,
                texture->pixels().at(0)};
    }
    void Free(TextureData* record) {
        zkReleaseTexture(record);
        delete record;
    }

    int deviceSurfaces = 0;  // the back buffer and its depth buffer
    TempDir dir;
    WorkingDirectory cwd{dir.path()};
    MessageBoxCapture boxes;
};

}  // namespace

TEST_F(Textures, FileNameAfterTheLastBackslashChoosesTheLoadingPath) {
    TextureData* plain = zkLoadTexture("textures\\plain.png");
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->flags, kTexture2D);
    const Loaded rounded = Describe(plain);
    EXPECT_EQ(rounded.width, 4u);
    EXPECT_EQ(rounded.height, 8u);
    EXPECT_EQ(rounded.levels, 4u);  // 8, 4, 2, 1
    EXPECT_EQ(rounded.format, D3DFMT_X8R8G8B8);

    for (const char* path : {"textures\\tex2dnpt_pic.png", "textures\\tex2dnpt_.png"}) {
        TextureData* own = zkLoadTexture(path);
        ASSERT_NE(own, nullptr) << path;
        const Loaded kept = Describe(own);
        EXPECT_EQ(kept.width, 3u) << path;
        EXPECT_EQ(kept.height, 5u) << path;
        EXPECT_EQ(kept.format, D3DFMT_A8R8G8B8) << path;
        EXPECT_EQ(kept.corner, 0u) << path;  // opaque black keyed to transparent
        Free(own);
    }

    // The prefix in a directory name does not count.
    TextureData* inFolder = zkLoadTexture("tex2dnpt_dir\\plain.png");
    ASSERT_NE(inFolder, nullptr);
    EXPECT_EQ(Describe(inFolder).width, 4u);
    EXPECT_EQ(Describe(inFolder).corner, kBlack);

    Free(plain);
    Free(inFolder);
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_EQ(log.resourcesAlive, deviceSurfaces);
}

TEST_F(Textures, UnreadableFilesGiveNullAndOneBox) {
    const std::string valid = FileText((dir.path() / "textures/plain.png").string());
    dir.Write("textures/truncated.png", valid.substr(0, valid.size() / 2));
    dir.Write("textures/header-only.png", valid.substr(0, 20));
    dir.Write("textures/empty.png", "");
    dir.Write("textures/garbage.png", std::string(300, '\x7f'));
    dir.Write("textures/huge.png", PngClaimingSize(100000, 100000));
    dir.Write("textures/zero.png", PngClaimingSize(0, 4));
    dir.Write("textures/tex2dnpt_huge.png", PngClaimingSize(70000, 2));
    const std::string longName = "textures\\" + std::string(130, 'a') + ".png";
    dir.Write("textures/" + std::string(130, 'a') + ".png", valid);

    const std::vector<std::string> powerOfTwo = {
        "textures\\missing.png", "textures\\truncated.png", "textures\\header-only.png", "textures\\empty.png",
        "textures\\garbage.png", "textures\\huge.png", "textures\\zero.png", longName};
    for (const std::string& path : powerOfTwo) EXPECT_EQ(zkLoadTexture(path.c_str()), nullptr) << path;
    EXPECT_EQ(zkLoadTexture("textures\\tex2dnpt_huge.png"), nullptr);

    ASSERT_EQ(boxes.boxes.size(), powerOfTwo.size() + 1);
    for (size_t i = 0; i < powerOfTwo.size(); ++i) {
        EXPECT_EQ(boxes.boxes[i].text, "Unable to load the texture(power of two)") << powerOfTwo[i];
        EXPECT_EQ(boxes.boxes[i].caption, "zkLoadTexture Error");
        EXPECT_EQ(boxes.boxes[i].type, static_cast<UINT>(MB_ICONEXCLAMATION));
    }
    EXPECT_EQ(boxes.boxes.back().text, "Unable to load the texture(non power of two)");
    EXPECT_EQ(log.resourcesAlive, deviceSurfaces);
}

TEST_F(Textures, RenderTargetFlagsFormatsAndRefusals) {
    EXPECT_EQ(zkCreateTexture(kTexture2D | kTextureA8R8G8B8, 64, 64), nullptr);  // not a render target
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_EQ(zkCreateTexture(kTextureRenderTarget | kTexture2D, 64, 64), nullptr);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "Incorrect depth components !");
    EXPECT_EQ(boxes.boxes[0].caption, "zkCreateTexture Error");

    log.calls.clear();
    // Several format bits: the lowest wins.
    TextureData* target =
        zkCreateTexture(kTextureRenderTarget | kTexture2D | kTextureR8G8B8 | kTextureA16B16G16R16F, 256, 128);
    ASSERT_NE(target, nullptr);
    ASSERT_FALSE(CallsStartingWith("CreateTexture").empty());
    EXPECT_EQ(CallsStartingWith("CreateTexture")[0].rfind("CreateTexture(256, 128, 1, 1, 20, 0)", 0), 0u)
        << CallsStartingWith("CreateTexture")[0];
    EXPECT_NE(target->surface, nullptr);
    EXPECT_NE(target->renderToSurface, nullptr);

    TextureData* cube = zkCreateTexture(kTextureRenderTarget | kTextureCube | kTextureA8R8G8B8, 32, 999);
    ASSERT_NE(cube, nullptr);
    for (IDirect3DSurface9* face : cube->faces) EXPECT_NE(face, nullptr);
    EXPECT_EQ(cube->texture, nullptr);

    Free(target);
    Free(cube);
    EXPECT_EQ(log.resourcesAlive, deviceSurfaces);

    boxes.boxes.clear();
    log.refuseTextures = true;
    EXPECT_EQ(zkCreateTexture(kTextureRenderTarget | kTexture2D | kTextureA8R8G8B8, 8, 8), nullptr);
    EXPECT_EQ(zkCreateTexture(kTextureRenderTarget | kTextureCube | kTextureA8R8G8B8, 8, 8), nullptr);
    log.refuseTextures = false;
    log.refuseDepthSurfaces = true;
    EXPECT_EQ(zkCreateTexture(kTextureRenderTarget | kTexture2D | kTextureA8R8G8B8, 8, 8), nullptr);
    EXPECT_EQ(zkCreateTexture(kTextureRenderTarget | kTextureCube | kTextureA8R8G8B8, 8, 8), nullptr);
    std::vector<std::string> texts;
    for (const auto& box : boxes.boxes) texts.push_back(box.text);
    EXPECT_EQ(texts, (std::vector<std::string>{
                         "Unable to create texture (2D Render Target)",
                         "Unable to create texture (CubeMap Render Target)",
                         "Unable to create render surface for texture (2D)",
                         "Unable to create render surface for texture (cubemap)",
                     }));
    EXPECT_EQ(log.resourcesAlive, deviceSurfaces);  // failed records hold nothing
}

TEST_F(Textures, RenderTargetPassRedirectsAndRestores) {
    TextureData* cube = zkCreateTexture(kTextureRenderTarget | kTextureCube | kTextureA8R8G8B8, 16, 16);
    ASSERT_NE(cube, nullptr);
    const std::string face3 = ResourceName(cube->faces[3]);
    g_graphics->device->BeginScene();
    g_graphics->inScene = 1;
    log.calls.clear();

    zkBeginRenderTarget(cube, 3);
    const std::vector<std::string> begun = log.calls;
    ASSERT_GE(begun.size(), 4u);
    EXPECT_EQ(begun[0], "EndScene()");
    EXPECT_EQ(begun[1], "SetRenderTarget(0, " + face3 + ")");
    EXPECT_EQ(CallsStartingWith("BeginScene").size(), 1u);
    EXPECT_EQ(CallsStartingWith("Clear").size(), 1u);
    EXPECT_EQ(g_graphics->inScene, 0);

    log.calls.clear();
    cube->renderToSurface->EndScene(0);
    EXPECT_EQ(log.calls.front(), "EndScene()");
    EXPECT_EQ(CallsStartingWith("SetRenderTarget"), (std::vector<std::string>{"SetRenderTarget(0, surface#1)"}));

    // Faces outside 0..5, a null record and a loaded texture begin nothing.
    log.calls.clear();
    zkBeginRenderTarget(cube, 6);
    zkBeginRenderTarget(cube, -1);
    zkBeginRenderTarget(nullptr, 0);
    TextureData* picture = zkLoadTexture("textures\\plain.png");
    zkBeginRenderTarget(picture, 0);
    EXPECT_TRUE(CallsStartingWith("SetRenderTarget").empty());
    EXPECT_TRUE(CallsStartingWith("BeginScene").empty());
    Free(picture);
    Free(cube);
}

TEST_F(Textures, BindingAndFilters) {
    NamedTexture named("plain.png");
    NamedTexture missing("nothing.png");
    ASSERT_NE(named.texture, nullptr);
    EXPECT_EQ(missing.texture, nullptr);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    const std::string texture = ResourceName(named.texture->texture);

    log.calls.clear();
    named.minification = 0;
    named.Bind(1);
    missing.magnification = 7;  // leaves the magnification filter alone
    missing.Bind(0);
    zkBindTexture(nullptr, 2);
    EXPECT_EQ(log.calls, (std::vector<std::string>{
                             "SetSamplerState(1, D3DSAMP_MINFILTER, 1)",
                             "SetSamplerState(1, D3DSAMP_MAGFILTER, 2)",
                             "SetSamplerState(1, D3DSAMP_MIPFILTER, 2)",
                             "SetTexture(1, " + texture + ")",
                             "SetTextureStageState(1, D3DTSS_COLOROP, 4)",
                             "SetSamplerState(0, D3DSAMP_MINFILTER, 2)",
                             "SetSamplerState(0, D3DSAMP_MIPFILTER, 2)",
                             "SetTexture(0, null)",
                             "SetTexture(2, null)",
                         }));
}
