// The frame-rate history, the overlay's graph and text, and the fades, read
// from the recording device's log.
#include <gtest/gtest.h>

#include "recorded_draws.h"
#include "gfx2d/immediate_batch.h"
#include "recording_fixture.h"
#include "runtime/demo_player.h"
#include "runtime/demo_resources.h"
#include "runtime/fade_scenes.h"
#include "runtime/timing_overlay.h"

namespace {

// The characters of the 16-pixel glyph quads, from their sheet cells; spaces are not drawn.
std::string Text(const std::vector<std::string>& calls) {
    std::string text;
    for (const auto& quad : RecordedDraws(calls, "D3DPT_TRIANGLEFAN, 2"))
        if (quad[1].x - quad[0].x == 16 && quad[2].y - quad[0].y == 16)
            text += static_cast<char>(32 + static_cast<int>(quad[0].v * 16 + 0.5f) * 16 +
                                      static_cast<int>(quad[0].u * 16 + 0.5f));
    return text;
}

class Overlay : public RecordingShell {
protected:
    void SetUp() override {
        RecordingShell::SetUp();
        g_batch = ImmediateBatch{};
        player = std::make_unique<DemoPlayer>(640, 480, 4.0f / 3.0f);
        resources = player->resources;
        resources->font = {8, 8, 16, 2, 0, nullptr};
        stream = new FakeStream();
        resources->music.stream = stream;
        log.clear();
    }
    void TearDown() override {
        player.reset();
        RecordingShell::TearDown();
    }

    std::unique_ptr<DemoPlayer> player;
    DemoResources* resources = nullptr;
    FakeStream* stream = nullptr;
};

}  // namespace

TEST_F(Overlay, HistorySamplesAgeAndLeaveAtX400) {
    FrameRateHistory history;
    history.lastSampleTime = GetTickCount() - 11;
    history.Add(60);
    history.Add(30);  // within 10 ms of the last sample: only ages it
    ASSERT_EQ(history.samples.size(), 1u);
    EXPECT_EQ(history.samples.front().x, 4.0f);
    for (int i = 0; i < 198; ++i) history.Add(60);
    EXPECT_EQ(history.samples.back().x, 400.0f);
    history.Add(60);
    EXPECT_TRUE(history.samples.empty());

    // The tick counter wrapped since the last sample: unsigned arithmetic still sees the gap.
    history.lastSampleTime = GetTickCount() + 0xFFFFFF00u;
    history.Add(45);
    EXPECT_EQ(history.samples.size(), 1u);
}

TEST_F(Overlay, GraphAndLinesShowTheClocksAndTheDrift) {
    resources->frameRateHistory.samples = {{60, 4, 1}, {60, 2, 0}};
    stream->position = 441000;  // 10000 ms
    float average = 0;
    DrawTimingOverlay(resources, 10000, 9900, &average);  // music 100 ms behind

    const std::string text = Text(log.calls);
    EXPECT_NE(text.find("FRAME:250.00"), std::string::npos) << text;
    EXPECT_NE(text.find("TIME:10000(ms)10000.00(ms)"), std::string::npos) << text;
    EXPECT_NE(text.find("ERROR:1.00MAXERROR:0.00"), std::string::npos) << text;
    EXPECT_GT(average, 0.0f);
    EXPECT_LT(average, 1.0f);

    // The cyan curve starts at (0, 30) and runs along y 40 at 60 frames per second.
    std::vector<std::vector<RecordedVertex>> cyan;
    for (const auto& line : RecordedDraws(log.calls, "D3DPT_LINELIST"))
        if (line[0].colour == "#FF00FFFF") cyan.push_back(line);
    ASSERT_EQ(cyan.size(), 2u);
    EXPECT_EQ(cyan[0][0].y, 30.0f);
    EXPECT_EQ(cyan[0][1].x, 4.0f);
    EXPECT_EQ(cyan[1][1].y, 40.0f);

    // Demo time 0 has no drift to measure: the average stays.
    average = 3.0f;
    DrawTimingOverlay(resources, 0.0f, 500, &average);
    EXPECT_EQ(average, 3.0f);
}

TEST_F(Overlay, FadesDrawTruncatedAlphaOverThe640By480Space) {
    Scene_FTB out(resources);
    Scene_IFTB in(resources);
    out.start = in.start = 1000;
    out.end = in.end = 2000;
    auto Alpha = [&](DemoScene_Scene& fade, float t) {
        log.clear();
        fade.Render(resources, t);
        const auto quads = RecordedDraws(log.calls, "D3DPT_TRIANGLEFAN, 2");
        EXPECT_EQ(quads.size(), 1u);
        EXPECT_EQ(quads.at(0)[2].x, 640.0f);
        EXPECT_EQ(quads.at(0)[2].y, 480.0f);
        return std::stoi(quads.at(0)[0].colour.substr(1, 2), nullptr, 16);
    };
    EXPECT_EQ(Alpha(out, 1500), 127);
    EXPECT_EQ(CallsStartingWith("SetVertexShader(null)").size(), 1u);
    EXPECT_FALSE(CallsStartingWith("SetRenderState(D3DRS_ZENABLE, 0)").empty());
    EXPECT_EQ(Alpha(in, 1500), 127);
    EXPECT_TRUE(CallsStartingWith("SetVertexShader").empty());  // the bound shaders stay
    EXPECT_EQ(Alpha(out, 2000), 255);
    EXPECT_EQ(Alpha(in, 2000), 0);
}
