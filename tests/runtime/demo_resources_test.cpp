// Asset loading against the test data set: a clean load, the loading-screen
// frame, the cube pre-render, and a missing compound's fatal material lookup.
#include "runtime/demo_resources.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <memory>

#include "recording_fixture.h"
#include "runtime/demo_player.h"
#include "shader/shader_params.h"
#include "test_data_set.h"

namespace {

class AssetLoading : public RecordingShell {
protected:
    void SetUp() override {
        RecordingShell::SetUp();
        clock.stepPerRead = FakeClock::kFrequency / 60;
    }
    void TearDown() override {
        player.reset();
        inData.reset();
        RecordingShell::TearDown();
    }
    DemoResources* Resources() {
        inData = std::make_unique<WorkingDirectory>(data.path());
        player = std::make_unique<DemoPlayer>(640, 480, 4.0f / 3.0f);
        return player->resources;
    }

    TempDir data;
    std::unique_ptr<WorkingDirectory> inData;
    std::unique_ptr<DemoPlayer> player;
    MessageBoxCapture boxes;
};

}  // namespace

TEST_F(AssetLoading, TheTestDataSetLoadsWithoutAMessageAndWiresItsMaterials) {
    WriteTestDataSet(data);
    DemoResources* resources = Resources();
    resources->Load();
    for (const auto& box : boxes.boxes) ADD_FAILURE() << box.caption << ": " << box.text;
    EXPECT_TRUE(resources->music.stream);
    EXPECT_EQ(resources->font.texture, &resources->fontTexture);
    EXPECT_EQ(resources->haloSprites.spriteTexture, &resources->haloTexture);

    Material* floor = resources->stage9.GetMaterial("BlueFloor");
    EXPECT_EQ(floor->shaderSlot, &resources->nlShader.shader);
    EXPECT_EQ(floor->flags & MATERIAL_SHADER, MATERIAL_SHADER);
    EXPECT_EQ(floor->textures[0], &resources->backQuad);
    EXPECT_EQ(resources->scoreboard.GetMaterial("Bolas")->textures[1], &resources->greetings);
    EXPECT_EQ(resources->greetings.minification, 0);
    EXPECT_EQ(resources->scene6.GetMaterial("Brilhante")->textures[0], &resources->cubeTarget);
    EXPECT_EQ(resources->lfShader.shader->params.front()->name, "zk_ZFogValue");
    // Every render target without alpha (it samples as 1): 2D 0x29, cube 0x2C.
    for (NamedTexture* target : {&resources->target1, &resources->target2, &resources->target3, &resources->target4,
                                 &resources->target5, &resources->target6}) {
        ASSERT_NE(target->texture, nullptr);
        EXPECT_EQ(target->texture->flags, 0x29u);
    }
    ASSERT_NE(resources->cubeTarget.texture, nullptr);
    EXPECT_EQ(resources->cubeTarget.texture->flags, 0x2Cu);
}

TEST_F(AssetLoading, CubePreRenderDrawsEachFaceFromTheCentreOfTheScene) {
    WriteTestDataSet(data);
    Resources()->Load();
    // Each face: its own target, a clear, the face camera, depth test on, the models, the end of the pass.
    std::vector<std::vector<std::string>> faces;
    for (const std::string& call : log.calls) {
        if (call.rfind("SetRenderTarget(0, surface#", 0) == 0) faces.push_back({});
        if (!faces.empty()) faces.back().push_back(call);
    }
    std::set<std::string> targets;
    size_t passes = 0;
    for (const auto& face : faces) {
        const auto end = std::find(face.begin(), face.end(), "EndScene()");
        if (end == face.end() || end - face.begin() < 4) continue;  // the restore after a pass
        ++passes;
        targets.insert(face[0]);
        const std::vector<std::string> pass(face.begin(), end);
        EXPECT_EQ(pass[3].rfind("Clear(0, 3,", 0), 0u) << pass[3];
        const auto depth = std::find(pass.begin(), pass.end(), "SetRenderState(D3DRS_ZENABLE, 1)");
        const auto draw = std::find_if(pass.begin(), pass.end(),
                                       [](const std::string& c) { return c.rfind("DrawIndexedPrimitive", 0) == 0; });
        EXPECT_LT(depth, draw);
        EXPECT_NE(draw, pass.end());
    }
    EXPECT_EQ(passes, 6u);
    EXPECT_EQ(targets.size(), 6u);
}

TEST_F(AssetLoading, LoadingStepDrawsTheLogoAtTheCurveAndAdvances) {
    WriteTestDataSet(data);
    DemoResources* resources = Resources();
    resources->logo.Load("tex2dnpt_logo_presentation.png");
    g_demoApp->timer->Update();
    log.clear();
    float progress = 0.75f;
    EXPECT_FALSE(resources->LoadingStep(&progress, 0.75f));
    EXPECT_NEAR(progress, 0.76f, 1e-5f);  // one sixtieth of a second: factor 1
    const std::vector<std::string> quads = CallsStartingWith("DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2");
    ASSERT_EQ(quads.size(), 1u);
    EXPECT_NE(quads[0].find("640 480 0 #F4FFFFFF"), std::string::npos) << quads[0];  // alpha 244 at 0.75
    EXPECT_EQ(log.calls.back(), "Present()");
    EXPECT_EQ(log.calls[0].rfind("Clear(0, 3, 0xFF000000", 0), 0u) << log.calls[0];
}

TEST_F(AssetLoading, AMissingPatternsFileEndsWithTheBlueFloorMessage) {
    WriteTestDataSet(data, 2.0, {"models/scene_7_padroes.nc"});
    EXPECT_EXIT(Resources()->Load(), ::testing::ExitedWithCode(0), "Datablock \"BlueFloor\" not found!");
}
