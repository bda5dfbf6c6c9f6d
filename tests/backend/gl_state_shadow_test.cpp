// The OpenGL device sets per draw only the state whose value changed, and
// its record of what GL holds stays true when GL changes it behind the
// draws: deleted textures whose names come back, uploads that bind, render
// targets. GL calls are counted through libepoxy's entry points.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "backend/gl_resources.h"
#include "gfx2d/screen_quad.h"
#include "gl_call_counter.h"
#include "hlsl_corpus_fixture.h"  // MakeTexture

namespace {

constexpr uint32_t kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF;

class GlStateShadowing : public GlShell {
protected:
    void SetUp() override {
        // Mesa's option to hand freed names out again, as other drivers do,
        // read when a context is made.
        setenv("force_gl_names_reuse", "true", 1);
        OpenIn2D(16, 16);
    }
    void TearDown() override {
        for (IDirect3DTexture9* texture : textures)
            if (texture) texture->Release();
        GlShell::TearDown();
    }

    // A 1 x 1 texture of one colour; owned by the test unless released earlier.
    IDirect3DTexture9* Solid(uint32_t colour) {
        IDirect3DTexture9* texture = MakeTexture(device, 1, 1, 1, {colour});
        EXPECT_NE(texture, nullptr);
        textures.push_back(texture);
        return texture;
    }
    static void Fill(IDirect3DTexture9* texture, uint32_t colour) {
        D3DLOCKED_RECT locked{};
        ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
        *static_cast<uint32_t*>(locked.pBits) = colour;
        texture->UnlockRect(0);
    }
    void Release(IDirect3DTexture9* texture) {
        for (IDirect3DTexture9*& owned : textures)
            if (owned == texture) owned = nullptr;
        texture->Release();
    }
    static GLuint NameOf(IDirect3DTexture9* texture) { return static_cast<GlTexture*>(texture)->name(); }
    // A quad over the back buffer showing the texture on a stage.
    void DrawWith(DWORD stage, IDirect3DTexture9* texture) {
        device->SetTexture(stage, texture);
        zkDrawQuad(0, 0, width, height, 0xFFFFFFFF);
    }

    std::vector<IDirect3DTexture9*> textures;
};

}  // namespace

TEST_F(GlStateShadowing, ARepeatedDrawSetsNoStateAgain) {
    IDirect3DTexture9* red = Solid(kRed);
    IDirect3DTexture9* green = Solid(kGreen);
    GlCallCounter counter;
    DrawWith(0, red);
    const int first = counter.Total();
    counter.Reset();
    DrawWith(0, red);
    for (const char* call : {"glActiveTexture", "glBindTexture", "glBindSampler", "glSamplerParameteri",
                             "glUseProgram", "glEnableVertexAttribArray", "glDisableVertexAttribArray",
                             "glVertexAttribPointer", "glBindBufferBase"})
        EXPECT_EQ(counter.Count(call), 0) << call << " in " << counter.Describe();
    EXPECT_EQ(counter.Count("glDrawArrays"), 1);
    std::printf("GL calls: first draw %d, the same draw again %d (%s)\n", first, counter.Total(),
                counter.Describe().c_str());

    // Another texture on the stage: one bind, on the unit already active or after selecting it.
    counter.Reset();
    DrawWith(0, green);
    EXPECT_EQ(counter.Count("glBindTexture"), 1) << counter.Describe();
    EXPECT_LE(counter.Count("glActiveTexture"), 1) << counter.Describe();
    EXPECT_EQ(counter.Count("glSamplerParameteri"), 0) << counter.Describe();
    EXPECT_TRUE(ColourNear(Pixel(8, 8), kGreen));

    // A changed filter sets that parameter alone.
    counter.Reset();
    device->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    DrawWith(0, green);
    EXPECT_EQ(counter.Count("glSamplerParameteri"), 1) << counter.Describe();
    EXPECT_EQ(counter.Count("glBindTexture"), 0) << counter.Describe();
}

TEST_F(GlStateShadowing, ATextureMadeUnderADeletedTexturesNameIsBound) {
    IDirect3DTexture9* red = Solid(kRed);
    DrawWith(0, red);
    EXPECT_TRUE(ColourNear(Pixel(8, 8), kRed));
    const GLuint oldName = NameOf(red);
    device->SetTexture(0, nullptr);  // the stage lets go; GL's unit still holds it until the next draw
    Release(red);

    // GL hands the freed name out again: the new texture must still be bound
    // to the unit, which GL emptied when the old one was deleted.
    IDirect3DTexture9* blue = Solid(kBlue);
    ASSERT_EQ(NameOf(blue), oldName) << "the driver did not reuse the name; the case is not reached";
    DrawWith(0, blue);
    EXPECT_TRUE(ColourNear(Pixel(8, 8), kBlue));
}

TEST_F(GlStateShadowing, AnUploadThatBindsOnADrawnUnitIsUndoneByTheNextDraw) {
    IDirect3DTexture9* red = Solid(kRed);
    IDirect3DTexture9* green = Solid(kGreen);
    IDirect3DTexture9* blue = Solid(kBlue);
    DrawWith(0, red);
    DrawWith(0, green);  // the last unit the device selected is unit 0
    EXPECT_TRUE(ColourNear(Pixel(8, 8), kGreen));
    Fill(blue, kRed);  // binds blue on the active unit to upload
    DrawWith(0, green);
    EXPECT_TRUE(ColourNear(Pixel(8, 8), kGreen));
}

TEST_F(GlStateShadowing, ARenderTargetDrawnBetweenTwoDrawsIsSampledAfterIt) {
    IDirect3DTexture9* red = Solid(kRed);
    IDirect3DTexture9* target = nullptr;
    ASSERT_EQ(device->CreateTexture(16, 16, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &target,
                                    nullptr),
              D3D_OK);
    textures.push_back(target);
    IDirect3DSurface9* backBuffer = nullptr;
    IDirect3DSurface9* surface = nullptr;
    device->GetRenderTarget(0, &backBuffer);
    target->GetSurfaceLevel(0, &surface);

    device->SetRenderTarget(0, surface);
    DrawWith(0, red);  // the target turns red
    device->SetRenderTarget(0, backBuffer);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, kBlue, 1.0f, 0);
    DrawWith(0, target);
    EXPECT_TRUE(ColourNear(Pixel(8, 8), kRed));
    surface->Release();
    backBuffer->Release();
}
