// The rooster drawn from its glTF round trip looks as the original does, in
// the scene that dances it, on the OpenGL device. ENGINE_TEST_PNG_DIR keeps
// both pictures.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

#include "gltf_tool_runs.h"
#include "platform/demo_app.h"
#include "platform/graphics_context.h"
#include "recording_fixture.h"
#include "reference_picture.h"
#include "runtime/demo_player.h"
#include "runtime/demo_resources.h"
#include "scenes/scene_7.h"
#include "temp_dir.h"
#include "test_png.h"

namespace {

namespace fs = std::filesystem;

constexpr int kWidth = 320, kHeight = 240;

class GaloPicture : public ::testing::Test {
protected:
    void SetUp() override {
        g_demoApp = new DemoApp();
        ASSERT_TRUE(g_demoApp->Startup(kWidth, kHeight, false, 0));
        inData = std::make_unique<WorkingDirectory>(DEMO_DATA_DIR);
        player = std::make_unique<DemoPlayer>(kWidth, kHeight, 4.0f / 3.0f);
        r = player->resources;
        r->Load();
    }
    void TearDown() override {
        player.reset();
        inData.reset();
        g_demoApp->Shutdown();
        delete g_demoApp;
        g_demoApp = nullptr;
    }

    // Scene 7 at a time where the rooster dances, made afresh so that it
    // looks up the rooster now loaded.
    Picture Draw(const std::string& name) {
        Scene_7 scene(r);
        scene.SetParameter("-time 0 20000");
        r->music.stream->setPosition(static_cast<int>(7300 * 44.1f));
        zkClear();
        scene.Render(r, 7300.0f);
        Picture picture = BackBufferPicture();
        if (const char* folder = std::getenv("ENGINE_TEST_PNG_DIR"))
            WriteTestPng(std::string(folder) + "/" + name + ".png", picture.width, picture.height, picture.pixels);
        return picture;
    }

    MessageBoxCapture boxes;
    std::unique_ptr<WorkingDirectory> inData;
    std::unique_ptr<DemoPlayer> player;
    DemoResources* r = nullptr;
};

}  // namespace

TEST_F(GaloPicture, TheRoundTrippedRoosterLooksLikeTheOriginal) {
    TempDir dir;
    const std::string gltf = (dir.path() / "galo.gltf").string(), back = (dir.path() / "galo.nc").string();
    const ToolRun exported = RunTool("export", {std::string(DEMO_DATA_DIR) + "/models/galo.nc", gltf});
    ASSERT_EQ(exported.exitCode, 0) << exported.output;
    const ToolRun imported = RunTool("import", {gltf, back, "--textures", (dir.path() / "textures").string()});
    ASSERT_EQ(imported.exitCode, 0) << imported.output;

    const Picture original = Draw("galo-original");
    ASSERT_TRUE(r->galo.Load(back));
    // As the asset loading wires it.
    r->galo.GetMaterial("Galo")->AttachShader(&r->lsShader.shader);
    const Picture returned = Draw("galo-round-trip");
    EXPECT_TRUE(PicturesMatch("galo-round-trip", original, returned, {2, 0.0}));
    for (const auto& box : boxes.boxes) ADD_FAILURE() << box.caption << ": " << box.text;
}
