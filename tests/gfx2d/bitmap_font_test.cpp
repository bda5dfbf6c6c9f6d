// Glyph placement, colour tags and limits of zkPrint, read from the
// recording device's vertex log.
#include "gfx2d/bitmap_font.h"

#include <gtest/gtest.h>

#include "gfx2d/immediate_batch.h"
#include "recorded_draws.h"
#include "recording_fixture.h"

namespace {

struct Glyph {
    float x, y, size;
    std::string colour;
    float u, v;
};

class FontTest : public RecordingShell {
protected:
    void SetUp() override {
        RecordingShell::SetUp();
        g_batch = ImmediateBatch{};
        log.calls.clear();
    }
    // Each quad's top-left corner and edge, in drawing order.
    std::vector<Glyph> Glyphs() const {
        std::vector<Glyph> glyphs;
        for (const auto& quad : RecordedDraws(log.calls, "D3DPT_TRIANGLEFAN, 2"))
            glyphs.push_back({quad[0].x, quad[0].y, quad[1].x - quad[0].x, quad[0].colour, quad[0].u, quad[0].v});
        return glyphs;
    }

    BitmapFont font{8, 8, 16, 2, 0, nullptr};
};

}  // namespace

TEST_F(FontTest, AlignedFirstLineAndPenAdvance) {
    font.flags = FONT_NUDGE_LEFT | FONT_CENTRE_FIRST_LINE_VERTICALLY;
    zkPrint(&font, 100, 50, 0xFFFFFFFF, "%s", "Run");
    std::vector<Glyph> glyphs = Glyphs();
    ASSERT_EQ(glyphs.size(), 3u);
    EXPECT_EQ(glyphs[0].x, 96);
    EXPECT_EQ(glyphs[1].x, 104);
    EXPECT_EQ(glyphs[2].x, 112);
    for (const Glyph& g : glyphs) {
        EXPECT_EQ(g.y, 42);
        EXPECT_EQ(g.size, 16);
    }
    // 'R' is code 82: cell 50, column 2 of row 3.
    EXPECT_EQ(glyphs[0].u, 2 / 16.0f);
    EXPECT_EQ(glyphs[0].v, 3 / 16.0f);
    EXPECT_EQ(log.calls.back(), "SetRenderState(D3DRS_ALPHABLENDENABLE, 0)");

    log.calls.clear();
    font.flags = FONT_CENTRE;
    zkPrint(&font, 100, 50, 0xFFFFFFFF, "a b");
    glyphs = Glyphs();
    ASSERT_EQ(glyphs.size(), 2u);
    EXPECT_EQ(glyphs[0].x, 100 - (12 + 2));  // width 8 + 8 + 8
    EXPECT_EQ(glyphs[1].x, glyphs[0].x + 8 + 8);  // a space advance, then the glyph's own
    EXPECT_EQ(zkMeasureLine(&font, "ab\ncdef"), 16.0f);
}

TEST_F(FontTest, LaterLinesRestartWithOneFlagOnly) {
    font.flags = FONT_RIGHT | FONT_CENTRE_FIRST_LINE_VERTICALLY;
    zkPrint(&font, 100, 50, 0xFFFFFFFF, "ab\ncdef");
    const std::vector<Glyph> glyphs = Glyphs();
    ASSERT_EQ(glyphs.size(), 6u);
    EXPECT_EQ(glyphs[0].x, 100 - (16 - 2));
    EXPECT_EQ(glyphs[0].y, 42);
    EXPECT_EQ(glyphs[2].x, 100 - (32 - 2));  // measured on its own line
    EXPECT_EQ(glyphs[2].y, 50);              // one line height lower; the vertical centring is not repeated
    EXPECT_EQ(glyphs[3].x, glyphs[2].x + 8);
}

TEST_F(FontTest, TagsColourAndStop) {
    zkPrint(&font, 10, 0, 0x80FFFFFF, "<#00FF00>ok");
    std::vector<Glyph> glyphs = Glyphs();
    ASSERT_EQ(glyphs.size(), 2u);
    EXPECT_EQ(glyphs[0].colour, "#8000FF00");  // the argument's alpha stays
    EXPECT_EQ(glyphs[0].x, 18);                // the character after a tag advances as usual

    // "<S>" stops at once: no glyph after it and blending left on.
    log.calls.clear();
    zkPrint(&font, 0, 0, 0xFFFFFFFF, "a<S>b");
    EXPECT_EQ(Glyphs().size(), 1u);
    EXPECT_TRUE(CallsStartingWith("SetTexture(0, null)").empty());

    // A '<' without '>' is a glyph; a tag at the very end draws no terminating zero.
    log.calls.clear();
    zkPrint(&font, 0, 0, 0xFFFFFFFF, "a<b");
    EXPECT_EQ(Glyphs().size(), 3u);
    log.calls.clear();
    zkPrint(&font, 0, 0, 0xFFFFFFFF, "ab<#FF>");
    glyphs = Glyphs();
    ASSERT_EQ(glyphs.size(), 2u);
    zkPrint(&font, 0, 0, 0xFFFFFFFF, "<#F>x");  // one digit, missing pairs give 0
    EXPECT_EQ(Glyphs().back().colour, "#FF0F0000");
}

TEST_F(FontTest, SignedCellsLongTextAndNullFormat) {
    zkPrint(&font, 0, 0, 0xFFFFFFFF, "\xE0");  // code -32: k = -64, row -4
    std::vector<Glyph> glyphs = Glyphs();
    ASSERT_EQ(glyphs.size(), 1u);
    EXPECT_EQ(glyphs[0].u, 0.0f);
    EXPECT_EQ(glyphs[0].v, -0.25f);

    log.calls.clear();
    const std::string text(3000, 'x');
    zkPrint(&font, 0, 0, 0xFFFFFFFF, "%s", text.c_str());
    EXPECT_EQ(Glyphs().size(), 1023u);

    log.calls.clear();
    zkPrint(&font, 0, 0, 0xFFFFFFFF, nullptr);
    EXPECT_TRUE(log.calls.empty());
}
