// The composed scene's parameters and the key its tracks are at.
#include <gtest/gtest.h>

#include <cmath>

#include "scenes/scene_compound.h"

TEST(SceneCompound, ParametersReadAsDocumented) {
    Scene_Compound scene(nullptr);
    for (const char* line : {"-time 1000 5000", "-file a.nc", "-camera Orbit", "-speed 0.5", "-startkey 10",
                             "-loop 10 60", "-shader Galo zkLSShader", "-shader * zkOther", "-bloom 3",
                             "-clear 0.5 2 -1", "-fog 0.25", "-halo Key 12", "-halo Rim", "-unknown 5"})
        scene.SetParameter(line);
    EXPECT_EQ(scene.start, 1000.0f);
    EXPECT_EQ(scene.end, 5000.0f);
    EXPECT_EQ(scene.file, "a.nc");
    EXPECT_EQ(scene.cameraName, "Orbit");
    EXPECT_EQ(scene.speed, 0.5f);
    EXPECT_EQ(scene.startKey, 10.0f);
    EXPECT_EQ(scene.loopFirst, 10.0f);
    EXPECT_EQ(scene.loopLast, 60.0f);
    ASSERT_EQ(scene.shaders.size(), 2u);
    EXPECT_EQ(scene.shaders[1].first, "*");
    EXPECT_EQ(scene.bloom, 3);
    EXPECT_TRUE(scene.clear);
    EXPECT_EQ(scene.clearColour[0], 0.5f);  // each clamped to 0..1
    EXPECT_EQ(scene.clearColour[1], 1.0f);
    EXPECT_EQ(scene.clearColour[2], 0.0f);
    EXPECT_TRUE(scene.fog);
    EXPECT_EQ(scene.fogValue, 0.25f);
    using Halos = std::vector<std::pair<std::string, float>>;
    EXPECT_EQ(scene.halos, (Halos{{"Key", 12.0f}, {"Rim", 10.0f}}));
}

TEST(SceneCompound, MalformedValuesStayInRange) {
    Scene_Compound scene(nullptr);
    for (const char* line : {"-bloom 99999", "-speed nan", "-startkey inf", "-loop 1e40 -1e40", "-halo L -3"})
        scene.SetParameter(line);
    EXPECT_EQ(scene.bloom, 16);
    EXPECT_EQ(scene.speed, 0.0f);
    EXPECT_EQ(scene.startKey, 0.0f);
    EXPECT_EQ(scene.halos[0].second, 0.0f);
    scene.SetParameter("-bloom -4");
    EXPECT_EQ(scene.bloom, 0);
    scene.start = 0;
    EXPECT_TRUE(std::isfinite(scene.KeyAt(1e30f)));
}

TEST(SceneCompound, KeysRunFromTheStartKeyAndLoopOrHold) {
    struct Case {
        float speed, startKey, loopFirst, loopLast, ms, key;
    };
    // The span starts at 1000 ms; 25 keys a second at speed 1.
    const Case cases[] = {
        {1, 0, 0, 0, 1000, 0},   {1, 0, 0, 0, 3000, 50},     {2, 5, 0, 0, 2000, 55},
        {1, 0, 0, 40, 3000, 10}, {1, 20, 10, 30, 1400, 10},  {1, 0, 10, 30, 1200, 5},  // before the loop: as is
        {1, 0, 0, 0, 1e5, 2475}, {0.5f, 1, 1, 60, 6000, 4.5f},
    };
    for (const Case& c : cases) {
        Scene_Compound scene(nullptr);
        scene.start = 1000;
        scene.speed = c.speed, scene.startKey = c.startKey, scene.loopFirst = c.loopFirst, scene.loopLast = c.loopLast;
        EXPECT_NEAR(scene.KeyAt(c.ms), c.key, 1e-3) << c.ms;
    }
}
