// Direct3D conventions on the OpenGL device, read back as pixels: quads in
// pixel space, texel centres, render targets, blending, depth range, culling.
#include <gtest/gtest.h>

#include "gfx2d/immediate_batch.h"
#include "gfx2d/matrix_helpers.h"
#include "gfx2d/render_presets.h"
#include "gfx2d/screen_quad.h"
#include "gfx2d/texture_data.h"
#include "gl_fixture.h"
#include "temp_dir.h"
#include "test_png.h"

namespace {

constexpr uint32_t kBlack = 0xFF000000, kWhite = 0xFFFFFFFF, kRed = 0xFFFF0000, kGreen = 0xFF00FF00,
                   kBlue = 0xFF0000FF;

class GlDrawing : public GlShell {
protected:
    void SetUp() override { g_batch = ImmediateBatch{}; }
    void TearDown() override {
        for (TextureData* texture : textures) zkReleaseTexture(texture), delete texture;
        GlShell::TearDown();
    }

    // A texture from pixels given top row first.
    TextureData* Texture(const char* name, uint32_t w, uint32_t h, const std::vector<uint32_t>& pixels) {
        EXPECT_TRUE(WriteTestPng((dir.path() / "textures" / name).string(), w, h, pixels));
        TextureData* texture = zkLoadTexture(("textures\\" + std::string(name)).c_str());
        EXPECT_NE(texture, nullptr);
        if (texture) textures.push_back(texture);
        return texture;
    }
    TextureData* Target(uint32_t flags, uint32_t w, uint32_t h) {
        TextureData* target = zkCreateTexture(flags, w, h);
        EXPECT_NE(target, nullptr);
        if (target) textures.push_back(target);
        return target;
    }
    // Draws into a fresh black 2D target in its own pixel space, then shows
    // the target upright over the whole back buffer.
    template <typename Draw>
    void DrawThroughTarget(uint32_t edge, Draw draw) {
        TextureData* target = Target(kTextureRenderTarget | kTexture2D | kTextureA8R8G8B8, edge, edge);
        ASSERT_TRUE(target);
        g_graphics->clearColour[0] = g_graphics->clearColour[1] = g_graphics->clearColour[2] = 0.0f;
        zkBeginRenderTarget(target, 0);
        zkSet2D(edge, edge);
        draw();
        target->renderToSurface->EndScene(0);
        zkSet2D(width, height);
        ClearTo(kBlue);
        zkBindTexture(target, 0);
        zkDrawQuad(0, 0, width, height, 0xFFFFFFFF);
    }
    void ClearTo(D3DCOLOR colour, float depth = 1.0f) {
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, colour, depth, 0);
    }
    // A triangle of untextured white in the current space.
    void Triangle(const float (&corners)[3][3]) {
        device->SetTexture(0, nullptr);
        zkColor4f(1, 1, 1, 1);
        zkBegin(BATCH_TRIANGLES);
        for (const auto& corner : corners) zkVertex3f(corner[0], corner[1], corner[2]);
    }
    void Square(float x0, float y0, float x1, float y1, float z, uint32_t colour) {
        device->SetTexture(0, nullptr);
        g_batch.current.colour = colour;
        zkBegin(BATCH_QUADS);
        zkVertex3f(x0, y0, z), zkVertex3f(x1, y0, z), zkVertex3f(x1, y1, z), zkVertex3f(x0, y1, z);
    }
    // A white point sprite of the given size at (0, 0, z), textured by what is bound.
    void PointSprite(float size, float z) {
        g_graphics->pointSize = size;
        zkEnable(1);
        zkEnable(3);
        zkColor4f(1, 1, 1, 1);
        zkBegin(BATCH_POINTS);
        zkVertex3f(0, 0, z);
    }
    int CountOf(uint32_t colour) {
        int count = 0;
        for (uint32_t pixel : Pixels()) count += (pixel | 0xFF000000u) == colour;
        return count;
    }

    TempDir dir;
    WorkingDirectory cwd{dir.path()};
    std::vector<TextureData*> textures;
};

}  // namespace

TEST_F(GlDrawing, FullScreenQuadCoversTheTargetAtFullIntensity) {
    OpenIn2D(640, 480);
    ClearTo(kBlack);
    zkBindTexture(Texture("white.png", 2, 2, {kWhite, kWhite, kWhite, kWhite}), 0);
    zkDrawQuad(0, 0, 640, 480, 0xFFFFFFFF);
    EXPECT_EQ(CountOf(kWhite), 640 * 480);

    zkDrawQuad(0, 0, 640, 480, 0xFF0000FF);  // red in the lowest byte: opaque red
    EXPECT_EQ(CountOf(kRed), 640 * 480);
}

TEST_F(GlDrawing, TexelCentresLandOnPixelCentres) {
    OpenIn2D(8, 8);
    ClearTo(kBlack);
    std::vector<uint32_t> texels(64);
    for (uint32_t i = 0; i < 64; ++i) texels[i] = 0xFF000000u | (i * 4) << 16 | (255 - i * 4) << 8 | (i % 8) * 32;
    zkBindTexture(Texture("ramp.png", 8, 8, texels), 0);
    zkSetSamplerFilters(0, 1, 1);
    // Shifted by half a pixel, each linear sample falls on one texel's centre.
    zkEnable(1);
    zkColor4f(1, 1, 1, 1);
    zkBegin(BATCH_QUADS);
    g_batch.current.u = 0, g_batch.current.v = 0, zkVertex3f(-0.5f, -0.5f, 0);
    g_batch.current.u = 1, g_batch.current.v = 0, zkVertex3f(7.5f, -0.5f, 0);
    g_batch.current.u = 1, g_batch.current.v = 1, zkVertex3f(7.5f, 7.5f, 0);
    g_batch.current.u = 0, g_batch.current.v = 1, zkVertex3f(-0.5f, 7.5f, 0);
    const std::vector<uint32_t> pixels = Pixels();
    for (int i = 0; i < 64; ++i) EXPECT_TRUE(ColourNear(pixels[i], texels[i], 1)) << "pixel " << i;

    // A one-pixel quad at integer corners covers exactly one pixel.
    ClearTo(kBlack);
    Square(3, 2, 4, 3, 0, kWhite);
    const std::vector<uint32_t> dot = Pixels();
    for (int i = 0; i < 64; ++i) EXPECT_EQ(dot[i], i == 2 * 8 + 3 ? kWhite : kBlack) << "pixel " << i;
}

TEST_F(GlDrawing, RenderTargetSampledAtTheTopShowsTheTopOfTheDrawing) {
    Open(64, 48);
    DrawThroughTarget(64, [&] { Square(0, 0, 64, 16, 0, kRed); });  // the top quarter red
    EXPECT_TRUE(ColourNear(Pixel(32, 2), kRed));
    EXPECT_TRUE(ColourNear(Pixel(32, 40), kBlack));
}

// Red at alpha 64 blended over blue: without alpha it hides the blue, with alpha three quarters show.
TEST_F(GlDrawing, TargetsWithoutAlphaSampleAsOpaque) {
    Open(16, 16);
    struct Case {
        D3DFORMAT format;
        uint32_t shown;
    };
    for (const Case& c : {Case{D3DFMT_R8G8B8, kRed}, Case{D3DFMT_X8R8G8B8, kRed}, Case{D3DFMT_A8R8G8B8, 0xFF4000BF}}) {
        IDirect3DTexture9* texture = nullptr;
        ASSERT_EQ(device->CreateTexture(16, 16, 1, D3DUSAGE_RENDERTARGET, c.format, D3DPOOL_DEFAULT, &texture, nullptr),
                  D3D_OK);
        IDirect3DSurface9 *surface = nullptr, *back = nullptr;
        texture->GetSurfaceLevel(0, &surface);
        device->GetRenderTarget(0, &back);
        device->SetRenderTarget(0, surface);
        ClearTo(0x40FF0000);
        device->SetRenderTarget(0, back);
        surface->Release();
        back->Release();

        zkSet2D(16, 16);
        ClearTo(kBlue);
        zkEnable(1);
        device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
        device->SetTexture(0, texture);
        zkDrawQuad(0, 0, 16, 16, 0xFFFFFFFF);
        EXPECT_TRUE(ColourNear(Pixel(8, 8), c.shown)) << "format " << c.format;
        device->SetTexture(0, nullptr);
        texture->Release();
    }
}

TEST_F(GlDrawing, AdditiveBlendingAddsTheQuadColour) {
    OpenIn2D(16, 16);
    ClearTo(0xFF404040);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    zkDrawQuad(0, 0, 16, 16, 0xFF403020);  // red 0x20, green 0x30, blue 0x40
    EXPECT_TRUE(ColourNear(Pixel(8, 8), 0xFF607080, 1));

    // The quad leaves blending off: the next quad replaces.
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    Square(0, 0, 16, 16, 0, 0xFF101010);
    EXPECT_TRUE(ColourNear(Pixel(8, 8), 0xFF101010, 1));
}

TEST_F(GlDrawing, DepthRunsFromZeroAtTheNearPlaneToOne) {
    OpenIn2D(16, 16);  // z = 1 lands on depth 0, z = -1 on depth 1
    device->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
    ClearTo(kBlack, 0.5f);
    Square(0, 0, 8, 16, 0.2f, kRed);     // depth 0.4: nearer than the cleared 0.5
    Square(8, 0, 16, 16, -0.2f, kGreen);  // depth 0.6: behind it
    EXPECT_EQ(Pixel(4, 8), kRed);
    EXPECT_EQ(Pixel(12, 8), kBlack);

    // Depth below 0 lies in front of the near plane and is clipped.
    ClearTo(kBlack, 1.0f);
    Square(0, 0, 8, 16, 0.98f, kRed);   // depth 0.01
    Square(8, 0, 16, 16, 1.04f, kGreen);  // depth -0.02
    EXPECT_EQ(Pixel(4, 8), kRed);
    EXPECT_EQ(Pixel(12, 8), kBlack);
}

TEST_F(GlDrawing, CullModesFollowTheWindingSeenOnScreen) {
    Open(32, 32);
    // Right, then down-left: clockwise on a screen whose y grows downward.
    const float clockwise[3][3] = {{0, 0, 0}, {32, 0, 0}, {0, 32, 0}};
    const float counterClockwise[3][3] = {{0, 0, 0}, {0, 32, 0}, {32, 0, 0}};
    for (const DWORD cull : {DWORD{D3DCULL_CW}, DWORD{D3DCULL_CCW}}) {
        zkSet2D(32, 32);
        device->SetRenderState(D3DRS_CULLMODE, cull);
        ClearTo(kBlack);
        Triangle(clockwise);
        EXPECT_EQ(Pixel(4, 4), cull == D3DCULL_CW ? kBlack : kWhite) << "cull " << cull;
        ClearTo(kBlack);
        Triangle(counterClockwise);
        EXPECT_EQ(Pixel(4, 4), cull == D3DCULL_CW ? kWhite : kBlack) << "cull " << cull;
    }

    // The same inside a render target, looked at through an upright quad.
    const float lowerRight[3][3] = {{32, 32, 0}, {32, 0, 0}, {0, 32, 0}};  // counter-clockwise
    DrawThroughTarget(32, [&] {
        device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
        Triangle(clockwise);
        Triangle(lowerRight);
    });
    EXPECT_TRUE(ColourNear(Pixel(4, 4), kBlack));
    EXPECT_TRUE(ColourNear(Pixel(28, 28), kWhite));
}

TEST_F(GlDrawing, OpaqueBlackOfNonPowerOfTwoPicturesIsTransparent) {
    OpenIn2D(16, 16);
    ClearTo(kBlue);
    zkBindTexture(Texture("tex2dnpt_mask.png", 2, 1, {kBlack, kRed}), 0);
    zkSetSamplerFilters(0, 0, 0);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    zkDrawQuad(0, 0, 16, 16, 0xFFFFFFFF);
    EXPECT_EQ(Pixel(3, 8), kBlue);
    EXPECT_EQ(Pixel(12, 8), kRed);
}

TEST_F(GlDrawing, PointSpritesShrinkWithDistance) {
    Open(64, 64);
    zkSet3D(64, 64, 36.0f, 0.2f, 1000.0f);
    ClearTo(kBlack);
    // Top half red, bottom half green: the sprite's v = 0 is its top.
    zkBindTexture(Texture("sprite.png", 2, 2, {kRed, kRed, kGreen, kGreen}), 0);
    zkSetSamplerFilters(0, 0, 0);
    PointSprite(0.5f, -4);  // 64 x 0.5 / 4: an 8-pixel sprite around the centre
    EXPECT_EQ(Pixel(32, 29), kRed);
    EXPECT_EQ(Pixel(32, 34), kGreen);
    EXPECT_EQ(Pixel(25, 32), kBlack);
    EXPECT_EQ(Pixel(32, 38), kBlack);
}

TEST_F(GlDrawing, ScaledPointSpritesStopAtTheDefaultMaximumOf64Pixels) {
    Open(128, 128);
    zkSet3D(128, 128, 36.0f, 0.2f, 1000.0f);
    ClearTo(kBlack);
    device->SetTexture(0, nullptr);
    PointSprite(10.0f, -2);  // 128 x 10 / 2 would be 640 pixels
    EXPECT_EQ(Pixel(64 - 31, 64), kWhite);
    EXPECT_EQ(Pixel(64 + 31, 64), kWhite);
    EXPECT_EQ(Pixel(64 - 33, 64), kBlack);
    EXPECT_EQ(Pixel(64 + 33, 64), kBlack);
}
