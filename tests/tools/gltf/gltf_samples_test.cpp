// glTF scenes made by the tests, imported and used by the engine: a skinned
// figure posed at three times as glTF poses it, a textured, blended,
// two-sided pane, and a camera and a light where glTF puts them.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "backend/recording_resources.h"
#include "compound/compound.h"
#include "gltf_import.h"
#include "gltf_sample_files.h"
#include "gltf_space.h"
#include "gltf_tool_runs.h"
#include "mesh_builder.h"
#include "model/material.h"
#include "platform/graphics_context.h"
#include "recording_fixture.h"
#include "temp_dir.h"
#include "test_png.h"

namespace {

namespace cf = compound_file;
namespace fs = std::filesystem;

class GltfSamples : public RecordingShell {
protected:
    void TearDown() override {
        compound = Compound();  // its resources go before the device
        RecordingShell::TearDown();
    }

    // Imported in process, written as models/<name>.nc and loaded by the engine.
    cf::File Import(const tinygltf::Model& model, const std::string& name) {
        WriteGltf(model, (dir.path() / (name + ".gltf")).string());
        std::vector<std::string> warnings;
        ImportOptions options;
        options.textureDirectory = (dir.path() / "textures").string();
        const cf::File file =
            ImportGltf(LoadGltf((dir.path() / (name + ".gltf")).string(), &warnings), options, &warnings);
        EXPECT_TRUE(warnings.empty()) << warnings.front();
        dir.Write("models/" + name + ".nc", cf::Write(file));
        EXPECT_TRUE(compound.Load(name + ".nc"));
        for (const auto& box : boxes.boxes) ADD_FAILURE() << box.caption << ": " << box.text;
        return file;
    }

    TempDir dir;
    WorkingDirectory cwd{dir.path()};
    MessageBoxCapture boxes;
    Compound compound;
};

// A value of a vertex in the skinning layout's 64-byte stride.
template <typename T>
T Read(const cf::Model& model, size_t vertex, uint32_t offset) {
    T value;
    std::memcpy(&value, model.vertices.data() + vertex * 64 + offset, sizeof value);
    return value;
}

}  // namespace

TEST_F(GltfSamples, ASkinnedFigureIsPosedAsGltfPosesIt) {
    const samples::Figure figure = samples::SkinnedFigure();
    const cf::File file = Import(figure.model, "figure");
    ASSERT_EQ(file.models.size(), 1u);
    const cf::Model& arm = file.models[0];
    // The layout the skinning shader declares: bones in texcoord 1, weights in texcoord 2.
    ASSERT_EQ(arm.elements.size(), 5u);
    const uint32_t expected[5][4] = {{3, cf::kPosition, 0, 0}, {3, cf::kNormal, 12, 0}, {2, cf::kTexcoord, 24, 0},
                                     {4, cf::kTexcoord, 32, 1}, {4, cf::kTexcoord, 48, 2}};
    for (size_t e = 0; e < 5; ++e) {
        EXPECT_EQ(arm.elements[e].components, expected[e][0]) << e;
        EXPECT_EQ(arm.elements[e].kind, expected[e][1]) << e;
        EXPECT_EQ(arm.elements[e].offset, expected[e][2]) << e;
        EXPECT_EQ(arm.elements[e].usageIndex, expected[e][3]) << e;
    }
    Armature* armature = compound.GetArmature("Arm.Rig");
    ASSERT_EQ(armature->bones.size(), 2u);
    EXPECT_EQ(armature->bones[1].name, "Tip");
    ASSERT_EQ(compound.modelInstances.size(), 1u);
    const Node& placing = *compound.modelInstances.front().node;
    for (float seconds : {0.0f, 0.5f, 1.6f}) {
        compound.Animate(8, seconds * 25);
        for (size_t v = 0; v < arm.vertexCount; ++v) {
            // As the skinning shader does it, then placed by the model's node.
            const Vec3 p = Read<Vec3>(arm, v, 0);
            Vec3 skinned;
            for (int i = 0; i < 4; ++i) {
                const int bone = static_cast<int>(Read<float>(arm, v, 32 + 4 * i));
                const float weight = Read<float>(arm, v, 48 + 4 * i);
                skinned = skinned + mesh::TransformPoint(p, armature->skinMatrices.at(bone)) * weight;
            }
            const Vec3 drawn = mesh::TransformPoint(skinned, placing.local);
            const Vec3 want = gltf_space::ToEngine(samples::FigureVertexAt(figure, v, seconds));
            ExpectNear(drawn, want, "vertex " + std::to_string(v) + " at " + std::to_string(seconds) + " s", 2e-3f);
        }
    }
}

TEST_F(GltfSamples, ABlendedTwoSidedPaneKeepsItsPictureAndItsModes) {
    // 2 x 2, no opaque black, so the texture loads as it is.
    const std::vector<uint32_t> pixels = {0x80FF0000u, 0xFF00FF00u, 0x400000FFu, 0xFFFFFFFFu};
    ASSERT_TRUE(WriteTestPng((dir.path() / "glass.png").string(), 2, 2, pixels));
    Import(samples::TexturedQuad("glass.png", "BLEND", true), "pane");
    const Material* glass = compound.GetMaterial("Glass");
    EXPECT_EQ(glass->flags & MATERIAL_BLEND, MATERIAL_BLEND);
    EXPECT_EQ(glass->blendMode, 1u);
    EXPECT_EQ(glass->cullMode, 1u);
    EXPECT_FLOAT_EQ(glass->diffuse[3], 0.5f);
    ASSERT_NE(glass->textures[0], nullptr);
    EXPECT_EQ(glass->textures[0]->name, "tex2d_glass.png");
    ASSERT_NE(glass->textures[0]->texture, nullptr);
    const auto* loaded = static_cast<RecordingTexture*>(glass->textures[0]->texture->texture);
    EXPECT_EQ(loaded->pixels(), pixels);

    compound = Compound();
    Import(samples::TexturedQuad("glass.png", "MASK", false), "cutout");
    const Material* cutout = compound.GetMaterial("Glass");
    EXPECT_EQ(cutout->flags & MATERIAL_BLEND, MATERIAL_BLEND);
    EXPECT_EQ(cutout->blendMode, 2u);
    EXPECT_EQ(cutout->cullMode, 2u);
}

TEST_F(GltfSamples, ACameraAndALightStandWhereGltfPutsThem) {
    Import(samples::CameraAndLight(), "stage");
    // glTF's up is the engine's z: (0, 1, 5) becomes (0, -5, 1).
    const Camera* eye = compound.GetCamera("Eye");
    ExpectNear(eye->position, {0, -5, 1}, "eye", 1e-5f);
    // The view a scene gets from it: the box at the origin straight ahead, one unit below the eye.
    Matrix back, turn;
    back.Translation(-eye->position.x, -eye->position.y, -eye->position.z);
    turn.Rotation({-eye->rotation.x, -eye->rotation.y, -eye->rotation.z, eye->rotation.w});
    const Vec3 box = mesh::TransformPoint({0, 0, 0}, back * turn);
    ExpectNear(box, {0, -1, -5}, "box", 1e-5f);

    g_graphics->lightList->count = 0;
    compound.Draw(2);
    ASSERT_EQ(g_graphics->lightList->count, 1u);
    const float* at = g_graphics->lightList->positions[0];
    const float* colour = g_graphics->lightList->colours[0];
    ExpectNear(Vec3{at[0], at[1], at[2]}, Vec3{2, 0, 3}, "light", 1e-5f);
    // Colour times Blender's watts, 1000 W giving 1.
    EXPECT_NEAR(colour[0], 2.0f, 1e-5f);
    EXPECT_NEAR(colour[1], 1.0f, 1e-5f);
    EXPECT_NEAR(colour[2], 0.5f, 1e-5f);
}
