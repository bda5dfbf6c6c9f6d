// The generated data set in the build directory: it loads with the engine's
// own loaders without a message, and the generators repeat themselves byte for byte.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "child_process.h"
#include "recording_fixture.h"
#include "runtime/demo_player.h"
#include "runtime/demo_resources.h"
#include "shader/shader.h"
#include "temp_dir.h"

namespace {

namespace fs = std::filesystem;

class GeneratedDataSet : public RecordingShell {
protected:
    void SetUp() override {
        RecordingShell::SetUp();
        clock.stepPerRead = FakeClock::kFrequency / 60;
        inData = std::make_unique<WorkingDirectory>(DEMO_DATA_DIR);
        player = std::make_unique<DemoPlayer>(640, 480, 4.0f / 3.0f);
        player->resources->Load();
    }
    void TearDown() override {
        player.reset();
        inData.reset();
        RecordingShell::TearDown();
    }
    DemoResources& resources() { return *player->resources; }

    MessageBoxCapture boxes;
    std::unique_ptr<WorkingDirectory> inData;
    std::unique_ptr<DemoPlayer> player;
};

}  // namespace

TEST_F(GeneratedDataSet, LoadsWithoutAMessageAndEveryShaderCompiles) {
    for (const auto& box : boxes.boxes) ADD_FAILURE() << box.caption << ": " << box.text;
    DemoResources& r = resources();
    for (Shader* shader : {r.nlShader.shader, r.lfShader.shader, r.lsShader.shader, r.blurShader.shader,
                           r.floorShader.shader, r.displayShader.shader, r.cubeMapShader.shader})
        EXPECT_NE(shader, nullptr);
    for (Compound* c : {&r.galo, &r.bar, &r.stage2, &r.celos, &r.stage4, &r.stage5, &r.scene6, &r.patterns,
                        &r.scoreboard, &r.stage9, &r.cubeMapScene, &r.credits, &r.auxLights}) {
        ASSERT_NE(c->datablocks, nullptr);
        EXPECT_FALSE(c->datablocks->nodes.empty());
    }
    for (NamedTexture* t : {&r.fontTexture, &r.logo, &r.haloTexture, &r.lineTexture, &r.backQuad, &r.greetings,
                            &r.pimp})
        EXPECT_NE(t->texture, nullptr);
}

// Names, animation spans and scene parameters are the data check's to find
// (DataCheck.PassesTheGeneratedDataSet); it does not look at lights.
TEST_F(GeneratedDataSet, LitCompoundsHoldLightsAndLitShadersTakeThem) {
    DemoResources& r = resources();
    for (Compound* c : {&r.bar, &r.stage2, &r.celos, &r.stage4, &r.cubeMapScene, &r.auxLights})
        EXPECT_FALSE(c->lightInstances.empty());
    auto uses = [](Shader* shader, const char* name) {
        if (!shader) return false;
        for (ID3DXConstantTable* table : {shader->vertexConstants, shader->pixelConstants})
            if (table && table->GetConstantByName(nullptr, name)) return true;
        return false;
    };
    for (Shader* lit : {r.lfShader.shader, r.lsShader.shader, r.floorShader.shader, r.cubeMapShader.shader})
        EXPECT_TRUE(uses(lit, "zk_LightColor") && uses(lit, "zk_LightCount"));
}

TEST(DataGenerators, WriteTheSameBytesOnEveryRun) {
    TempDir first, second;
    for (const TempDir* dir : {&first, &second}) {
        const std::string at = "'" + dir->path().string() + "'";
        ASSERT_EQ(std::system(("'" MAKE_MODELS "' " + at + "/models").c_str()), 0);
        ASSERT_EQ(std::system(("'" MAKE_TEXTURES "' " + at + "/textures").c_str()), 0);
        ASSERT_EQ(std::system(("'" MAKE_TUNE "' " + at + "/tune.ogg 3").c_str()), 0);
    }
    size_t files = 0;
    for (const auto& entry : fs::recursive_directory_iterator(first.path())) {
        if (!entry.is_regular_file()) continue;
        ++files;
        const fs::path twin = second.path() / fs::relative(entry.path(), first.path());
        EXPECT_EQ(FileText(entry.path().string()), FileText(twin.string())) << entry.path();
    }
    EXPECT_GE(files, 13u + 10u + 1u);
}
