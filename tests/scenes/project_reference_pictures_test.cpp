// A new project's composed scenes drawn by the fixed clock and compared with
// their reference pictures: the title card mid-fade, the turning ring at two
// times, the skinned dancing rooster at two times with bloom and without, the
// closing text mid-fade and a picture layer in a rectangle mid-fade.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "demo_pictures.h"
#include "new_project.h"
#include "temp_dir.h"

namespace {

constexpr int kWidth = 240, kHeight = 180;

class ProjectReferencePictures : public DemoPictures {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(WriteNewProject(project().string(), DEMO_DATA_DIR, &error)) << error;
    }
    std::filesystem::path project() const { return dir.path() / "demo"; }

    std::vector<Picture> Expect(const std::vector<SceneMoment>& moments) {
        Open(kWidth, kHeight, 0, project().string());
        return ExpectMoments(moments);
    }

    TempDir dir;
};

bool Moved(const Picture& a, const Picture& b) {
    size_t differing = 0;
    for (size_t i = 0; i < a.pixels.size(); ++i) differing += a.pixels[i] != b.pixels[i];
    return differing > a.pixels.size() / 50;
}

}  // namespace

TEST_F(ProjectReferencePictures, FirstFramesTitleAndTurningRing) {
    const std::vector<Picture> pictures =
        Expect({{"project-title-mid-fade", 1000, {"Scene_Compound", "Scene_IFTB", "Scene_Layer"}},
                {"project-ring-3000", 3000, {"Scene_Compound", "Scene_Layer"}},
                {"project-ring-7000", 7000, {"Scene_Compound"}}});
    EXPECT_TRUE(Moved(pictures[1], pictures[2]));
}

TEST_F(ProjectReferencePictures, SkinnedRoosterDancesWithBloomAndWithout) {
    const std::vector<Picture> bloom = Expect({{"project-rooster-11000", 11000, {"Scene_Compound"}},
                                               {"project-rooster-11400", 11400, {"Scene_Compound"}},
                                               {"project-credits-mid-fade", 13250, {"Scene_Compound", "Scene_Layer"}}});
    EXPECT_TRUE(Moved(bloom[0], bloom[1]));
    session.reset();
    std::string script = NewProjectScript();
    script.replace(script.find("-bloom 2"), 8, "-bloom 0");
    dir.Write("demo/scripts/demo.txt", script);
    const std::vector<Picture> plain = Expect({{"project-rooster-11000-no-bloom", 11000, {"Scene_Compound"}}});
    EXPECT_TRUE(Moved(bloom[0], plain[0]));
}

TEST_F(ProjectReferencePictures, PictureLayerInARectangleMidFade) {
    dir.Write("demo/scripts/demo.txt", NewProjectScript() +
                                           ".Layer\n-time 2000 4000\n-picture tex2dnpt_logo_presentation.png\n"
                                           "-rect 120 60 400 200\n-fade 1000 1000\n");
    Expect({{"project-picture-layer-mid-fade", 2500, {"Scene_Compound", "Scene_Layer", "Scene_Layer"}}});
}
