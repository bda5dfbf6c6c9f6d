// The generated data set in the build directory: it loads with the engine's
// own loaders without a message, holds every name the scenes look up, its
// shaders take the parameters the scenes set, and the generators repeat
// themselves byte for byte.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

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

// Searches without the lookups' fatal exit, so a miss fails the test.
bool HasCamera(const Compound& c, const std::string& name) {
    return std::any_of(c.cameraInstances.begin(), c.cameraInstances.end(),
                       [&](const CameraInstance& i) { return i.node->name == name; });
}
template <typename List>
bool HasNamed(const List& list, const std::string& name) {
    return std::any_of(list.begin(), list.end(), [&](const auto& item) { return item->name == name; });
}
const Node* FindNode(const Compound& c, const std::string& name) {
    for (const auto& node : c.datablocks->nodes)
        if (node->name == name) return node.get();
    return nullptr;
}

std::string Bytes(const fs::path& path) {
    std::stringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

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

TEST_F(GeneratedDataSet, HoldsEveryNameTheScenesLookUp) {
    DemoResources& r = resources();
    const std::vector<std::pair<Compound*, std::vector<std::string>>> cameras = {
        {&r.bar, {"Bar"}},       {&r.stage2, {"Rim"}},       {&r.celos, {"Celos"}},
        {&r.stage4, {"ID4"}},    {&r.stage5, {"ID5"}},       {&r.scene6, {"ID6"}},
        {&r.patterns, {"ID7"}},  {&r.scoreboard, {"ID8"}},   {&r.stage9, {"ID9"}}};
    for (const auto& [compound, names] : cameras)
        for (const std::string& name : names) EXPECT_TRUE(HasCamera(*compound, name)) << name;
    auto expectModels = [](Compound& c, const char* format, int count) {
        for (int i = 0; i < count; ++i) {
            char name[16];
            std::snprintf(name, sizeof name, format, i);
            EXPECT_TRUE(HasNamed(c.datablocks->models, name)) << name;
        }
    };
    expectModels(r.stage4, "x%d", 12);
    expectModels(r.patterns, "p%d", 22);
    expectModels(r.stage9, "c%d", 6);
    EXPECT_TRUE(HasNamed(r.galo.datablocks->armatures, "Arm.Galo"));
    EXPECT_NE(FindNode(r.galo, "galo002"), nullptr);
    EXPECT_NE(FindNode(r.scene6, "Sphere"), nullptr);
    for (Compound* c : {&r.bar, &r.stage2, &r.celos, &r.stage4, &r.cubeMapScene, &r.auxLights})
        EXPECT_FALSE(c->lightInstances.empty());
}

TEST_F(GeneratedDataSet, AnimationsCoverTheTimesTheScenesPlay) {
    DemoResources& r = resources();
    const Armature* rooster = r.galo.datablocks->armatures.front().get();
    ASSERT_GE(rooster->keys.size(), 3u);
    EXPECT_LE(rooster->keys.front().time, 1.0f);
    EXPECT_GE(rooster->keys.back().time, 350.0f);
    auto pathSpan = [](const Compound& c, const std::string& camera) {
        const Node* node = FindNode(c, camera);
        EXPECT_NE(node, nullptr);
        EXPECT_TRUE(node && node->track);
        if (!node || !node->track) return std::pair<float, float>(0, 0);
        return std::pair<float, float>(node->track->keys.front().time, node->track->keys.back().time);
    };
    EXPECT_EQ(pathSpan(r.scoreboard, "ID8"), std::make_pair(0.0f, 500.0f));
    EXPECT_EQ(pathSpan(r.stage9, "ID9"), std::make_pair(0.0f, 630.0f));
}

TEST_F(GeneratedDataSet, ShadersTakeTheParametersTheScenesSet) {
    DemoResources& r = resources();
    auto uses = [](Shader* shader, const char* name) {
        if (!shader) return false;
        for (ID3DXConstantTable* table : {shader->vertexConstants, shader->pixelConstants})
            if (table && table->GetConstantByName(nullptr, name)) return true;
        return false;
    };
    EXPECT_TRUE(uses(r.lfShader.shader, "zk_ZFogValue"));
    EXPECT_TRUE(uses(r.lfShader.shader, "u_val"));
    EXPECT_TRUE(uses(r.lsShader.shader, "zk_BoneMatrix"));
    EXPECT_TRUE(uses(r.blurShader.shader, "settings"));
    EXPECT_TRUE(uses(r.floorShader.shader, "alpha"));
    for (const char* name : {"zk_ZFogValue", "zk_ZFogDist", "greetings_x"})
        EXPECT_TRUE(uses(r.displayShader.shader, name)) << name;
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
        EXPECT_EQ(Bytes(entry.path()), Bytes(twin)) << entry.path();
    }
    EXPECT_GE(files, 13u + 10u + 1u);
}
