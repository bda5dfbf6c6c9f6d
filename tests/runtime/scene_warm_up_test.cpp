// The scenes' first frames drawn while the logo is up: no scene start then
// waits on the driver linking a program, and nothing else of the run changes:
// a message or an exit comes at the frame that meets it without the warm-up.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "backend/gl_program_cache.h"
#include "demo_pictures.h"
#include "fixed_clock_run.h"
#include "test_data_set.h"

namespace {

class SceneWarmUp : public DemoPictures {};

// The test data set with a script of one scene: frame n of the run is drawn
// at n x 1000 / 30 ms, so a span from 500 is first drawn by frame 16.
class EditedData : public ::testing::Test {
protected:
    static constexpr int kFirstFrameFrom500 = 16;

    void Write(const std::string& scene, const std::string& time) {
        WriteTestDataSet(data);
        data.Write("scripts/demo.txt", "." + scene + "\n-time " + time + "\n");
    }
    // The name's last letter changed in place wherever it stands: the file
    // still loads, without the name.
    void Rename(const std::string& file, const std::string& name) {
        std::ifstream in(data.path() / file, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        ASSERT_NE(bytes.find(name), std::string::npos) << name;
        for (size_t at; (at = bytes.find(name)) != std::string::npos;) bytes[at + name.size() - 1] = '_';
        data.Write(file, bytes);
    }
    void Open() {
        FixedClockOptions options;
        options.dataDir = data.path().string();
        options.width = 160;
        options.height = 120;
        session = std::make_unique<FixedClockSession>(options);
        ASSERT_EQ(session->status(), 0);
    }
    // The whole music; onFrame after each frame.
    void Play(const std::function<void(int64_t frame)>& onFrame) {
        session->Play(0, session->loaded().endMs, [&](const FixedClockFrame& frame) { onFrame(frame.number); });
    }

    TempDir data;
    std::unique_ptr<FixedClockSession> session;
};

}  // namespace

TEST_F(SceneWarmUp, NoProgramIsLinkedWhilePlayingEveryScene) {
    Open(160, 120);
    const uint64_t linkedWhileLoading = ProgramsLinked();
    EXPECT_GT(linkedWhileLoading, 0u);
    int64_t frames = 0;
    session->PlayEveryScene(300, [&](const FixedClockFrame&) { ++frames; });
    EXPECT_GT(frames, 20);
    EXPECT_EQ(ProgramsLinked() - linkedWhileLoading, 0u) << "programs linked at a scene's start";
}

// A name that a scene looks up while drawing, missing: the box and the exit
// come with the scene's first frame, and never for a scene that is not drawn.
// The run is reported on standard error: the boxes of the loading counted,
// "frame n" after each frame, the boxes as they come, "ended" when the music
// is over.
TEST_F(EditedData, ANameMissingFromAScenesDrawingEndsTheDemoAtItsFirstFrameOnly) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    struct Case {
        const char *file, *name, *scene;
    };
    const Case cases[] = {{"models/galo.nc", "galo002", "ID7"},
                          {"models/galo.nc", "galo002", "ID8"},
                          {"models/scene_6.nc", "Sphere", "ID6"},
                          {"models/galo.nc", "Arm.Galo", "ID2"}};
    const std::string box = "\xC3\x9C" "ber Error !: Datablock \"";
    for (const Case& c : cases) {
        for (const char* time : {"500 1500", "5000 6000"}) {
            const bool drawn = std::string(time) == "500 1500";
            Write(c.scene, time);
            Rename(c.file, c.name);
            EXPECT_EXIT(
                {
                    MessageBoxCapture boxes;  // each box is still written to standard error
                    Open();
                    std::fprintf(stderr, "loaded, %zu boxes\n", boxes.boxes.size());
                    Play([](int64_t frame) { std::fprintf(stderr, "frame %lld\n", static_cast<long long>(frame)); });
                    std::fprintf(stderr, "ended\n");
                    std::fflush(stderr);
                    std::_Exit(7);
                },
                ::testing::ExitedWithCode(drawn ? 0 : 7),
                drawn ? "loaded, 0 boxes\n(frame [0-9]+\n)*frame " + std::to_string(kFirstFrameFrom500 - 1) + "\n" +
                            box + c.name + "\" not found!\n$"
                      : std::string("loaded, 0 boxes\n(frame [0-9]+\n)+ended\n$"))
                << c.scene << " -time " << time << " without " << c.name;
        }
    }
}

// The warm-up's binds show nothing and are forgotten: a uniform the shader
// does not use is reported once per run, by the first bind outside the
// warm-up. Scene_1 binds "zk_ZFogValue" (as the loading does) and "u_val" on
// the LF shader, which uses only one of them here.
TEST_F(EditedData, AnUnusedUniformIsReportedOnceByTheFirstBindThatIsNotAWarmUp) {
    struct Case {
        const char *time, *used, *unused, *binder;
        int whileLoading;                     // boxes
        std::vector<int64_t> framesWithABox;  // with one box each
    };
    const Case cases[] = {{"500 1500", "zk_ZFogValue", "u_val", "zkShaderBind4f", 0, {kFirstFrameFrom500}},
                          {"5000 6000", "zk_ZFogValue", "u_val", "zkShaderBind4f", 0, {}},
                          {"500 1500", "u_val", "zk_ZFogValue", "zkShaderBind1f", 1, {}}};
    for (const Case& c : cases) {
        MessageBoxCapture boxes;
        Write("ID1", c.time);
        data.Write("shaders/zkLFShader.fx", std::string("#pragma HLSL_PS\nfloat4 ") + c.used +
                                                ";\nfloat4 main() : COLOR { return " + c.used + "; }\n#end\n");
        const std::string box = std::string(c.binder) + ": Variable not found in shader, or not in use!";
        Open();
        EXPECT_EQ(boxes.boxes.size(), static_cast<size_t>(c.whileLoading)) << c.unused << " while loading";
        for (const auto& shown : boxes.boxes) EXPECT_EQ(shown.caption + ": " + shown.text, box);
        boxes.boxes.clear();
        std::vector<int64_t> framesWithABox;
        Play([&](int64_t frame) {
            for (const auto& shown : boxes.boxes) {
                EXPECT_EQ(shown.caption + ": " + shown.text, box);
                framesWithABox.push_back(frame);
            }
            boxes.boxes.clear();
        });
        EXPECT_EQ(framesWithABox, c.framesWithABox) << c.unused << " while playing, -time " << c.time;
        session.reset();
    }
}
