// Every scene over the generated data set on the OpenGL device: a picture
// that is not flat, that moves, and (for the bloom) is brighter with the
// blurred world added. ENGINE_TEST_PNG_DIR keeps the pictures.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/demo_app.h"
#include "platform/graphics_context.h"
#include "recording_fixture.h"
#include "runtime/demo_player.h"
#include "runtime/demo_resources.h"
#include "scenes/scene_1.h"
#include "scenes/scene_2.h"
#include "scenes/scene_3.h"
#include "scenes/scene_4.h"
#include "scenes/scene_5.h"
#include "scenes/scene_5a.h"
#include "scenes/scene_6.h"
#include "scenes/scene_7.h"
#include "scenes/scene_8.h"
#include "scenes/scene_9.h"
#include "scenes/scene_creditos.h"
#include "temp_dir.h"
#include "test_png.h"

namespace {

constexpr int kWidth = 320, kHeight = 240;

class ScenePictures : public ::testing::Test {
protected:
    void SetUp() override {
        g_demoApp = new DemoApp();
        ASSERT_TRUE(g_demoApp->Startup(kWidth, kHeight, false, 0));
        inData = std::make_unique<WorkingDirectory>(DEMO_DATA_DIR);
        player = std::make_unique<DemoPlayer>(kWidth, kHeight, 4.0f / 3.0f);
        r = player->resources;
        r->Load();
        ASSERT_TRUE(r->music.stream);
    }
    void TearDown() override {
        player.reset();
        inData.reset();
        g_demoApp->Shutdown();
        delete g_demoApp;
        g_demoApp = nullptr;
    }

    std::vector<uint32_t> Picture(const std::function<void()>& draw, const std::string& name) {
        zkClear();
        draw();
        UINT w = 0, h = 0;
        std::vector<uint32_t> pixels = g_graphics->device->ReadBackBuffer(&w, &h);
        if (const char* folder = std::getenv("ENGINE_TEST_PNG_DIR"))
            WriteTestPng(std::string(folder) + "/" + name + ".png", w, h, pixels);
        return pixels;
    }

    MessageBoxCapture boxes;
    std::unique_ptr<WorkingDirectory> inData;
    std::unique_ptr<DemoPlayer> player;
    DemoResources* r = nullptr;
};

size_t DistinctColours(const std::vector<uint32_t>& pixels) {
    return std::set<uint32_t>(pixels.begin(), pixels.end()).size();
}

double Brightness(const std::vector<uint32_t>& pixels) {
    double sum = 0;
    for (uint32_t p : pixels) sum += (p >> 16 & 0xFF) + (p >> 8 & 0xFF) + (p & 0xFF);
    return sum / pixels.size();
}

struct Case {
    const char* name;
    std::function<DemoScene_Scene*(DemoResources*)> make;
};

template <typename SceneClass>
Case Scene(const char* name) {
    return {name, [](DemoResources* r) { return new SceneClass(r); }};
}

}  // namespace

TEST_F(ScenePictures, EverySceneDrawsAMovingPicture) {
    const Case cases[] = {Scene<Scene_1>("Scene_1"), Scene<Scene_2>("Scene_2"), Scene<Scene_3>("Scene_3"),
                          Scene<Scene_4>("Scene_4"), Scene<Scene_5>("Scene_5"), Scene<Scene_5A>("Scene_5A"),
                          Scene<Scene_6>("Scene_6"), Scene<Scene_7>("Scene_7"), Scene<Scene_8>("Scene_8"),
                          Scene<Scene_9>("Scene_9"), Scene<Scene_Creditos>("Scene_Creditos")};
    for (const Case& c : cases) {
        std::unique_ptr<DemoScene_Scene> scene(c.make(r));
        scene->SetParameter("-time 0 20000");
        // The music stands where the demo time is (the sphere turns with it).
        auto at = [&](float ms) {
            r->music.stream->setPosition(static_cast<int>(ms * 44.1f));
            scene->Render(r, ms);
        };
        const auto early = Picture([&] { at(7300.0f); }, std::string(c.name) + "-early");
        const auto late = Picture([&] { at(16900.0f); }, std::string(c.name) + "-late");
        EXPECT_GT(DistinctColours(early), 50u) << c.name;
        EXPECT_NE(early, late) << c.name;
    }
    for (const auto& box : boxes.boxes) ADD_FAILURE() << box.caption << ": " << box.text;
}

TEST_F(ScenePictures, TheBloomBrightensTheWorld) {
    Scene_1 scene(r);
    scene.SetParameter("-time 0 20000");
    const auto world = Picture([&] { scene.DrawWorld(r, 5000, true); }, "Scene_1-world");
    const auto bloomed = Picture([&] { scene.Render(r, 5000.0f); }, "Scene_1-bloomed");
    EXPECT_GT(Brightness(bloomed), Brightness(world) * 1.2);
}
