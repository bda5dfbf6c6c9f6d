#include <gtest/gtest.h>

#include "gfx2d/render_presets.h"
#include "platform/graphics_context.h"
#include "recording_fixture.h"

using Calls = std::vector<std::string>;

TEST_F(RecordingShell, PresetsSetTheirStatesInOrder) {
    log.calls.clear();
    zkEnable(1);
    EXPECT_EQ(log.calls, (Calls{
                             "SetRenderState(D3DRS_ALPHABLENDENABLE, 1)",
                             "SetRenderState(D3DRS_DIFFUSEMATERIALSOURCE, 1)",
                             "SetTextureStageState(0, D3DTSS_COLOROP, 4)",
                             "SetTextureStageState(0, D3DTSS_COLORARG1, 2)",
                             "SetTextureStageState(0, D3DTSS_COLORARG2, 0)",
                             "SetTextureStageState(0, D3DTSS_ALPHAOP, 4)",
                             "SetTextureStageState(0, D3DTSS_ALPHAARG1, 0)",
                             "SetTextureStageState(0, D3DTSS_ALPHAARG2, 2)",
                         }));

    log.calls.clear();
    zkEnable(6);  // alpha test also turns depth testing on, last
    EXPECT_EQ(log.calls, (Calls{
                             "SetRenderState(D3DRS_ALPHATESTENABLE, 1)",
                             "SetRenderState(D3DRS_ALPHAFUNC, 7)",
                             "SetTextureStageState(0, D3DTSS_ALPHAARG1, 2)",
                             "SetTextureStageState(0, D3DTSS_ALPHAARG2, 0)",
                             "SetRenderState(D3DRS_ZENABLE, 1)",
                         }));

    log.calls.clear();
    zkEnable(12);
    zkEnable(11);
    zkEnable(5);
    zkEnable(2);
    EXPECT_EQ(log.calls, (Calls{
                             "SetRenderState(D3DRS_COLORWRITEENABLE1, 1)",
                             "SetRenderState(D3DRS_COLORWRITEENABLE2, 1)",
                             "SetRenderState(D3DRS_COLORWRITEENABLE3, 1)",
                             "SetRenderState(D3DRS_ZWRITEENABLE, 1)",
                             "SetRenderState(D3DRS_LIGHTING, 1)",
                             "SetRenderState(D3DRS_ZENABLE, 1)",
                         }));
}

TEST_F(RecordingShell, PointSpritePresetCarriesFloatBits) {
    g_graphics->pointSize = 0.1f;
    log.calls.clear();
    zkEnable(3);
    EXPECT_EQ(log.calls, (Calls{
                             "SetRenderState(D3DRS_POINTSPRITEENABLE, 1)",
                             "SetRenderState(D3DRS_POINTSCALEENABLE, 1)",
                             "SetRenderState(D3DRS_POINTSIZE, 1036831949)",  // 0.1f
                             "SetRenderState(D3DRS_POINTSIZE_MIN, 1065353216)",  // 1.0f
                             "SetRenderState(D3DRS_POINTSCALE_A, 0)",
                             "SetRenderState(D3DRS_POINTSCALE_B, 0)",
                             "SetRenderState(D3DRS_POINTSCALE_C, 1065353216)",
                         }));
}

TEST_F(RecordingShell, UnlistedPresetsSetNothing) {
    log.calls.clear();
    for (int preset : {-1, 0, 4, 7, 8, 9, 10, 13, 1000}) zkEnable(preset);
    EXPECT_TRUE(log.calls.empty());
}
