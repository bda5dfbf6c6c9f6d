// Halo sprites: one per light, hidden lights skipped through occlusion
// queries (recorded and on the OpenGL device), and the flicker curve.
#include "runtime/halo_sprites.h"

#include <gtest/gtest.h>

#include <cmath>

#include "compound/compound.h"
#include "gfx2d/immediate_batch.h"
#include "gfx2d/matrix_helpers.h"
#include "gfx2d/render_presets.h"
#include "gl_fixture.h"
#include "recording_fixture.h"

namespace {

// Two lights, red at (-3, 0, -10) and green at (3, 0, -10).
struct TwoLights {
    TwoLights() {
        left.position = {-3, 0, -10}, right.position = {3, 0, -10};
        red.colour[0] = 1, green.colour[1] = 1;
        compound.lightInstances = {{&left, &red}, {&right, &green}};
    }
    Node left, right;
    Light red, green;
    Compound compound;
};

class HaloRecording : public RecordingShell {
protected:
    void SetUp() override {
        RecordingShell::SetUp();
        g_batch = ImmediateBatch{};
    }
    size_t Sprites() const { return CallsStartingWith("SetRenderState(D3DRS_POINTSPRITEENABLE, 1)").size(); }
    TwoLights lights;
};

}  // namespace

TEST_F(HaloRecording, OcclusionDecidesWhichLightsGetASprite) {
    HaloSprites halos;
    halos.occlusionTest = false;
    log.occlusionSamples = 0;
    log.clear();
    halos.Draw(lights.compound);
    EXPECT_EQ(Sprites(), 2u);
    EXPECT_TRUE(CallsStartingWith("Issue").empty());

    // Hidden lights, a result that takes polls to arrive, a failing query.
    halos.occlusionTest = true;
    log.queryPollsBeforeReady = 2;
    log.clear();
    halos.Draw(lights.compound);
    EXPECT_EQ(Sprites(), 0u);
    EXPECT_EQ(CallsStartingWith("GetData").size(), 6u);
    EXPECT_EQ(CallsStartingWith("Issue(query#").size(), 4u);
    log.occlusionSamples = 5;
    log.clear();
    halos.Draw(lights.compound);
    EXPECT_EQ(Sprites(), 2u);
    log.queryFails = true;
    log.clear();
    halos.Draw(lights.compound);
    EXPECT_EQ(Sprites(), 0u);
    EXPECT_EQ(log.calls.back(), "SetRenderState(D3DRS_ZENABLE, 0)");
}

TEST_F(HaloRecording, ColoursAndAnEmptyCompound) {
    HaloSprites halos;
    halos.occlusionTest = false;
    halos.colour[2] = 1;
    halos.Draw(lights.compound);
    std::vector<std::string> points = CallsStartingWith("DrawPrimitiveUP(D3DPT_POINTLIST");
    ASSERT_EQ(points.size(), 2u);
    EXPECT_NE(points[0].find("#FF0000FF"), std::string::npos) << points[0];  // the colour field, alpha 1
    halos.useLightColour = true;
    log.clear();
    halos.Draw(lights.compound);
    points = CallsStartingWith("DrawPrimitiveUP(D3DPT_POINTLIST");
    EXPECT_NE(points[0].find("-3 0 -10 #FFFF0000"), std::string::npos) << points[0];

    Compound empty;
    log.clear();
    halos.Draw(empty);
    EXPECT_EQ(CallsStartingWith("SetRenderState(D3DRS_ALPHABLENDENABLE, 1)").size(), 1u);
    EXPECT_EQ(CallsStartingWith("SetRenderState(D3DRS_SRCBLEND, 2)").size(), 1u);
    EXPECT_EQ(CallsStartingWith("SetRenderState(D3DRS_DESTBLEND, 2)").size(), 1u);
    EXPECT_TRUE(CallsStartingWith("SetRenderState(D3DRS_ZENABLE").empty());

    // Without queries every light counts as visible.
    log.refuseQueries = true;
    HaloSprites blind;
    log.clear();
    blind.Draw(lights.compound);
    EXPECT_EQ(Sprites(), 2u);
}

TEST(HaloFlickerCurve, FlashesOnlyNearThePeaks) {
    EXPECT_EQ(HaloFlicker(0.0f), 0.0f);
    EXPECT_NEAR(HaloFlicker(static_cast<float>(M_PI / 2)), 1.0f, 1e-6f);
    for (float x = -10; x < 10; x += 0.01f)
        if (std::fabs(std::sin(x)) <= 0.8f) {
            EXPECT_EQ(HaloFlicker(x), 0.0f) << x;
        }
}

class HaloPixels : public GlShell {};

TEST_F(HaloPixels, ALightBehindAnOpaqueQuadGetsNoSprite) {
    Open(64, 64);
    g_batch = ImmediateBatch{};
    zkSet3D(64, 64, 90, 1, 100);
    device->SetTexture(0, nullptr);
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    zkEnable(2);
    zkColor4f(0, 0, 1, 1);  // a blue wall over the left half, in front of the red light
    zkBegin(BATCH_QUADS);
    zkVertex3f(-10, -10, -5), zkVertex3f(0, -10, -5), zkVertex3f(0, 10, -5), zkVertex3f(-10, 10, -5);

    TwoLights lights;
    HaloSprites halos;
    ASSERT_NE(halos.occlusionQuery, nullptr);
    halos.size = 1;  // 6.4 pixels at distance 10 on a 64-pixel viewport
    halos.useLightColour = true;
    halos.Draw(lights.compound);
    // (3, 0, -10) lands 9.6 pixels right of the centre, (-3, 0, -10) as far left.
    EXPECT_EQ(Pixel(42, 32), 0xFF00FF00u);
    EXPECT_EQ(Pixel(22, 32), 0xFF0000FFu);
    for (uint32_t pixel : Pixels()) EXPECT_EQ(pixel & 0x00FF0000u, 0u);
}

// The occlusion loop asks with D3DGETDATA_FLUSH and so reads once, blocking;
// without the flag GetData is polled. Both must count the same samples.
TEST_F(HaloPixels, AFlushedReadCountsWhatPollingCounts) {
    OpenIn2D(64, 64);
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    IDirect3DQuery9* query = nullptr;
    ASSERT_EQ(device->CreateQuery(D3DQUERYTYPE_OCCLUSION, &query), D3D_OK);
    const auto countSamples = [&](float w, float h, DWORD flags) {
        query->Issue(D3DISSUE_BEGIN);
        zkColor4f(1, 1, 1, 1);
        zkBegin(BATCH_QUADS);
        zkVertex3f(0, 0, 0), zkVertex3f(w, 0, 0), zkVertex3f(w, h, 0), zkVertex3f(0, h, 0);
        query->Issue(D3DISSUE_END);
        DWORD samples = 0;
        HRESULT result;
        int polls = 0;
        while ((result = query->GetData(&samples, sizeof samples, flags)) == S_FALSE) ++polls;
        EXPECT_EQ(result, D3D_OK);
        if (flags & D3DGETDATA_FLUSH) {
            EXPECT_EQ(polls, 0) << "a flushed read waits for the answer";
        }
        return samples;
    };
    for (const auto& [w, h] : {std::pair<float, float>{10, 7}, {64, 64}, {0, 0}, {33, 1}}) {
        const DWORD blocking = countSamples(w, h, D3DGETDATA_FLUSH);
        EXPECT_EQ(blocking, static_cast<DWORD>(w * h));
        EXPECT_EQ(countSamples(w, h, 0), blocking);
    }
    query->Release();
}
