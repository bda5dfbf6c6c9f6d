// Every compound of the generated data set through halcyon export and back
// through halcyon import: the same geometry, materials, cameras, lights, node
// placement and tracks, and the same armature poses.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "gltf_tool_runs.h"
#include "model/armature.h"
#include "temp_dir.h"

namespace {

namespace cf = compound_file;
namespace fs = std::filesystem;

constexpr float kClose = 1e-4f;

// Elements are matched by kind and set, wherever they sit in the vertex.
void ExpectSameModel(const cf::Model& a, const cf::Model& b, const std::string& what) {
    EXPECT_EQ(a.name, b.name) << what;
    ASSERT_EQ(a.vertexCount, b.vertexCount) << what;
    ExpectNear(a.firstExtent, b.firstExtent, what + " first extent", 1e-6f);
    ExpectNear(a.secondExtent, b.secondExtent, what + " second extent", 1e-6f);
    ASSERT_EQ(a.elements.size(), b.elements.size()) << what;
    const size_t strideA = a.vertexCount ? a.vertices.size() / a.vertexCount : 0;
    const size_t strideB = b.vertexCount ? b.vertices.size() / b.vertexCount : 0;
    for (const cf::VertexElement& e : a.elements) {
        const cf::VertexElement* match = nullptr;
        for (const cf::VertexElement& f : b.elements)
            if (f.kind == e.kind && f.usageIndex == e.usageIndex) match = &f;
        ASSERT_NE(match, nullptr) << what << " lost element kind " << e.kind << " set " << e.usageIndex;
        EXPECT_EQ(match->components, e.components) << what;
        const size_t bytes = e.kind == cf::kColour ? 4 : e.kind == cf::kTexcoord ? 4 * e.components : 12;
        for (size_t v = 0; v < a.vertexCount; ++v)
            ASSERT_EQ(std::memcmp(a.vertices.data() + v * strideA + e.offset, b.vertices.data() + v * strideB + match->offset,
                                  bytes),
                      0)
                << what << " vertex " << v << " element kind " << e.kind << " set " << e.usageIndex;
    }
    ASSERT_EQ(a.subsets.size(), b.subsets.size()) << what;
    for (size_t s = 0; s < a.subsets.size(); ++s) {
        EXPECT_EQ(a.subsets[s].material, b.subsets[s].material) << what << " subset " << s;
        EXPECT_EQ(a.subsets[s].indices, b.subsets[s].indices) << what << " subset " << s;
    }
}

void ExpectSameMaterials(const cf::File& a, const cf::File& b) {
    ASSERT_EQ(a.textures, b.textures);
    ASSERT_EQ(a.materials.size(), b.materials.size());
    for (size_t i = 0; i < a.materials.size(); ++i) {
        const cf::Material &m = a.materials[i], &n = b.materials[i];
        EXPECT_EQ(m.name, n.name);
        EXPECT_EQ(m.diffuse, n.diffuse) << m.name;
        EXPECT_EQ(m.flags, n.flags) << m.name;
        EXPECT_EQ(m.blendMode, n.blendMode) << m.name;
        EXPECT_EQ(m.cullMode, n.cullMode) << m.name;
        EXPECT_EQ(m.textures, n.textures) << m.name;
    }
}

void ExpectSameCamerasAndLights(const cf::File& a, const cf::File& b) {
    ASSERT_EQ(a.cameras.size(), b.cameras.size());
    for (size_t i = 0; i < a.cameras.size(); ++i) {
        EXPECT_EQ(a.cameras[i].name, b.cameras[i].name);
        EXPECT_EQ(a.cameras[i].value, b.cameras[i].value);
    }
    ASSERT_EQ(a.lights.size(), b.lights.size());
    for (size_t i = 0; i < a.lights.size(); ++i) {
        const cf::Light &l = a.lights[i], &m = b.lights[i];
        EXPECT_EQ(l.name, m.name);
        EXPECT_EQ(l.kind, m.kind) << l.name;
        EXPECT_EQ(l.colourW, m.colourW) << l.name;
        EXPECT_EQ(l.positionW, m.positionW) << l.name;
        for (int c = 0; c < 4; ++c) EXPECT_NEAR(l.colour[c], m.colour[c], 1e-6f) << l.name;
    }
}

void ExpectSameTrack(const std::vector<NodeKey>& a, const std::vector<NodeKey>& b, const std::string& what) {
    ASSERT_EQ(a.size(), b.size()) << what;
    for (size_t k = 0; k < a.size(); ++k) {
        const std::string key = what + " key " + std::to_string(k);
        EXPECT_NEAR(a[k].time, b[k].time, kClose) << key;
        ExpectNear(a[k].positionIn, b[k].positionIn, key + " position in");
        ExpectNear(a[k].position, b[k].position, key + " position");
        ExpectNear(a[k].positionOut, b[k].positionOut, key + " position out");
        ExpectNear(a[k].rotationIn, b[k].rotationIn, key + " rotation in");
        ExpectNear(a[k].rotation, b[k].rotation, key + " rotation");
        ExpectNear(a[k].rotationOut, b[k].rotationOut, key + " rotation out");
    }
    // And the values the engine takes from them between keys.
    NodeTrack first, second;
    first.keys = a;
    second.keys = b;
    for (float t = a.front().time; t <= a.back().time; t += (a.back().time - a.front().time) / 37 + 0.01f) {
        first.Evaluate(t);
        second.Evaluate(t);
        ExpectNear(first.position, second.position, what + " at " + std::to_string(t));
        ExpectNear(first.rotation, second.rotation, what + " at " + std::to_string(t));
    }
}

void ExpectSameNodes(const cf::File& a, const cf::File& b) {
    ASSERT_EQ(a.nodes.size(), b.nodes.size());
    for (size_t i = 0; i < a.nodes.size(); ++i) {
        const cf::Node &n = a.nodes[i], &m = b.nodes[i];
        EXPECT_EQ(n.name, m.name);
        EXPECT_EQ(n.flags & ~(NODE_HAS_PARENT | NODE_ANIMATED), m.flags & ~(NODE_HAS_PARENT | NODE_ANIMATED)) << n.name;
        if (n.flags & (NODE_MODEL | NODE_CAMERA | NODE_LIGHT | NODE_ARMATURE)) {
            EXPECT_EQ(n.datablock, m.datablock) << n.name;
        }
        EXPECT_EQ(n.parent, m.parent) << n.name;
        ExpectNear(n.position, m.position, n.name + " position");
        ExpectNear(n.rotation, m.rotation, n.name + " rotation");
        ExpectNear(n.scale, m.scale, n.name + " scale");
        ASSERT_EQ(n.track.has_value(), m.track.has_value()) << n.name;
        if (n.track) ExpectSameTrack(*n.track, *m.track, n.name);
    }
}

// The engine's own armature, posed from the file's records.
Armature Posable(const cf::Armature& a) {
    Armature armature;
    armature.name = a.name;
    armature.bones.resize(a.bones.size());
    armature.skinMatrices.assign(a.bones.size(), Matrix());
    for (size_t b = 0; b < a.bones.size(); ++b) {
        Bone& bone = armature.bones[b];
        bone.name = a.bones[b].name;
        bone.offset = a.bones[b].offset;
        bone.tail = a.bones[b].tail;
        bone.restHead = a.bones[b].restHead;
        if (a.bones[b].parent >= 0) bone.parent = &armature.bones[a.bones[b].parent];
    }
    for (const cf::ArmatureKey& key : a.keys) armature.keys.push_back({key.time, key.rotations});
    return armature;
}

void ExpectSamePoses(const cf::File& a, const cf::File& b) {
    ASSERT_EQ(a.armatures.size(), b.armatures.size());
    for (size_t i = 0; i < a.armatures.size(); ++i) {
        Armature first = Posable(a.armatures[i]), second = Posable(b.armatures[i]);
        ASSERT_EQ(first.bones.size(), second.bones.size());
        for (size_t k = 0; k < first.bones.size(); ++k) EXPECT_EQ(first.bones[k].name, second.bones[k].name);
        for (float time : {0.0f, 0.5f, 1.0f, 13.3f, 59.9f, 60.0f, 61.7f, 100.25f, 229.0f, 231.5f, 349.0f, 350.0f}) {
            first.SetTime(time);
            second.SetTime(time);
            for (size_t k = 0; k < first.bones.size(); ++k)
                for (int r = 0; r < 4; ++r)
                    for (int c = 0; c < 4; ++c)
                        ASSERT_NEAR(first.skinMatrices[k].m[r][c], second.skinMatrices[k].m[r][c], kClose)
                            << a.armatures[i].name << " bone " << first.bones[k].name << " at " << time;
        }
    }
}

}  // namespace

TEST(GltfRoundTrip, EveryCompoundOfTheDataSetComesBackAsItWas) {
    const fs::path models = fs::path(DEMO_DATA_DIR) / "models";
    TempDir dir;
    size_t compounds = 0;
    for (const auto& entry : fs::directory_iterator(models)) {
        if (entry.path().extension() != ".nc") continue;
        ++compounds;
        const std::string name = entry.path().stem().string();
        SCOPED_TRACE(name);
        const fs::path gltf = dir.path() / (name + ".gltf"), back = dir.path() / "models" / (name + ".nc");
        fs::create_directories(back.parent_path());
        const ToolRun exported = RunTool("export", {entry.path().string(), gltf.string()});
        ASSERT_EQ(exported.exitCode, 0) << exported.output;
        const ToolRun imported = RunTool("import", {gltf.string(), back.string()});
        ASSERT_EQ(imported.exitCode, 0) << imported.output;
        EXPECT_EQ(imported.output.find("warning"), std::string::npos) << imported.output;
        const cf::File original = ReadBack(entry.path().string()), returned = ReadBack(back.string());
        ExpectSameMaterials(original, returned);
        ASSERT_EQ(original.models.size(), returned.models.size());
        for (size_t m = 0; m < original.models.size(); ++m)
            ExpectSameModel(original.models[m], returned.models[m], "model " + original.models[m].name);
        ExpectSameCamerasAndLights(original, returned);
        ExpectSameNodes(original, returned);
        ExpectSamePoses(original, returned);
    }
    EXPECT_GE(compounds, 13u);
}

TEST(GltfRoundTrip, ABinaryFileCarriesItsPictures) {
    TempDir dir;
    const fs::path glb = dir.path() / "galo.glb", back = dir.path() / "models" / "galo.nc";
    fs::create_directories(back.parent_path());
    ASSERT_EQ(RunTool("export", {std::string(DEMO_DATA_DIR) + "/models/galo.nc", glb.string()}).exitCode, 0);
    EXPECT_FALSE(fs::exists(dir.path() / "tex2d_galo_palette.png"));
    const ToolRun imported = RunTool("import", {glb.string(), back.string()});
    ASSERT_EQ(imported.exitCode, 0) << imported.output;
    // The default texture folder is the one beside the models folder.
    EXPECT_TRUE(fs::exists(dir.path() / "textures" / "tex2d_galo_palette.png"));
    const cf::File returned = ReadBack(back.string());
    ASSERT_EQ(returned.models.size(), 1u);
    EXPECT_EQ(returned.textures, std::vector<std::string>{"tex2d_galo_palette.png"});
}
