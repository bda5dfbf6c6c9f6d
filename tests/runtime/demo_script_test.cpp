#include <gtest/gtest.h>

#include <typeinfo>

#include "recording_fixture.h"
#include "runtime/demo_player.h"
#include "runtime/fade_scenes.h"
#include "scenes/scene_1.h"
#include "scenes/scene_5.h"
#include "scenes/scene_5a.h"
#include "scenes/scene_8.h"
#include "temp_dir.h"
#include "test_data_set.h"

namespace {

class DemoScript : public RecordingShell {
protected:
    // Reads text as scripts//demo.txt beside the test data set; no music file exists.
    void Load(const std::string& text) {
        WriteTestDataSet(dir, 0, {"audio/amber-meadow_tune.ogg"});
        dir.Write("scripts/demo.txt", text);
        clock.stepPerRead = FakeClock::kFrequency / 60;  // the loading screen waits on the clock
        WorkingDirectory cwd(dir.path());
        player = std::make_unique<DemoPlayer>(640, 480, 4.0f / 3.0f);
        player->LoadScript("demo.txt");
    }

    std::vector<std::string> SceneTypes() const {
        std::vector<std::string> names;
        for (DemoScene_Scene* scene : player->timeline) names.push_back(typeid(*scene).name());
        return names;
    }

    template <typename T>
    T* SceneAt(size_t index) const {
        auto it = player->timeline.begin();
        std::advance(it, index);
        return dynamic_cast<T*>(*it);
    }

    void TearDown() override {
        player.reset();
        RecordingShell::TearDown();
    }

    TempDir dir;
    std::unique_ptr<DemoPlayer> player;
};

std::string Name(const std::type_info& type) { return type.name(); }

}  // namespace

TEST_F(DemoScript, KeywordsAreTriedInTableOrder) {
    Load(".IDA5\n.ID5A\n.FTB\n.IFTB\n.ID10 any words\n");
    EXPECT_EQ(SceneTypes(), (std::vector<std::string>{Name(typeid(Scene_5A)), Name(typeid(Scene_5)),
                                                      Name(typeid(Scene_FTB)), Name(typeid(Scene_IFTB)),
                                                      Name(typeid(Scene_1))}));
}

TEST_F(DemoScript, UnknownSceneAddsNothingAndSwallowsItsParameters) {
    Load(".ID1\n-time 0 100\n.XYZ\n-time 5 6\n.ID1\n");
    ASSERT_EQ(player->timeline.size(), 2u);
    EXPECT_EQ(SceneAt<Scene_1>(0)->end, 100.0f);
    EXPECT_FALSE(SceneAt<Scene_1>(1)->IsActiveAt(6.0f));
}

TEST_F(DemoScript, ParameterLinesGoToTheCurrentSceneOnly) {
    Load("-time 1 2\n.ID1\n-time 1000 5000\n-value 0.5\n.ID1\n-time 1000 5000 extra\n"
         ".ID1\n-time  1000\n.ID1\n-time \"1000\" \"5000\"\n .ID1\n");
    ASSERT_EQ(player->timeline.size(), 4u);  // the indented line is a comment
    EXPECT_EQ(SceneAt<Scene_1>(0)->start, 1000.0f);
    EXPECT_EQ(SceneAt<Scene_1>(0)->end, 5000.0f);
    EXPECT_EQ(SceneAt<Scene_1>(0)->value, 0.5f);
    EXPECT_EQ(SceneAt<Scene_1>(1)->end, 5000.0f);
    EXPECT_EQ(SceneAt<Scene_1>(2)->start, 0.0f);
    EXPECT_EQ(SceneAt<Scene_1>(2)->end, 1000.0f);
    EXPECT_EQ(SceneAt<Scene_1>(3)->start, 1000.0f);
    EXPECT_EQ(SceneAt<Scene_1>(3)->end, 5000.0f);
}

TEST_F(DemoScript, LastLineWithoutLineFeedIsDropped) {
    Load(".ID1\n-time 0 100\n-value 0.5");
    ASSERT_EQ(player->timeline.size(), 1u);
    EXPECT_EQ(SceneAt<Scene_1>(0)->value, 0.0f);
}

TEST_F(DemoScript, CarriageReturnsBeforeLineFeedsAreDropped) {
    Load(".ID8\r\n-still 1\r\n-position 2.5\r\n\r\n\n!MusicPos 3000\r\n");
    ASSERT_EQ(player->timeline.size(), 1u);
    EXPECT_TRUE(SceneAt<Scene_8>(0)->still);
    EXPECT_EQ(SceneAt<Scene_8>(0)->position, 2.5f);
    EXPECT_EQ(player->demoTime, 3000.0f);
}

TEST_F(DemoScript, LaterMusicLinesWinAndDoNotEndTheScene) {
    Load(".ID1\n!MusicPos 1000\n!MusicPos 30000\n-value 0.75\n!MusicVolume 1\n");
    EXPECT_EQ(player->demoTime, 30000.0f);
    EXPECT_EQ(SceneAt<Scene_1>(0)->value, 0.75f);
    EXPECT_EQ(player->errorAverage, 0.0f);
    EXPECT_FALSE(player->resources->music.stream);  // no music file beside the script
}

TEST_F(DemoScript, MissingScriptLoadsNothing) {
    MessageBoxCapture boxes;
    WorkingDirectory cwd(dir.path());
    player = std::make_unique<DemoPlayer>(640, 480, 4.0f / 3.0f);
    player->LoadScript("demo.txt");
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "The lolcats fucked demo script, damn !");
    EXPECT_EQ(boxes.boxes[0].caption, "Error!");
    EXPECT_TRUE(player->timeline.empty());
    EXPECT_FALSE(player->resources->music.stream);
    EXPECT_FALSE(player->Frame());  // one black frame, then the end
    EXPECT_EQ(CallsStartingWith("Present").size(), 1u);
}
