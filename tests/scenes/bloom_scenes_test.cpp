// The bloom scenes on the recording device: passes, blur settings, sampler
// addressing, blend factors left behind, halos, the shader parameters set.
#include <gtest/gtest.h>

#include <cmath>

#include "compound/compound.h"
#include "scene_fixture.h"
#include "scenes/scene_1.h"
#include "scenes/scene_2.h"
#include "scenes/scene_3.h"
#include "scenes/scene_4.h"
#include "scenes/scene_7.h"
#include "scenes/scene_8.h"
#include "scenes/scene_9.h"
#include "scenes/scene_passes.h"
#include "shader/shader.h"
#include "shader/shader_params.h"

namespace {

using Strings = std::vector<std::string>;

const Strings kOneIteration = {"settings 1 0 1 0", "settings 0 1 1 0"};
const Strings kTwoIterations = {"settings 1 0 1 0", "settings 0 1 1 0", "settings 1 0 1 0", "settings 0 1 1 0"};

// The targets entered: each pass begins on its target and ends back on the screen.
Strings BloomTargets(int iterations) {
    Strings targets = {"target t3", "target back"};
    for (int i = 0; i < iterations; ++i)
        targets.insert(targets.end(), {"target t4", "target back", "target t3", "target back"});
    return targets;
}

const float* ParamValues(Shader* shader, const std::string& name) {
    for (const ShaderParam* p : shader->params)
        if (p->name == name) return p->values.data();
    return nullptr;
}

class BloomScenes : public SceneShell {};

}  // namespace

TEST_F(BloomScenes, SceneOneBlursOnceClampedThenAddsTheBlurOverTheScreen) {
    auto scene = Make<Scene_1>({"-time 0 10000", "-value 0.3"});
    const Strings trace = Trace(*scene, 1000.0f);
    EXPECT_EQ(Only(trace, "target"), BloomTargets(1));
    EXPECT_EQ(Only(trace, "settings"), kOneIteration);
    EXPECT_EQ(Only(trace, "ADDRESS"), (Strings{"ADDRESSU 3", "ADDRESSV 3", "ADDRESSU 1", "ADDRESSV 1"}));
    // The composite adds; the factors are left at source alpha, inverse source alpha.
    const Strings blends = Only(trace, "SRCBLEND");
    ASSERT_GE(blends.size(), 2u);
    EXPECT_EQ(blends[blends.size() - 2], "SRCBLEND 2");
    EXPECT_EQ(blends.back(), "SRCBLEND 5");
    EXPECT_EQ(Only(trace, "DESTBLEND").back(), "DESTBLEND 6");
    const float* tint = ParamValues(r->lfShader.shader, "u_val");
    ASSERT_NE(tint, nullptr);
    EXPECT_EQ(tint[0], 0.0f);
    EXPECT_EQ(tint[1], 0.0f);
    EXPECT_EQ(tint[2], 0.5f);
    EXPECT_FLOAT_EQ(tint[3], 0.3f);
}

TEST_F(BloomScenes, HalosOfSceneOneAppearOnlyInTheFinalPicture) {
    auto scene = Make<Scene_1>({"-time 0 10000"});
    const Strings trace = Trace(*scene, 1000.0f);
    // Two lights, two layers, all after the last blur pass has returned to the screen.
    size_t lastBlurEnd = 0;
    for (size_t i = 0; i < trace.size(); ++i)
        if (trace[i] == "settings 0 1 1 0") lastBlurEnd = i;
    size_t sprites = 0;
    for (size_t i = 0; i < trace.size(); ++i) {
        if (trace[i] != "sprite") continue;
        EXPECT_GT(i, lastBlurEnd);
        ++sprites;
    }
    EXPECT_EQ(sprites, 4u);
}

TEST_F(BloomScenes, LightsPulseWithTheBeatAndTheHaloSizeFollows) {
    auto one = Make<Scene_1>({"-time 0 100000"});
    // x = 2 ms / 250 = pi / 2 at ms = 196 (the peak; 196.35 exactly).
    Trace(*one, 196.0f);
    for (const LightInstance& light : r->bar.lightInstances) EXPECT_NEAR(light.light->colourW, 0.6f, 1e-4f);
    EXPECT_NEAR(r->haloSprites.size, 15.0f, 1e-3f);  // the line layer's size is left behind
    // |sin x| <= 0.8: dark lights.
    Trace(*one, 0.5f);
    for (const LightInstance& light : r->bar.lightInstances) EXPECT_EQ(light.light->colourW, 0.0f);

    auto two = Make<Scene_2>({"-time 0 100000"});
    Trace(*two, 196.0f);
    for (const LightInstance& light : r->stage2.lightInstances) EXPECT_NEAR(light.light->colourW, 0.4f, 1e-4f);
}

TEST_F(BloomScenes, SceneThreeIsSceneOneOnTheCelosWithItsOwnTint) {
    auto scene = Make<Scene_3>({"-time 0 10000", "-value 0.3"});
    const Strings trace = Trace(*scene, 5000.0f);
    EXPECT_EQ(Only(trace, "target"), BloomTargets(1));
    const float* tint = ParamValues(r->lfShader.shader, "u_val");
    ASSERT_NE(tint, nullptr);
    EXPECT_EQ(tint[0], 0.5f);
    EXPECT_EQ(tint[1], 0.5f);
    EXPECT_EQ(tint[2], 0.0f);
    EXPECT_FLOAT_EQ(tint[3], 0.3f);
    EXPECT_EQ(scene->celosCamera, r->celos.GetCamera("Celos"));
}

TEST_F(BloomScenes, RoosterFramesOfEachDance) {
    // Scene 2: frames 1 to 60 at 37.5 per second.
    auto sceneTwo = [](int ms) { return CycleFrame(static_cast<float>(ms / 1000.0 * 25.0), 1.5, 59, 1.0); };
    EXPECT_EQ(sceneTwo(0), 1.0f);
    EXPECT_FLOAT_EQ(sceneTwo(1000), 38.5f);
    EXPECT_FLOAT_EQ(sceneTwo(1600), 2.0f);
    // The stage scenes: frames 60 to 230 at 25 per second.
    auto stage = [](float ms) { return CycleFrame(static_cast<float>(ms / 1000.0 * 25.0), 1.0, 170, 60.0); };
    EXPECT_EQ(stage(0), 60.0f);
    EXPECT_FLOAT_EQ(stage(6800), 60.0f);
    EXPECT_FLOAT_EQ(stage(1000), 85.0f);
}

TEST_F(BloomScenes, SceneFourBlursTwiceAndPicksTheModelOfItsStep) {
    auto scene = Make<Scene_4>({"-time 0 10000"});
    const Strings trace = Trace(*scene, 5000.0f);
    EXPECT_EQ(Only(trace, "target"), BloomTargets(2));
    EXPECT_EQ(Only(trace, "settings"), kTwoIterations);
    EXPECT_EQ(Only(trace, "ADDRESS").size(), 4u);
    // P = 25, q = 2, m = 1: "x1", two faces, in both world drawings.
    EXPECT_EQ(Only(trace, "mesh 2").size(), 2u);

    auto still = Make<Scene_4>({"-time 0 10000", "-speed 0"});
    EXPECT_EQ(Only(Trace(*still, 9000.0f), "mesh 1").size(), 2u + 2u);  // "x0" and the rooster, twice
}

TEST_F(BloomScenes, ModelChoicesPastTheListStayOnTheLastModel) {
    auto four = Make<Scene_4>({"-time 0 10000", "-divisor 20"});
    EXPECT_EQ(Only(Trace(*four, 3999.0f), "mesh 12").size(), 2u);  // P = 19.99: index 19 → "x11"
    auto noDivisor = Make<Scene_4>({"-time 0 10000", "-divisor 0"});
    EXPECT_EQ(Only(Trace(*noDivisor, 5000.0f), "mesh 12").size(), 2u);

    auto seven = Make<Scene_7>({"-time 0 10000", "-start 21"});
    EXPECT_EQ(Only(Trace(*seven, 150.0f), "mesh 22").size(), 2u);  // step 1 past "p21"
    auto nine = Make<Scene_9>({"-time 0 10000", "-divisor 10"});
    EXPECT_EQ(Only(Trace(*nine, 9000.0f), "mesh 6").size(), 2u * 7u);  // index 9 → "c5"
}

TEST_F(BloomScenes, SceneSevenAlternatesItsPatternPairAndLeavesTheRoosterUnmirrored) {
    auto scene = Make<Scene_7>({"-time 0 10000"});
    const Strings first = Trace(*scene, 50.0f);  // k = 0.005: P = 0.5 → "p0"
    EXPECT_EQ(Only(first, "target"), BloomTargets(2));
    EXPECT_TRUE(Only(first, "ADDRESS").empty());
    EXPECT_EQ(Only(first, "mesh 1").size(), 2u * 3u);  // mirrored rooster, "p0", rooster
    EXPECT_EQ(Only(Trace(*scene, 150.0f), "mesh 2").size(), 2u);  // "p1"
    auto later = Make<Scene_7>({"-time 0 10000", "-start 4"});
    EXPECT_EQ(Only(Trace(*later, 150.0f), "mesh 6").size(), 2u);  // "p5"
    EXPECT_EQ(r->galo.GetNode("galo002")->scale.z, 1.0f);
    // Halos of the three aux lights, two layers, in both drawings (they feed the
    // bloom), each after its occlusion test point.
    EXPECT_EQ(Only(first, "sprite").size(), 2u * 2u * 3u * 2u);
}

TEST_F(BloomScenes, SceneEightHeldStillShowsItsPositionOnThePath) {
    auto scene = Make<Scene_8>({"-time 0 10000", "-still 1", "-position 0.25"});
    const Strings trace = Trace(*scene, 8000.0f);
    EXPECT_EQ(Only(trace, "ADDRESS").size(), 4u);
    const float* scroll = ParamValues(r->displayShader.shader, "greetings_x");
    ASSERT_NE(scroll, nullptr);
    EXPECT_EQ(scroll[0], 0.25f);
    // The path runs from (0, -10, 2) at 0 to (0, -20, 2) at 500; time 375 lies three quarters along.
    const Camera* camera = r->scoreboard.GetCamera("ID8");
    EXPECT_NEAR(camera->position.y, -10.0f - 10.0f * 0.84375f, 1e-3f);  // the Bezier at u = 0.75 with flat handles
    EXPECT_EQ(r->galo.GetNode("galo002")->scale.z, 1.0f);
}

TEST_F(BloomScenes, SceneNineDrawsItsColumnIntoTargetFiveAndBlursIt) {
    auto scene = Make<Scene_9>({"-time 0 10000"});
    const Strings trace = Trace(*scene, 5000.0f);
    // k = 0.5: m1 = 1 ("c1", two faces), seven copies per world drawing.
    EXPECT_EQ(Only(trace, "mesh 2").size(), 2u * 7u);
    EXPECT_EQ(Only(trace, "ADDRESSU 3").size(), 2u);  // only around the column's blur, once per drawing
    EXPECT_EQ(Only(trace, "settings").size(), 4u + 2u * 4u);
}
