#include <gtest/gtest.h>

#include "recording_fixture.h"
#include "runtime/demo_player.h"
#include "runtime/demo_scene.h"

namespace {

struct Drawn {
    int id;
    float time;
};

class RecordingScene : public DemoScene_Scene {
public:
    RecordingScene(int id, float from, float to, std::vector<Drawn>* drawn) : id_(id), drawn_(drawn) {
        start = from;
        end = to;
    }
    void Render(DemoResources*, float time) override { drawn_->push_back({id_, time}); }

private:
    int id_;
    std::vector<Drawn>* drawn_;
};

class FrameLoop : public RecordingShell {
protected:
    void SetUp() override {
        RecordingShell::SetUp();
        player = std::make_unique<DemoPlayer>(640, 480, 4.0f / 3.0f);
        stream = new FakeStream();
        stream->playing = true;
        stream->position = 0;
        player->resources->music.stream = stream;
        // Two updates a sixtieth apart: the next frame advances by one sixtieth.
        g_demoApp->timer->Update();
        clock.AdvanceSeconds(1.0 / 60.0);
        g_demoApp->timer->Update();
        g_currentWindow = g_demoApp->window;
        log.clear();
    }
    void TearDown() override {
        player.reset();
        RecordingShell::TearDown();
    }

    // Each frame takes a sixtieth of a second of the fake clock.
    bool Frame() {
        clock.AdvanceSeconds(1.0 / 60.0);
        return player->Frame();
    }
    void AddScene(int id, float from, float to) {
        player->timeline.push_back(new RecordingScene(id, from, to, &drawn));
    }
    void SetMusicMilliseconds(int ms) { stream->position = StartFrame(ms, 44100) + 1; }
    void PressKey(WPARAM key) { zkWindowProc(nullptr, WM_KEYDOWN, key, 0); }
    void ReleaseKey(WPARAM key) { zkWindowProc(nullptr, WM_KEYUP, key, 0); }

    std::unique_ptr<DemoPlayer> player;
    FakeStream* stream = nullptr;  // owned by the music track
    std::vector<Drawn> drawn;
};

}  // namespace

TEST_F(FrameLoop, OneFrameClearsDrawsSetsUp2DAndPresents) {
    player->demoTime = 100.0f;
    SetMusicMilliseconds(100);
    EXPECT_TRUE(Frame());
    EXPECT_NEAR(player->demoTime, 116.6667f, 1e-3f);
    const std::vector<std::string> expected = {
        "Clear(0, 3, 0xFF000000, 1, 0)",
        "SetTransform(D3DTS_PROJECTION, [1 0 0 0; 0 1 0 0; 0 0 1 0; 0 0 0 1])",
        "BeginScene()",
        "SetTransform(D3DTS_PROJECTION, [0.003125 0 0 0; 0 -0.00416667 0 0; 0 0 -0.5 0; 0 0 0.5 1])",
        "SetTransform(D3DTS_PROJECTION, [0.003125 0 0 0; 0 -0.00416667 0 0; 0 0 -0.5 0; -1 1 0.5 1])",
        "SetTransform(D3DTS_VIEW, [1 0 0 0; 0 1 0 0; 0 0 1 0; 0 0 0 1])",
        "SetRenderState(D3DRS_ZENABLE, 0)",
        "SetRenderState(D3DRS_CULLMODE, 1)",
        "SetTexture(0, null)",
        "SetViewport(0, 0, 640, 480, 0, 1)",
        "EndScene()",
        "Present()",
    };
    EXPECT_EQ(log.calls, expected);
}

TEST_F(FrameLoop, SpanHoldsAfterStartUpToEndInScriptOrder) {
    AddScene(1, 1000.0f, 2000.0f);
    AddScene(2, 0.0f, 1500.0f);
    AddScene(3, 1010.0f, 3000.0f);
    player->demoTime = 1000.0f - 16.0f;  // lands just above 1000
    SetMusicMilliseconds(1000);
    Frame();
    ASSERT_EQ(drawn.size(), 2u);
    EXPECT_EQ(drawn[0].id, 1);
    EXPECT_EQ(drawn[1].id, 2);
    EXPECT_GT(drawn[0].time, 1000.0f);
    EXPECT_EQ(drawn[0].time, player->demoTime);
}

TEST_F(FrameLoop, DriftOverOneSecondSnapsToTheMusic) {
    player->demoTime = 10000.0f;
    SetMusicMilliseconds(11500);
    Frame();
    EXPECT_EQ(player->demoTime, 11500.0f);

    player->demoTime = 10000.0f;
    SetMusicMilliseconds(10900);
    Frame();
    EXPECT_NEAR(player->demoTime, 10016.667f, 1e-3f);
}

TEST_F(FrameLoop, LongFrameAdvancesOneSixtiethThenSnaps) {
    player->demoTime = 5000.0f;
    clock.AdvanceSeconds(2.0);
    g_demoApp->timer->Update();  // a 2 s frame: rate 0.5
    SetMusicMilliseconds(7000);
    Frame();  // clock is 5016.67, music at 7000: snapped in the same frame
    EXPECT_EQ(player->demoTime, 7000.0f);
}

TEST_F(FrameLoop, EscapeEndsAfterPresenting) {
    EXPECT_TRUE(Frame());
    PressKey(VK_ESCAPE);
    EXPECT_FALSE(Frame());
    EXPECT_EQ(log.calls.back(), "Present()");
}

TEST_F(FrameLoop, NoStreamEndsAfterOneFrame) {
    player->resources->music.stream = nullptr;
    EXPECT_FALSE(Frame());
    EXPECT_EQ(CallsStartingWith("Present").size(), 1u);
}

TEST_F(FrameLoop, QuitMessageEndsWithoutDrawing) {
    AddScene(1, 0.0f, 1e9f);
    PostQuitMessage(0);
    EXPECT_FALSE(Frame());
    EXPECT_TRUE(drawn.empty());
    EXPECT_TRUE(CallsStartingWith("Clear").empty());
    EXPECT_TRUE(CallsStartingWith("Present").empty());
}

TEST_F(FrameLoop, HoldingAUpdatesTheErrorAverageOnlyWhileHeld) {
    player->demoTime = 10000.0f - 1000.0f / 60.0f;  // 10000 after the advance
    SetMusicMilliseconds(9900);  // 1 % behind
    Frame();
    EXPECT_EQ(player->errorAverage, 0.0f);

    PressKey('A');
    player->demoTime = 10000.0f - 1000.0f / 60.0f;
    Frame();
    EXPECT_NEAR(player->errorAverage, 0.05f, 1e-3f);

    PressKey('A');  // auto-repeat: still held
    player->demoTime = 10000.0f - 1000.0f / 60.0f;
    Frame();
    EXPECT_NEAR(player->errorAverage, 0.05f + 0.95f * 0.05f, 1e-3f);

    ReleaseKey('A');
    const float kept = player->errorAverage;
    Frame();
    EXPECT_EQ(player->errorAverage, kept);
}

TEST_F(FrameLoop, EmptyTimelineShowsBlackFramesUntilTheMusicEnds) {
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(Frame());
    stream->playing = false;
    EXPECT_FALSE(Frame());
    EXPECT_EQ(log.calls.back(), "Present()");
    EXPECT_EQ(CallsStartingWith("Clear(0, 3, 0xFF000000").size(), 4u);
}
