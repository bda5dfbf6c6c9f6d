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
#include "test_png.h"

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

// What the device is asked to make while loading, in order: each picture
// told apart by its own size, shaders, the meshes of the compounds (runs of
// them counted), render targets and the cube target.
TEST_F(AssetLoading, AssetsAreMadeInTheListedOrder) {
    WriteTestDataSet(data);
    const std::pair<const char*, uint32_t> pictures[] = {
        {"tex2dnpt_logo_presentation.png", 3}, {"fnt_04b08.png", 64}, {"tex2d_particle_halo.png", 8},
        {"tex2d_particle_lines.png", 16},      {"tex2d_backquad.png", 32}, {"tex2dnpt_pimp.png", 5},
        {"tex2dnpt_greetings.png", 7}};
    for (const auto& [name, edge] : pictures)
        WriteTestPng((data.path() / "textures" / name).string(), edge, edge, std::vector<uint32_t>(edge * edge, ~0u));
    Resources()->Load();

    std::vector<std::string> made;
    for (const std::string& call : log.calls) {
        const std::string first = call.substr(call.find('(') + 1, call.find_first_of(",)") - call.find('(') - 1);
        std::string what;
        if (call.rfind("CreateTexture(", 0) == 0)
            what = (call.find(", 1, 1, ") != std::string::npos ? "target " : "picture ") + first;
        else if (call.rfind("CreateCubeTexture(", 0) == 0)
            what = "cube " + first;
        else if (call.rfind("CreateVertexShader(", 0) == 0 || call.rfind("CreatePixelShader(", 0) == 0)
            what = "shader";
        else if (call.rfind("CreateIndexBuffer(", 0) == 0)
            what = "meshes";
        if (what == "meshes" && !made.empty() && made.back().rfind("meshes", 0) == 0)
            made.back() = "meshes " + std::to_string(std::stoi(made.back().substr(7)) + 1);
        else if (!what.empty())
            made.push_back(what == "meshes" ? "meshes 1" : what);
    }
    const std::vector<std::string> listed = {
        "picture 3", "picture 64", "picture 8", "picture 16", "picture 32",  // logo, font, halo, lines, back quad
        "shader", "shader", "shader",                                         // NL, LF, LS
        "meshes 15",                                   // bar 1, galo 1, celos 1, stage 4 12 (stage 2 has none)
        "target 256", "target 256", "target 512", "target 512", "cube 128",
        "meshes 1", "shader",                          // scene 6, cube-map shader
        "meshes 1", "shader", "picture 5", "shader",   // credits, blur shader, pimp, floor shader
        "meshes 22", "shader", "meshes 1",             // patterns, display shader, scoreboard
        "picture 7", "meshes 6",                       // greetings, stage 9
        "target 256", "target 256", "meshes 1"};       // targets 5 and 6, cube-map scene
    EXPECT_EQ(made, listed);
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

// A compound loaded again and put in its place is wired as the loading wires it.
TEST_F(AssetLoading, AReplacedCompoundIsWiredAgain) {
    WriteTestDataSet(data);
    DemoResources* r = Resources();
    r->Load();
    struct Case {
        const char* file;
        Compound* compound;
        const char* material;
        Shader** shader;
        int textureSlot;
        NamedTexture* texture;
    };
    const Case cases[] = {{"scene_4_stage.nc", &r->stage4, "R2", &r->floorShader.shader, 0, &r->backQuad},
                          {"scene_7_padroes.nc", &r->patterns, "BlueFloor", &r->floorShader.shader, 0, &r->backQuad},
                          {"scene_9_stage.nc", &r->stage9, "R2", &r->nlShader.shader, 0, &r->backQuad},
                          {"scene_8_placar.nc", &r->scoreboard, "Bolas", &r->displayShader.shader, 1, &r->greetings},
                          {"scene_6.nc", &r->scene6, "Brilhante", &r->cubeMapShader.shader, 0, &r->cubeTarget}};
    for (const Case& c : cases) {
        Compound fresh;
        ASSERT_TRUE(fresh.Load(c.file));
        r->ReplaceCompound(c.compound, std::move(fresh));
        const Material* material = c.compound->GetMaterial(c.material);
        EXPECT_EQ(material->shaderSlot, c.shader) << c.file;
        EXPECT_EQ(material->textures[c.textureSlot], c.texture) << c.file;
    }
    for (const auto& box : boxes.boxes) ADD_FAILURE() << box.caption << ": " << box.text;
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

// The wiring's order shows in what a missing file brings up: the compound's
// message and then the first lookup in it, with nothing loaded in between.
TEST_F(AssetLoading, AMissingCompoundEndsWithItsFirstWiredMaterial) {
    struct Case {
        std::set<std::string> leftOut;
        const char* material;
    };
    const Case cases[] = {{{"models/scene_7_padroes.nc"}, "BlueFloor"},
                          {{"models/scene_4_stage.nc"}, "R2"},
                          {{"models/scene_8_placar.nc", "textures/tex2dnpt_greetings.png"}, "Bolas"}};
    for (const Case& c : cases) {
        TempDir dir;
        WriteTestDataSet(dir, 2.0, c.leftOut);
        EXPECT_EXIT(
            {
                WorkingDirectory in(dir.path());
                DemoPlayer(640, 480, 4.0f / 3.0f).resources->Load();
            },
            ::testing::ExitedWithCode(0),
            std::string("Compound file not found!\n\xC3\x9C" "ber Error !: Datablock \"") + c.material +
                "\" not found!\n$")
            << c.material;
    }
}
