// The tile scenes, the sphere and the credits on the recording device.
#include <gtest/gtest.h>

#include <cmath>

#include "compound/compound.h"
#include "scene_fixture.h"
#include "scenes/scene_5.h"
#include "scenes/scene_5a.h"
#include "scenes/scene_6.h"
#include "scenes/scene_creditos.h"

namespace {

using Strings = std::vector<std::string>;

// Quads drawn after the last render-target pass returned to the screen.
size_t ScreenQuads(const Strings& trace) {
    size_t last = 0;
    for (size_t i = 0; i < trace.size(); ++i)
        if (trace[i] == "target back") last = i;
    size_t quads = 0;
    for (size_t i = last; i < trace.size(); ++i) quads += trace[i] == "quad";
    return quads;
}

class TileScenes : public SceneShell {};

}  // namespace

TEST_F(TileScenes, SceneFiveRevealsItsQuartersStrictly) {
    auto scene = Make<Scene_5>({"-time 0 10000"});
    const Strings first = Trace(*scene, 2500.0f);
    EXPECT_EQ(Only(first, "target"), (Strings{"target t1", "target back", "target t2", "target back"}));
    EXPECT_EQ(ScreenQuads(first), 1u);
    EXPECT_EQ(ScreenQuads(Trace(*scene, 2501.0f)), 2u);
    EXPECT_EQ(ScreenQuads(Trace(*scene, 7501.0f)), 4u);
    EXPECT_EQ(Only(first, "ADDRESS"), (Strings{"ADDRESSU 3", "ADDRESSV 3", "ADDRESSU 1", "ADDRESSV 1"}));
    // Each target: the back quad first, then the rooster.
    EXPECT_EQ(Only(first, "texture backquad").size(), 2u);
}

TEST_F(TileScenes, SceneFiveATilesAppearByTheirDelays) {
    auto spiral = Make<Scene_5A>({"-time 0 10000"});
    EXPECT_EQ(ScreenQuads(Trace(*spiral, 7812.5f)), 16u);  // i x 0.0625 <= 1.2 k for all i from k = 0.78125
    EXPECT_EQ(ScreenQuads(Trace(*spiral, 600.0f)), 2u);    // delays 0 and 0.0625 <= 0.072

    auto backwards = Make<Scene_5A>({"-time 0 10000", "-mode 1"});
    EXPECT_EQ(ScreenQuads(Trace(*backwards, 8333.0f)), 15u);  // the first cell (delay 1) still missing
    EXPECT_EQ(ScreenQuads(Trace(*backwards, 8334.0f)), 16u);
}

TEST_F(TileScenes, SceneSixBlursDiagonallyFourTimesAndSpinsWithTheMusicOnly) {
    auto scene = Make<Scene_6>({"-time 0 10000"});
    const Strings trace = Trace(*scene, 5000.0f);
    EXPECT_EQ(Only(trace, "settings"),
              (Strings{"settings 1 1 1 0", "settings -1 1 1 0", "settings 1 -1 1 0", "settings -1 -1 1 0"}));
    EXPECT_EQ(Only(trace, "target"),
              (Strings{"target t5", "target back", "target t6", "target back", "target t5", "target back",
                       "target t6", "target back", "target t5", "target back"}));
    EXPECT_TRUE(Only(trace, "ADDRESS").empty());
    // No music stream plays in the test: the sphere stays unturned.
    const Quaternion q = r->scene6.GetNode("Sphere")->rotation;
    EXPECT_EQ(q.z, 0.0f);
    EXPECT_EQ(q.w, 1.0f);
}

TEST_F(TileScenes, TheZoomWrapsWithoutAJump) {
    const ZoomState start = ZoomAt(0.0f);
    EXPECT_EQ(start.r, 0.0f);
    EXPECT_EQ(start.s, 1.0f);
    EXPECT_EQ(start.angle, 0.0f);
    const ZoomState end = ZoomAt(1.0f);
    EXPECT_EQ(end.r, 0.0f);
    EXPECT_EQ(end.s, 1.0f);
    const float firstPeriod = static_cast<float>((std::sqrt(1700.0) - 10) / 80);
    EXPECT_GT(ZoomAt(firstPeriod - 1e-4f).r, 9.9f);
    EXPECT_LT(ZoomAt(firstPeriod + 1e-4f).r, 0.1f);
    // p = 12.5: a quarter turn and the fourth root of the zoom.
    const float quarter = static_cast<float>((std::sqrt(100.0 + 2000.0) - 10) / 80);
    const ZoomState q = ZoomAt(quarter);
    EXPECT_NEAR(q.r, 2.5f, 1e-3f);
    EXPECT_NEAR(q.s, 4.082f, 1e-2f);
    EXPECT_NEAR(q.angle, 1.5708f, 1e-3f);
}

TEST_F(TileScenes, CreditsBlurEightTimesThroughTheSmallTargets) {
    auto scene = Make<Scene_Creditos>({"-time 0 10000"});
    const Strings trace = Trace(*scene, 3000.0f);
    Strings settings;
    for (int i = 0; i < 4; ++i) settings.insert(settings.end(), {"settings 1 0 1 0", "settings 0 1 1 0"});
    EXPECT_EQ(Only(trace, "settings"), settings);
    EXPECT_TRUE(Only(trace, "ADDRESS").empty());
    EXPECT_EQ(Only(trace, "target").front(), "target t1");
    // On screen: the zoom's black fill and four copies, the panel, its shade.
    EXPECT_EQ(Only(trace, "texture pimp").size(), 2u);
    EXPECT_EQ(ScreenQuads(trace), 1u + 4u + 1u + 1u);
}
