#include <gtest/gtest.h>

#include "scene_fixture.h"

#include "runtime/fade_scenes.h"
#include "scenes/scene_0.h"
#include "scenes/scene_1.h"
#include "scenes/scene_2.h"
#include "scenes/scene_4.h"
#include "scenes/scene_5a.h"
#include "scenes/scene_7.h"
#include "scenes/scene_8.h"
#include "scenes/scene_9.h"

namespace {
// Scenes look up their cameras and models when they are made.
class SceneParameters : public SceneShell {};
}  // namespace

TEST_F(SceneParameters, TimeSetsTheSpanAsIntegers) {
    auto scene_ = Make<Scene_2>({});
    Scene_2& scene = *scene_;
    EXPECT_FALSE(scene.IsActiveAt(0.0f));  // no span before a "time" line
    scene.SetParameter("-time 1000.9 2000");
    EXPECT_EQ(scene.start, 1000.0f);
    EXPECT_EQ(scene.end, 2000.0f);
    EXPECT_FALSE(scene.IsActiveAt(1000.0f));
    EXPECT_TRUE(scene.IsActiveAt(1000.001f));
    EXPECT_TRUE(scene.IsActiveAt(2000.0f));
    EXPECT_FALSE(scene.IsActiveAt(2000.001f));
    scene.SetParameter("-time");  // no name: nothing
    EXPECT_EQ(scene.end, 2000.0f);
    scene.SetParameter("-Time 1 2");  // names are case-sensitive
    EXPECT_EQ(scene.end, 2000.0f);
}

TEST_F(SceneParameters, SceneZeroIgnoresEverythingAndIsNeverDrawn) {
    Scene_0 scene(nullptr);
    scene.SetParameter("-time 0 100000");
    for (float t : {-1.0f, 0.0f, 1.0f, 50000.0f, 1e30f}) EXPECT_FALSE(scene.IsActiveAt(t));
}

TEST_F(SceneParameters, FloatAndIntegerReads) {
    auto one_ = Make<Scene_1>({});
    Scene_1& one = *one_;
    EXPECT_EQ(one.value, 0.0f);
    one.SetParameter("-value 0.25");
    EXPECT_EQ(one.value, 0.25f);

    auto four_ = Make<Scene_4>({});
    Scene_4& four = *four_;
    EXPECT_EQ(four.speed, 50.0f);
    EXPECT_EQ(four.divisor, 12.0f);
    four.SetParameter("-speed 2.5");
    four.SetParameter("-divisor 3");
    EXPECT_EQ(four.speed, 2.0f);
    EXPECT_EQ(four.divisor, 3.0f);

    auto seven_ = Make<Scene_7>({});
    Scene_7& seven = *seven_;
    EXPECT_EQ(seven.speed, 100);
    EXPECT_EQ(seven.divisor, 2);
    seven.SetParameter("-divisor 3");
    seven.SetParameter("-start 4");
    seven.SetParameter("-speed x");
    EXPECT_EQ(seven.divisor, 3);
    EXPECT_EQ(seven.startStep, 4);
    EXPECT_EQ(seven.speed, 0);

    auto nine_ = Make<Scene_9>({});
    Scene_9& nine = *nine_;
    EXPECT_EQ(nine.speed2, 250.0f);
    EXPECT_EQ(nine.divisor2, 40.0f);
    nine.SetParameter("-speed2 7.9");
    nine.SetParameter("-divisor2 8");
    EXPECT_EQ(nine.speed2, 7.0f);
    EXPECT_EQ(nine.divisor2, 8.0f);
    EXPECT_EQ(nine.speed, 50.0f);
}

TEST_F(SceneParameters, StillIsSetOnlyByOne) {
    auto scene_ = Make<Scene_8>({});
    Scene_8& scene = *scene_;
    EXPECT_EQ(scene.position, 0.0f);
    scene.SetParameter("-still 0");
    scene.SetParameter("-still 2");
    EXPECT_FALSE(scene.still);
    scene.SetParameter("-still 1");
    EXPECT_TRUE(scene.still);
    scene.SetParameter("-still 0");
    EXPECT_TRUE(scene.still);
    scene.SetParameter("-position 12.5");
    EXPECT_EQ(scene.position, 12.5f);
}

TEST_F(SceneParameters, ReverseIsSetWhateverItsValue) {
    auto scene_ = Make<Scene_5A>({});
    Scene_5A& scene = *scene_;
    EXPECT_FALSE(scene.reverse);
    scene.SetParameter("-reverse 0");
    EXPECT_TRUE(scene.reverse);
}

TEST_F(SceneParameters, ModesFillTheDelays) {
    auto scene_ = Make<Scene_5A>({});
    Scene_5A& scene = *scene_;
    for (int i = 0; i < 16; ++i) EXPECT_EQ(scene.delays[i], i * 0.0625f);

    scene.SetParameter("-mode 2");
    const float spiral[16] = {0.0f,   0.0625f, 0.125f, 0.1875f, 0.6875f, 0.75f, 0.8125f, 0.25f,
                              0.625f, 0.9375f, 0.875f, 0.3125f, 0.5625f, 0.5f,  0.4375f, 0.375f};
    for (int i = 0; i < 16; ++i) EXPECT_EQ(scene.delays[i], spiral[i]) << i;

    scene.SetParameter("-mode 3");
    for (int i = 0; i < 16; ++i) EXPECT_EQ(scene.delays[i], spiral[15 - i]) << i;

    scene.SetParameter("-mode 1");
    for (int i = 0; i < 16; ++i) EXPECT_EQ(scene.delays[i], 1.0f - i * 0.0625f) << i;

    scene.SetParameter("-mode 7");  // unknown: unchanged
    EXPECT_EQ(scene.delays[15], 1.0f - 15 * 0.0625f);
}

TEST_F(SceneParameters, ModeReadsTheRestOfTheLine) {
    auto spaced_ = Make<Scene_5A>({});
    Scene_5A& spaced = *spaced_;
    spaced.SetParameter("-mode  2");  // field 1 is empty, the rest reads 2
    EXPECT_EQ(spaced.delays[4], 0.6875f);

    auto quoted_ = Make<Scene_5A>({});
    Scene_5A& quoted = *quoted_;
    quoted.SetParameter("-mode \"2\"");  // quotes are not removed here: reads 0
    EXPECT_EQ(quoted.delays[4], 4 * 0.0625f);
}

TEST_F(SceneParameters, FadeScenesTakeOnlyTime) {
    Scene_FTB fade(nullptr);
    fade.SetParameter("-time 5 10");
    EXPECT_TRUE(fade.IsActiveAt(10.0f));
    Scene_IFTB unfade(nullptr);
    unfade.SetParameter("-value 1");
    EXPECT_FALSE(unfade.IsActiveAt(0.0f));
}
