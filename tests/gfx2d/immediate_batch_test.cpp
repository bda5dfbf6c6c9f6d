#include <gtest/gtest.h>

#include "gfx2d/immediate_batch.h"
#include "gfx2d/screen_quad.h"
#include "recording_fixture.h"

namespace {

class Batch : public RecordingShell {
protected:
    void SetUp() override {
        RecordingShell::SetUp();
        g_batch = ImmediateBatch{};
        log.calls.clear();
    }
    std::vector<std::string> Draws() const { return CallsStartingWith("DrawPrimitiveUP"); }
};

}  // namespace

TEST_F(Batch, ColourBytesTruncateAndWrap) {
    zkColor4f(1.0f, 0.5f, 0.0f, 1.0f);
    EXPECT_EQ(g_batch.current.colour, 0xFFFF7F00u);
    zkColor4f(1.2f, 0.0f, 0.0f, 0.0f);  // 306 keeps its low byte
    EXPECT_EQ(g_batch.current.colour, 0x00320000u);
    zkColor4f(1e30f, -0.5f, 0.0f, 1.0f);  // no undefined conversion on wild values
    EXPECT_EQ(g_batch.current.colour & 0xFF000000u, 0xFF000000u);
}

TEST_F(Batch, EachPrimitiveDrawsWhenItsLastVertexArrives) {
    zkBegin(BATCH_LINES);
    zkColor4f(0, 0, 1, 1);
    zkVertex3f(1, 2, 3);
    EXPECT_TRUE(Draws().empty());
    zkVertex3f(4, 5, 6);
    zkVertex3f(7, 8, 9);  // left pending
    EXPECT_EQ(log.calls, (std::vector<std::string>{
                             "SetFVF(0x00000152)",
                             "DrawPrimitiveUP(D3DPT_LINELIST, 1, 36, [1 2 3 #FF0000FF 0 0 | 4 5 6 #FF0000FF 0 0])",
                         }));
    EXPECT_EQ(g_batch.count, 1);

    log.calls.clear();
    zkBegin(BATCH_POINTS);
    zkVertex3f(1, 1, 0);
    zkBegin(BATCH_TRIANGLES);
    zkVertex3f(0, 0, 0), zkVertex3f(1, 0, 0), zkVertex3f(0, 1, 0);
    EXPECT_EQ(Draws(), (std::vector<std::string>{
                           "DrawPrimitiveUP(D3DPT_POINTLIST, 1, 36, [1 1 0 #FF0000FF 0 0])",
                           "DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 1, 36, [0 0 0 #FF0000FF 0 0 | 1 0 0 #FF0000FF 0 0 | "
                           "0 1 0 #FF0000FF 0 0])",
                       }));
}

TEST_F(Batch, MisusedModesNeverWritePastThePendingVertices) {
    zkBegin(BATCH_NONE);
    for (int i = 0; i < 10; ++i) zkVertex3f(1, 1, 1);
    g_batch.mode = 99;
    zkVertex3f(1, 1, 1);
    g_batch.mode = -3;
    zkVertex3f(1, 1, 1);
    EXPECT_TRUE(Draws().empty());

    // Three quad corners, then a switch to lines without resetting the count.
    zkBegin(BATCH_QUADS);
    zkVertex3f(0, 0, 0), zkVertex3f(1, 0, 0), zkVertex3f(1, 1, 0);
    g_batch.mode = BATCH_LINES;
    zkVertex3f(5, 5, 0), zkVertex3f(6, 6, 0);
    EXPECT_EQ(Draws(), (std::vector<std::string>{
                           "DrawPrimitiveUP(D3DPT_LINELIST, 1, 36, [5 5 0 #00000000 0 0 | 6 6 0 #00000000 0 0])",
                       }));

    g_batch.count = -7;
    zkVertex3f(0, 0, 0);
    EXPECT_EQ(g_batch.count, 1);
}

TEST_F(Batch, EndZeroesPendingVerticesExceptUnderModeNone) {
    zkBegin(BATCH_QUADS);
    zkVertex3f(3, 3, 3);
    zkEnd();
    EXPECT_EQ(g_batch.pending[0].x, 0.0f);

    zkBegin(BATCH_QUADS);
    zkVertex3f(3, 3, 3);
    g_batch.mode = BATCH_NONE;
    zkEnd();
    EXPECT_EQ(g_batch.pending[0].x, 3.0f);
}

TEST_F(Batch, QuadIsOneFanWithUnpackedColourAndBlendingLeftOff) {
    zkDrawQuad(10, 20, 30, 40, 0xFF0000FFu);  // opaque red, red in the lowest byte
    const std::vector<std::string> calls = log.calls;
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(calls.front(), "SetRenderState(D3DRS_ALPHABLENDENABLE, 1)");
    EXPECT_EQ(calls.back(), "SetRenderState(D3DRS_ALPHABLENDENABLE, 0)");
    EXPECT_EQ(Draws(), (std::vector<std::string>{
                           "DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, 36, [10 20 0 #FFFF0000 0 0 | 40 20 0 #FFFF0000 1 0 | "
                           "40 60 0 #FFFF0000 1 1 | 10 60 0 #FFFF0000 0 1])",
                       }));
    EXPECT_EQ(g_batch.current.u, 0.0f);
    EXPECT_EQ(g_batch.current.v, 1.0f);
    EXPECT_EQ(g_batch.pending[3].x, 0.0f);

    log.calls.clear();
    zkDrawQuadMirrored(0, 0, 2, 2, 0x80402010u);
    EXPECT_EQ(Draws(), (std::vector<std::string>{
                           "DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, 36, [0 0 0 #80102040 1 0 | 2 0 0 #80102040 0 0 | "
                           "2 2 0 #80102040 0 1 | 0 2 0 #80102040 1 1])",
                       }));

    log.calls.clear();
    zkDrawQuad(2147483647, 0, 2147483647, 1, 0);  // sums past the int range stay exact enough
    ASSERT_EQ(Draws().size(), 1u);
    EXPECT_NE(Draws()[0].find("4.29497e+09"), std::string::npos) << Draws()[0];
}
