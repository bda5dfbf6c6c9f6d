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
    auto scene = Make<Scene_2>({});
    EXPECT_FALSE(scene->IsActiveAt(0.0f));  // no span before a "time" line
    scene->SetParameter("-time 1000.9 2000");
    EXPECT_EQ(scene->start, 1000.0f);
    EXPECT_FALSE(scene->IsActiveAt(1000.0f));
    EXPECT_TRUE(scene->IsActiveAt(1000.001f));
    EXPECT_TRUE(scene->IsActiveAt(2000.0f));
    EXPECT_FALSE(scene->IsActiveAt(2000.001f));
    scene->SetParameter("-time");      // no name: nothing
    scene->SetParameter("-Time 1 2");  // names are case-sensitive
    EXPECT_EQ(scene->end, 2000.0f);

    Scene_0 never(nullptr);
    never.SetParameter("-time 0 100000");
    for (float t : {-1.0f, 0.0f, 50000.0f, 1e30f}) EXPECT_FALSE(never.IsActiveAt(t));

    Scene_FTB fade(nullptr);
    fade.SetParameter("-time 5 10");
    EXPECT_TRUE(fade.IsActiveAt(10.0f));
    Scene_IFTB unfade(nullptr);
    unfade.SetParameter("-value 1");  // fades take only "time"
    EXPECT_FALSE(unfade.IsActiveAt(0.0f));
}

TEST_F(SceneParameters, FloatAndIntegerReads) {
    auto one = Make<Scene_1>({"-value 0.25"});
    EXPECT_EQ(one->value, 0.25f);

    // Speeds and divisors of these scenes are integers even when the line has a fraction.
    auto four = Make<Scene_4>({"-speed 2.5", "-divisor 3"});
    EXPECT_EQ(four->speed, 2.0f);
    EXPECT_EQ(four->divisor, 3.0f);

    auto seven = Make<Scene_7>({"-divisor 3", "-start 4", "-speed x"});
    EXPECT_EQ(seven->divisor, 3);
    EXPECT_EQ(seven->startStep, 4);
    EXPECT_EQ(seven->speed, 0);

    auto nine = Make<Scene_9>({"-speed2 7.9", "-divisor2 8"});
    EXPECT_EQ(nine->speed2, 7.0f);
    EXPECT_EQ(nine->divisor2, 8.0f);
    EXPECT_EQ(nine->speed, 50.0f);  // untouched by its namesake with a 2
}

TEST_F(SceneParameters, StillIsSetOnlyByOneAndReverseByAnyValue) {
    auto scene = Make<Scene_8>({"-still 0", "-still 2"});
    EXPECT_FALSE(scene->still);
    scene->SetParameter("-still 1");
    scene->SetParameter("-still 0");
    EXPECT_TRUE(scene->still);
    scene->SetParameter("-position 12.5");
    EXPECT_EQ(scene->position, 12.5f);

    EXPECT_TRUE(Make<Scene_5A>({"-reverse 0"})->reverse);
}

TEST_F(SceneParameters, ModesFillTheDelays) {
    auto scene = Make<Scene_5A>({});
    for (int i = 0; i < 16; ++i) EXPECT_EQ(scene->delays[i], i * 0.0625f);

    scene->SetParameter("-mode 2");
    const float spiral[16] = {0.0f,   0.0625f, 0.125f, 0.1875f, 0.6875f, 0.75f, 0.8125f, 0.25f,
                              0.625f, 0.9375f, 0.875f, 0.3125f, 0.5625f, 0.5f,  0.4375f, 0.375f};
    for (int i = 0; i < 16; ++i) EXPECT_EQ(scene->delays[i], spiral[i]) << i;

    scene->SetParameter("-mode 3");
    for (int i = 0; i < 16; ++i) EXPECT_EQ(scene->delays[i], spiral[15 - i]) << i;

    scene->SetParameter("-mode 1");
    scene->SetParameter("-mode 7");  // unknown: unchanged
    for (int i = 0; i < 16; ++i) EXPECT_EQ(scene->delays[i], 1.0f - i * 0.0625f) << i;

    // The mode reads the rest of the line: a second space leaves field 1 empty
    // and the rest reads 2; quotes are not removed, so "2" reads 0.
    EXPECT_EQ(Make<Scene_5A>({"-mode  2"})->delays[4], 0.6875f);
    EXPECT_EQ(Make<Scene_5A>({"-mode \"2\""})->delays[4], 4 * 0.0625f);
}
