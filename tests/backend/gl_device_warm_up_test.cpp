// The OpenGL device's warm-up: the draws reach the driver, yet no pixel
// changes, every occlusion query sees a sample, and the state set before is
// the state after.
#include <gtest/gtest.h>

#include "gfx2d/immediate_batch.h"
#include "gl_fixture.h"

namespace {

class GlWarmUp : public GlShell {
protected:
    void WhiteQuad(float w, float h) {
        zkColor4f(1, 1, 1, 1);
        zkBegin(BATCH_QUADS);
        zkVertex3f(0, 0, 0), zkVertex3f(w, 0, 0), zkVertex3f(w, h, 0), zkVertex3f(0, h, 0);
    }

    // Samples counted around a quad, read as the halo loop reads them.
    DWORD CountedQuad(IDirect3DQuery9* query, float w, float h) {
        query->Issue(D3DISSUE_BEGIN);
        WhiteQuad(w, h);
        query->Issue(D3DISSUE_END);
        DWORD samples = 0;
        EXPECT_EQ(query->GetData(&samples, sizeof samples, D3DGETDATA_FLUSH), D3D_OK);
        return samples;
    }
};

TEST_F(GlWarmUp, WritesNothingCountsEveryQueryAndLeavesTheStateAsItWas) {
    OpenIn2D(64, 64);
    device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF0000FF, 1.0f, 0);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    IDirect3DQuery9* query = nullptr;
    ASSERT_EQ(device->CreateQuery(D3DQUERYTYPE_OCCLUSION, &query), D3D_OK);

    DWORD hiddenCount = 0;
    device->WarmUp([&] {
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFFFF0000, 0.0f, 0);
        const D3DVIEWPORT9 corner = {0, 0, 8, 8, 0.0f, 1.0f};
        device->SetViewport(&corner);
        device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ZERO);
        WhiteQuad(64, 64);
        hiddenCount = CountedQuad(query, 0, 0);  // covers no pixel at all
        device->Present(nullptr, nullptr, nullptr, nullptr);
    });
    EXPECT_GT(hiddenCount, 0u) << "the draws a query guards are drawn while warming up";
    for (uint32_t pixel : Pixels()) ASSERT_EQ(pixel, 0xFF0000FFu);

    D3DVIEWPORT9 viewport{};
    device->GetViewport(&viewport);
    EXPECT_EQ(viewport.Width, 64u);
    DWORD blend = 0;
    device->GetRenderState(D3DRS_SRCBLEND, &blend);
    EXPECT_EQ(blend, static_cast<DWORD>(D3DBLEND_ONE));

    // Afterwards draws write and queries count again, depth cleared before included.
    EXPECT_EQ(CountedQuad(query, 10, 7), 70u);
    EXPECT_EQ(Pixel(9, 6), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(10, 7), 0xFF0000FFu);
    query->Release();
}

}  // namespace
