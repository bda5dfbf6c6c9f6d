// Every scene class of the demo script drawn by the fixed clock at chosen
// times and compared with its reference picture: halo peaks, the fades at
// their middle, the modes of Scene_5A, the start and end of the credits, and
// one frame of another size and aspect with antialiasing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "demo_pictures.h"

namespace {

constexpr int kWidth = 240, kHeight = 180;

class SceneReferencePictures : public DemoPictures {
protected:
    void Expect(const std::vector<SceneMoment>& moments) {
        Open(kWidth, kHeight);
        ExpectMoments(moments);
    }
};

}  // namespace

// Halo peaks: |sin(2 ms / 250)| is 1 at ms = 125 (pi/2 + k pi).
TEST_F(SceneReferencePictures, BarCelosAndRimStages) {
    Expect({{"scene_1-fade-in", 750, {"Scene_1", "Scene_IFTB"}},
            {"scene_1-halo-peak", 4909, {"Scene_1"}},
            {"scene_3-halo-peak", 15904, {"Scene_3"}},
            {"scene_3", 21000, {"Scene_3"}},
            {"scene_2-halo-peak", 31612, {"Scene_2"}},
            {"scene_2", 35000, {"Scene_2"}},
            {"scene_1-bright", 147000, {"Scene_1"}},
            {"scene_1-fade-out", 150196, {"Scene_1", "Scene_FTB"}}});
}

// Scene_7's halos peak at ms = 250 / 1.5 (pi/2 + k pi).
TEST_F(SceneReferencePictures, RoosterStages) {
    Expect({{"scene_4-early", 42000, {"Scene_4"}},
            {"scene_4-late", 52000, {"Scene_4"}},
            {"scene_7-halo-peak", 69900, {"Scene_7"}},
            {"scene_7-second", 77000, {"Scene_7"}},
            {"scene_7-fade-out", 81089, {"Scene_7", "Scene_FTB"}},
            {"scene_8-early", 122000, {"Scene_8"}},
            {"scene_8-late", 130000, {"Scene_8"}},
            {"scene_9-early", 135000, {"Scene_9"}},
            {"scene_9-late", 142000, {"Scene_9"}}});
}

// Scene_5 shows its quarters one by one; Scene_5A fills its cells in the
// order of its mode (2, then 1 reversed, then 3), each shown halfway through.
TEST_F(SceneReferencePictures, TilesAndSphere) {
    Expect({{"scene_5-two-quarters", 60000, {"Scene_5"}},
            {"scene_5-four-quarters", 68000, {"Scene_5"}},
            {"scene_6-fade-in", 82689, {"Scene_6", "Scene_IFTB"}},
            {"scene_6", 90000, {"Scene_6"}},
            {"scene_5a-mode-2", 100727, {"Scene_5A"}},
            {"scene_5a-mode-1", 110152, {"Scene_5A"}},
            {"scene_5a-mode-3", 116435, {"Scene_5A"}}});
}

TEST_F(SceneReferencePictures, Credits) {
    Expect({{"credits-fade-in", 151796, {"Scene_Creditos", "Scene_IFTB"}},
            {"credits-start", 152700, {"Scene_Creditos"}},
            {"credits-end", 176000, {"Scene_Creditos"}},
            {"credits-fade-out", 178063, {"Scene_Creditos", "Scene_FTB"}}});
}

// 16:9 at 1280x720 with four samples per pixel, stored at half size.
TEST_F(SceneReferencePictures, WideAntialiasedFrame) {
    Open(1280, 720, 4);
    std::vector<std::string> drawn;
    const Picture picture = FrameAt(125000, &drawn);
    EXPECT_EQ(drawn, std::vector<std::string>{"Scene_8"});
    EXPECT_TRUE(MatchesReference("scenes/scene_8-1280x720-antialiased", HalfSize(picture)));
}
