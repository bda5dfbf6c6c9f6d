// What real exporters write imports as it looks in them: normals made where
// they are missing, weights summing to one, Blender's light units, base
// colours with and without a picture, every animation, quantized and sparse
// attributes and moved texture coordinates.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>

#include "gltf_accessors.h"
#include "gltf_extras.h"
#include "gltf_import.h"
#include "gltf_sample_files.h"
#include "gltf_tool_runs.h"
#include "temp_dir.h"
#include "test_png.h"

namespace {

namespace cf = compound_file;
namespace fs = std::filesystem;

constexpr float kPi = 3.14159265f;

class GltfFidelity : public ::testing::Test {
protected:
    cf::File Import(const tinygltf::Model& model) {
        WriteGltf(model, (dir.path() / "in.gltf").string());
        warnings.clear();
        ImportOptions options;
        options.textureDirectory = (dir.path() / "textures").string();
        return ImportGltf(LoadGltf((dir.path() / "in.gltf").string(), &warnings), options, &warnings);
    }
    bool Warned(const std::string& text) const {
        for (const std::string& w : warnings)
            if (w.find(text) != std::string::npos) return true;
        return false;
    }

    TempDir dir;
    std::vector<std::string> warnings;
};

// Element kind and set's floats of vertex v.
std::vector<float> Floats(const cf::Model& model, uint32_t kind, uint32_t set, size_t v, size_t count) {
    const size_t stride = model.vertices.size() / model.vertexCount;
    for (const cf::VertexElement& e : model.elements)
        if (e.kind == kind && e.usageIndex == set) {
            std::vector<float> out(count);
            std::memcpy(out.data(), model.vertices.data() + v * stride + e.offset, count * sizeof(float));
            return out;
        }
    ADD_FAILURE() << "no element of kind " << kind << " set " << set;
    return std::vector<float>(count);
}

}  // namespace

TEST_F(GltfFidelity, MissingNormalsAreMadeSmoothOrFlat) {
    // Indexed: the quad's shared corners face +z.
    cf::File file = Import(samples::CameraAndLight());
    for (size_t v = 0; v < 4; ++v) EXPECT_EQ(Floats(file.models[0], cf::kNormal, 0, v, 3), (std::vector<float>{0, 0, 1}));
    // Unindexed: a roof of two faces keeps each face's own normal.
    tinygltf::Model roof = samples::CameraAndLight();
    tinygltf::Primitive& p = roof.meshes[0].primitives[0];
    p.indices = -1;
    p.attributes["POSITION"] =
        AddFloatAccessor(roof, {0, 0, 0, 1, 0, 0, 0, 1, 1, 1, 0, 0, 1, 1, 0, 0, 1, 1}, TINYGLTF_TYPE_VEC3, true);
    file = Import(roof);
    const float r = 1 / std::sqrt(2.0f);
    const std::vector<float> first = Floats(file.models[0], cf::kNormal, 0, 0, 3);
    const std::vector<float> second = Floats(file.models[0], cf::kNormal, 0, 3, 3);
    EXPECT_NEAR(first[1], -r, 1e-5f);
    EXPECT_NEAR(first[2], r, 1e-5f);
    EXPECT_NEAR(second[0], r, 1e-5f);
    EXPECT_NEAR(second[2], r, 1e-5f);
}

TEST_F(GltfFidelity, WeightsSumToOneAndAFarSumIsReported) {
    tinygltf::Model model = samples::WithSkin(2, false, false, false);
    model.meshes[0].primitives[0].attributes["WEIGHTS_0"] =
        AddFloatAccessor(model, {0.5f, 0, 0, 0, 0.25f, 0.25f, 0, 0, 0.6f, 0.6f, 0, 0, 1, 0, 0, 0}, TINYGLTF_TYPE_VEC4);
    const cf::File file = Import(model);
    EXPECT_TRUE(Warned("mesh \"Blob\" has 3 vertices whose weights do not sum to 1")) << ::testing::PrintToString(warnings);
    for (size_t v = 0; v < 4; ++v) {
        const std::vector<float> w = Floats(file.models[0], cf::kTexcoord, 2, v, 4);
        EXPECT_NEAR(w[0] + w[1] + w[2] + w[3], 1, 1e-6f) << v;
    }
    EXPECT_EQ(Floats(file.models[0], cf::kTexcoord, 2, 2, 4), (std::vector<float>{0.5f, 0.5f, 0, 0}));
}

TEST_F(GltfFidelity, BlenderLightUnitsBecomeTheEnginesColours) {
    tinygltf::Model model = samples::CameraAndLight();
    // As Blender 3.4 writes a point of 10 W, a spot of 1000 W and a sun of strength 3.
    const std::pair<std::string, double> lights[] = {
        {"point", 10 * 683 / (4 * kPi)}, {"spot", 1000 * 683 / (4 * kPi)}, {"directional", 3 * 683}};
    model.lights.clear();
    for (const auto& [type, intensity] : lights) {
        tinygltf::Light light;
        light.name = type;
        light.type = type;
        light.color = {1, 1, 0.5};
        light.intensity = intensity;
        model.lights.push_back(light);
    }
    const cf::File file = Import(model);
    const float want[] = {0.01f, 1, 3};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_NEAR(file.lights[i].colour[0], want[i], want[i] * 1e-5f) << file.lights[i].name;
        EXPECT_NEAR(file.lights[i].colour[2], want[i] / 2, want[i] * 1e-5f) << file.lights[i].name;
    }
}

TEST_F(GltfFidelity, BaseColourShowsWithAndWithoutAPicture) {
    ASSERT_TRUE(WriteTestPng((dir.path() / "wood.png").string(), 2, 2, std::vector<uint32_t>(4, 0xFF804020u)));
    tinygltf::Model model = samples::TexturedQuad("wood.png", "OPAQUE", false);
    model.materials[0].pbrMetallicRoughness.baseColorFactor = {1, 0.5, 0.5, 1};
    tinygltf::Material plain;
    plain.name = "Red";
    plain.pbrMetallicRoughness.baseColorFactor = {1, 0, 0, 1};
    model.materials.push_back(plain);
    tinygltf::Primitive untextured = model.meshes[0].primitives[0];
    untextured.material = 1;
    model.meshes[0].primitives.push_back(untextured);
    untextured.material = -1;
    model.meshes[0].primitives.push_back(untextured);
    const cf::File file = Import(model);
    ASSERT_EQ(file.textures, (std::vector<std::string>{"tex2d_wood.png", "tex2d_white.png"}));
    ASSERT_EQ(file.materials.size(), 3u);
    EXPECT_EQ(file.materials[0].textures, (std::vector<uint32_t>{0}));
    EXPECT_EQ(file.materials[0].diffuse, (std::array<float, 4>{1, 0.5f, 0.5f, 1}));
    EXPECT_EQ(file.materials[1].textures, (std::vector<uint32_t>{1}));
    EXPECT_EQ(file.materials[1].diffuse, (std::array<float, 4>{1, 0, 0, 1}));
    EXPECT_EQ(file.materials[2].name, "Default");
    EXPECT_EQ(file.materials[2].textures, (std::vector<uint32_t>{1}));
    EXPECT_TRUE(fs::is_regular_file(dir.path() / "textures/tex2d_white.png"));
    // The demo fills slot 0 of its floors itself, only when it is empty.
    model.materials[1].name = "BlueFloor";
    EXPECT_TRUE(Import(model).materials[1].textures.empty());
}

TEST_F(GltfFidelity, WrapAndFilterModesTheEngineCannotDrawAreReported) {
    const std::pair<int, std::string> modes[] = {{TINYGLTF_TEXTURE_WRAP_CLAMP_TO_EDGE, "clamps at its edges"},
                                                 {TINYGLTF_TEXTURE_WRAP_MIRRORED_REPEAT, "mirrors at its edges"},
                                                 {TINYGLTF_TEXTURE_WRAP_REPEAT, ""}};
    ASSERT_TRUE(WriteTestPng((dir.path() / "wood.png").string(), 2, 2, std::vector<uint32_t>(4, 0xFF804020u)));
    for (const auto& [mode, warning] : modes) {
        tinygltf::Model model = samples::TexturedQuad("wood.png", "OPAQUE", false);
        tinygltf::Sampler sampler;
        sampler.wrapT = mode;
        model.samplers.push_back(sampler);
        model.textures[0].sampler = 0;
        Import(model);
        if (warning.empty())
            EXPECT_TRUE(warnings.empty()) << warnings.front();
        else
            EXPECT_TRUE(Warned("material \"Glass\"'s base colour texture " + warning)) << ::testing::PrintToString(warnings);
    }
}

TEST_F(GltfFidelity, EveryAnimationIsAnActionOfItsOwnOnTheTimeline) {
    tinygltf::Model model = samples::CameraAndLight();
    const std::pair<std::string, float> actions[] = {{"Walk", 1}, {"Run", 2}};
    for (const auto& [name, seconds] : actions) {
        tinygltf::Animation animation;
        animation.name = name;
        samples::AddChannel(model, animation, 0, "translation", {0, seconds}, {0, 0, 0, seconds, 0, 0});
        model.animations.push_back(animation);
    }
    WriteGltf(model, (dir.path() / "in.gltf").string());
    const ToolRun run = RunTool("import", {(dir.path() / "in.gltf").string(), (dir.path() / "out.nc").string()});
    ASSERT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find("action \"Walk\": key units 0 to 25\naction \"Run\": key units 50 to 100\n"),
              std::string::npos)
        << run.output;
    const cf::File file = ReadBack((dir.path() / "out.nc").string());
    ASSERT_TRUE(file.nodes[0].track.has_value());
    std::vector<float> times;
    for (const NodeKey& key : *file.nodes[0].track) times.push_back(key.time);
    EXPECT_EQ(times, (std::vector<float>{0, 25, 50, 100}));
    EXPECT_FLOAT_EQ(file.nodes[0].track->back().position.x, 2);
}

TEST_F(GltfFidelity, QuantizedSparseAndMovedCoordinatesAreRead) {
    tinygltf::Model model = samples::TexturedQuad("wood.png", "OPAQUE", false);
    ASSERT_TRUE(WriteTestPng((dir.path() / "wood.png").string(), 2, 2, std::vector<uint32_t>(4, 0xFF804020u)));
    model.extensionsUsed = model.extensionsRequired = {"KHR_mesh_quantization", "KHR_texture_transform"};
    tinygltf::Primitive& p = model.meshes[0].primitives[0];
    // Positions as shorts, texture coordinates as normalised unsigned shorts.
    const int16_t positions[12] = {-1, -1, 0, 1, -1, 0, 1, 1, 0, -1, 1, 0};
    p.attributes["POSITION"] = AddAccessor(model, positions, 4, TINYGLTF_COMPONENT_TYPE_SHORT, TINYGLTF_TYPE_VEC3);
    const uint16_t uv[8] = {0, 65535, 65535, 65535, 65535, 0, 0, 0};
    p.attributes["TEXCOORD_0"] = AddAccessor(model, uv, 4, TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT, TINYGLTF_TYPE_VEC2);
    model.accessors[p.attributes["TEXCOORD_0"]].normalized = true;
    // Vertex 2 moved up by a sparse value.
    const uint8_t index = 2;
    const int16_t moved[3] = {1, 1, 5};
    const int indexView = AddBufferView(model, &index, 1), valueView = AddBufferView(model, moved, sizeof moved);
    tinygltf::Accessor& sparse = model.accessors[p.attributes["POSITION"]];
    sparse.sparse.isSparse = true;
    sparse.sparse.count = 1;
    sparse.sparse.indices = {0, indexView, TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE};
    sparse.sparse.values = {valueView, 0};
    model.materials[0].pbrMetallicRoughness.baseColorTexture.extensions["KHR_texture_transform"] =
        tinygltf::Value(Extras{{"offset", Numbers({0.25, 0})}, {"scale", Numbers({0.5, 2})}});
    const cf::File file = Import(model);
    EXPECT_EQ(Floats(file.models[0], cf::kPosition, 0, 0, 3), (std::vector<float>{-1, -1, 0}));
    EXPECT_EQ(Floats(file.models[0], cf::kPosition, 0, 2, 3), (std::vector<float>{1, 1, 5}));
    EXPECT_EQ(Floats(file.models[0], cf::kTexcoord, 0, 0, 2), (std::vector<float>{0.25f, 2}));
    EXPECT_EQ(Floats(file.models[0], cf::kTexcoord, 0, 2, 2), (std::vector<float>{0.75f, 0}));
}

TEST_F(GltfFidelity, JointKeysThatNeverMoveAreNotReported) {
    tinygltf::Model model = samples::WithSkin(2, true, false, false);
    // The first joint rests at (0, 0.1, 0): keys that hold it there say nothing.
    model.animations[0].samplers[0].output = AddFloatAccessor(model, {0, 0.1f, 0, 0, 0.1f, 0}, TINYGLTF_TYPE_VEC3);
    Import(model);
    EXPECT_TRUE(warnings.empty()) << warnings.front();
}

TEST_F(GltfFidelity, ASkinWhoseBindMatricesScaleItsPositionsIsImportedUnscaled) {
    // As gltfpack quantizes a skinned mesh: positions as integers, their scale folded into every inverse bind matrix.
    samples::Figure figure = samples::SkinnedFigure();
    const cf::File plain = Import(figure.model);
    tinygltf::Model& m = figure.model;
    constexpr float kSteps = 1000;
    std::vector<int16_t> steps;
    for (const Vec3& p : figure.positions)
        for (float f : {p.x, p.y, p.z}) steps.push_back(static_cast<int16_t>(std::lround(f * kSteps)));
    m.meshes[0].primitives[0].attributes["POSITION"] =
        AddAccessor(m, steps.data(), figure.positions.size(), TINYGLTF_COMPONENT_TYPE_SHORT, TINYGLTF_TYPE_VEC3);
    const std::vector<float> binds = ReadFloats(m, m.skins[0].inverseBindMatrices, 16, "binds");
    Matrix dequantize;
    dequantize.Scaling(1 / kSteps, 1 / kSteps, 1 / kSteps);
    std::vector<float> folded;
    for (size_t j = 0; j < binds.size() / 16; ++j) {
        Matrix bind;
        for (int i = 0; i < 16; ++i) bind.m[i / 4][i % 4] = binds[j * 16 + i];
        const Matrix both = dequantize * bind;
        for (int i = 0; i < 16; ++i) folded.push_back(both.m[i / 4][i % 4]);
    }
    m.skins[0].inverseBindMatrices = AddFloatAccessor(m, folded, TINYGLTF_TYPE_MAT4);
    m.extensionsUsed = m.extensionsRequired = {"KHR_mesh_quantization"};
    const cf::File quantized = Import(m);
    EXPECT_TRUE(warnings.empty()) << warnings.front();
    ASSERT_EQ(quantized.armatures.size(), 1u);
    for (size_t b = 0; b < 2; ++b) {
        ExpectNear(quantized.armatures[0].bones[b].restHead, plain.armatures[0].bones[b].restHead, "rest head", 1e-4f);
        ExpectNear(quantized.armatures[0].bones[b].offset, plain.armatures[0].bones[b].offset, "offset", 1e-4f);
    }
    for (size_t v = 0; v < figure.positions.size(); ++v) {
        const std::vector<float> a = Floats(quantized.models[0], cf::kPosition, 0, v, 3);
        const std::vector<float> b = Floats(plain.models[0], cf::kPosition, 0, v, 3);
        ExpectNear(Vec3{a[0], a[1], a[2]}, Vec3{b[0], b[1], b[2]}, "vertex " + std::to_string(v), 1e-3f);
    }
}

TEST_F(GltfFidelity, AMeshNodeThatIsAlsoAJointStillPlacesItsModel) {
    tinygltf::Model model = samples::WithSkin(2, false, false, false);
    model.skins[0].joints.push_back(0);  // the node that draws the skinned mesh
    const cf::File file = Import(model);
    EXPECT_TRUE(Warned("node \"Body\" is a joint and draws mesh \"Blob\"")) << ::testing::PrintToString(warnings);
    ASSERT_FALSE(file.nodes.empty());
    EXPECT_EQ(file.nodes[0].name, "Body");
    EXPECT_EQ(file.nodes[0].flags & NODE_MODEL, NODE_MODEL);
}
