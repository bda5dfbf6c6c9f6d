// Damaged compound files: each is refused with one box naming the path and
// the fault, and leaves the compound empty with nothing left on the device.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "compound_fixture.h"

namespace {

class CompoundDamage : public CompoundFiles {
protected:
    void ExpectRefused(const std::string& bytes, const std::string& fault) {
        boxes.boxes.clear();
        EXPECT_FALSE(Load(bytes, "bad.nc"));
        EXPECT_EQ(LoadBoxes(), std::vector<std::string>{"models\\bad.nc: " + fault});
        EXPECT_EQ(boxes.boxes.size(), 1u);
        ExpectEmpty();
        EXPECT_EQ(log.resourcesAlive, resourcesBefore);
    }
};

// Where the records start, and the size of a material without name or textures.
constexpr size_t kHeaderSize = 4 + 7 * 4;
constexpr size_t kMaterialSize = 4 + 16 + 3 * 4 + 4;

struct Damage {
    const char* what;
    std::function<void(cf::File&)> change;
    std::string fault;
};

cf::Node Placing(uint32_t flags, uint32_t datablock) {
    cf::Node node;
    node.flags = flags;
    node.datablock = datablock;
    return node;
}

}  // namespace

TEST_F(CompoundDamage, BadIndicesLayoutsAndTracksAreNamed) {
    const std::vector<Damage> damages = {
        {"texture index", [](cf::File& f) { f.materials[0].textures = {0, 7}; },
         "material 0 refers to texture 7 of 3"},
        {"texture index past the slots", [](cf::File& f) { f.materials[1].textures[17] = 3; },
         "material 1 refers to texture 3 of 3"},
        {"subset material", [](cf::File& f) { f.models[0].subsets[1].material = 4; },
         "model 0 subset 1 refers to material 4 of 4"},
        {"subset vertex", [](cf::File& f) { f.models[0].subsets[1].indices[4] = 4; },
         "model 0 subset 1 refers to vertex 4 of 4"},
        {"element kind", [](cf::File& f) { f.models[0].elements[1].kind = 3; },
         "model 0 vertex element 1 has unknown type 3"},
        {"float count 0", [](cf::File& f) { f.models[0].elements[2].components = 0; },
         "model 0 vertex element 2 has unsupported component count 0"},
        {"float count 5", [](cf::File& f) { f.models[0].elements[0].components = 5; },
         "model 0 vertex element 0 has unsupported component count 5"},
        {"colour count", [](cf::File& f) { f.models[0].elements[3].components = 3; },
         "model 0 vertex element 3 is a colour of 3 components, not 4"},
        {"element past the stride", [](cf::File& f) { f.models[0].elements[3].offset = 33; },
         "model 0 vertex element 3 ends at byte 37, past the stride of 36"},
        {"huge element offset", [](cf::File& f) { f.models[0].elements[0].offset = 0xFFFFFFF0u; },
         "model 0 vertex element 0 ends at byte 4294967288, past the stride of 36"},
        {"usage index", [](cf::File& f) { f.models[0].elements[2].usageIndex = 256; },
         "model 0 vertex element 2 has usage index 256, more than 255"},
        {"too many elements",
         [](cf::File& f) { f.models[0].elements.resize(65, {1, cf::kTexcoord, 0, 0}); },
         "model 0 has 65 vertex elements, more than 64"},
        {"parent node", [](cf::File& f) { f.nodes[1].parent = 8; }, "node 1 refers to parent node 8 of 8"},
        {"model datablock", [](cf::File& f) { f.nodes[0].datablock = 2; }, "node 0 refers to model 2 of 2"},
        // The camera flag comes before the light flag, so the camera list decides.
        {"placement list", [](cf::File& f) { f.nodes.push_back(Placing(NODE_LIGHT | NODE_CAMERA, 2)); },
         "node 8 refers to camera 2 of 2"},
        {"camera datablock", [](cf::File& f) { f.nodes[2].datablock = 2; }, "node 2 refers to camera 2 of 2"},
        {"light datablock", [](cf::File& f) { f.nodes[3].datablock = 1; }, "node 3 refers to light 1 of 1"},
        {"armature datablock", [](cf::File& f) { f.nodes[4].datablock = 5; }, "node 4 refers to armature 5 of 1"},
        {"one-key track", [](cf::File& f) { f.nodes[3].track->resize(1); },
         "node 3 has a track of 1 keys, fewer than 2"},
        {"empty track", [](cf::File& f) { f.nodes[0].track.emplace(); },
         "node 0 has a track of 0 keys, fewer than 2"},
        {"parent bone", [](cf::File& f) { f.armatures[0].bones[1].parent = 2; },
         "armature 0 bone 1 refers to parent bone 2 of 2"},
        {"negative parent bone", [](cf::File& f) { f.armatures[0].bones[0].parent = -2; },
         "armature 0 bone 0 refers to parent bone -2 of 2"},
    };
    for (const Damage& damage : damages) {
        SCOPED_TRACE(damage.what);
        cf::File file = SampleFile();
        damage.change(file);
        ExpectRefused(cf::Write(file), damage.fault);
    }
}

TEST_F(CompoundDamage, CountsAndLengthsBeyondTheFileFailBeforeAnythingIsMade) {
    struct Patched {
        const char* what;
        cf::File file;
        size_t offset;  // of the u32 to patch
        uint32_t value;
        std::string fault;
    };
    cf::File material;
    material.materials.resize(1);
    cf::File model;
    model.materials.resize(1);
    model.models.resize(1);
    model.models[0].elements.resize(1);
    model.models[0].subsets.resize(1);
    cf::File armature;
    armature.armatures.resize(1);
    cf::File track;
    track.nodes.resize(1);
    track.nodes[0].track = std::vector<NodeKey>(2);
    constexpr size_t kModelVertexCount = kHeaderSize + kMaterialSize + 4;
    constexpr size_t kModelFaceCount = kModelVertexCount + 4 + 4 + 24 + 4 + 16;
    constexpr size_t kBoneCount = kHeaderSize + 4, kKeyCount = kBoneCount + 4;
    constexpr size_t kTrackKeys = kHeaderSize + 4 + 40 + 4;
    const std::vector<Patched> cases = {
        {"texture count", cf::File(), 4, 0xFFFFFFFFu,
         "header counts need at least 17179869180 bytes of records, more than the 0 left"},
        {"node count", cf::File(), 4 + 6 * 4, 0x10000000u,
         "header counts need at least 15032385536 bytes of records, more than the 0 left"},
        {"name length", material, kHeaderSize, 0xFFFFFFFFu,
         "material 0 has a string of 4294967295 bytes, more than the 32 left"},
        {"texture index count", material, kHeaderSize + 4 + 16 + 12, 0xFFFFFFFFu,
         "material 0 counts 4294967295 texture indices, more than the 0 bytes left can hold"},
        {"vertex count", model, kModelVertexCount, 0xFFFFFFFFu,
         "model 0 counts 4294967295 vertices of 12 bytes, more than the 8 bytes left can hold"},
        {"subset count", model, kModelVertexCount + 4, 0xFFFFFFFFu,
         "model 0 counts 4294967295 subsets, more than the 52 bytes left can hold"},
        {"face count", model, kModelFaceCount, 0x40000000u,
         "model 0 counts 1073741824 faces in subset 0, more than the 0 bytes left can hold"},
        {"bone count", armature, kBoneCount, 0xFFFFFFFFu,
         "armature 0 counts 4294967295 bones, more than the 0 bytes left can hold"},
        {"key count", armature, kKeyCount, 0xFFFFFFFFu,
         "armature 0 counts 4294967295 keys, more than the 0 bytes left can hold"},
        {"track key count", track, kTrackKeys, 0xFFFFFFFFu,
         "node 0 counts 4294967295 track keys, more than the 184 bytes left can hold"},
    };
    for (const Patched& patched : cases) {
        SCOPED_TRACE(patched.what);
        std::string bytes = cf::Write(patched.file);
        Patch32(bytes, patched.offset, patched.value);
        ExpectRefused(bytes, patched.fault);
    }
}

TEST_F(CompoundDamage, AFileThatOpensButCannotBeReadIsAFault) {
    std::filesystem::create_directories(dir.path() / "models" / "folder.nc");
    EXPECT_FALSE(compound.Load("folder.nc"));
    EXPECT_EQ(LoadBoxes(), std::vector<std::string>{"models\\folder.nc: cannot be read"});
    ExpectEmpty();
}

TEST_F(CompoundDamage, ARefusedMeshIsAFault) {
    log.refuseBuffers = true;
    ExpectRefused(cf::Write(SampleFile()), "model 0 mesh of 3 faces and 4 vertices could not be created");
}

TEST_F(CompoundDamage, EveryTruncationIsRefused) {
    // With the later records dropped, the header's minimum sizes let the cuts reach into the earlier ones.
    cf::File datablocksOnly = SampleFile();
    datablocksOnly.nodes.clear();
    cf::File materialsOnly;
    materialsOnly.textures = datablocksOnly.textures;
    materialsOnly.materials = datablocksOnly.materials;
    for (const cf::File& file : {SampleFile(), datablocksOnly, materialsOnly}) {
        const std::string whole = cf::Write(file);
        for (size_t size = 0; size < whole.size(); ++size) {
            SCOPED_TRACE(size);
            boxes.boxes.clear();
            ASSERT_FALSE(Load(whole.substr(0, size), "bad.nc"));
            const std::vector<std::string> texts = LoadBoxes();
            ASSERT_EQ(texts.size(), 1u);
            EXPECT_EQ(texts[0].rfind("models\\bad.nc: ", 0), 0u) << texts[0];
            ExpectEmpty();
            ASSERT_EQ(log.resourcesAlive, resourcesBefore);
        }
    }
}
