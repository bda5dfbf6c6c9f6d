// Loading whole compound files: every record kind read back, where the file
// is looked for, and what a reload replaces.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "compound_fixture.h"
#include "model/material.h"

namespace {

using CompoundLoad = CompoundFiles;

void ExpectVec3(const Vec3& v, float x, float y, float z) {
    EXPECT_FLOAT_EQ(v.x, x);
    EXPECT_FLOAT_EQ(v.y, y);
    EXPECT_FLOAT_EQ(v.z, z);
}

void ExpectQuaternion(const Quaternion& q, const Quaternion& expected) {
    EXPECT_NEAR(q.x, expected.x, 1e-6f);
    EXPECT_NEAR(q.y, expected.y, 1e-6f);
    EXPECT_NEAR(q.z, expected.z, 1e-6f);
    EXPECT_NEAR(q.w, expected.w, 1e-6f);
}

template <typename T>
std::vector<T> Locked(void* data, size_t count) {
    const T* first = static_cast<const T*>(data);
    return std::vector<T>(first, first + count);
}

}  // namespace

TEST_F(CompoundLoad, TexturesMaterialsCamerasAndLightsKeepTheirFields) {
    ASSERT_TRUE(Load(cf::Write(SampleFile())));
    EXPECT_TRUE(boxes.boxes.empty());
    const DatablockLists& lists = *compound.datablocks;

    ASSERT_EQ(lists.textures.size(), 3u);
    EXPECT_EQ(lists.textures[1]->name, "b.png");
    EXPECT_NE(lists.textures[1]->texture, nullptr);
    EXPECT_EQ(lists.textures[1]->magnification, 1);
    EXPECT_EQ(lists.textures[1]->minification, 1);

    ASSERT_EQ(lists.materials.size(), 4u);
    const Material& metal = *lists.materials[0];
    EXPECT_EQ(metal.name, "metal");
    EXPECT_EQ(std::vector<float>(metal.diffuse, metal.diffuse + 4), (std::vector<float>{0.1f, 0.2f, 0.3f, 0.4f}));
    EXPECT_EQ(std::vector<float>(metal.specular, metal.specular + 4), std::vector<float>(4, 0.0f));
    EXPECT_EQ(std::vector<float>(metal.ambient, metal.ambient + 4), std::vector<float>(4, 0.0f));
    EXPECT_EQ(metal.flags, MATERIAL_BLEND);
    EXPECT_EQ(metal.blendMode, 3u);
    EXPECT_EQ(metal.cullMode, 1u);
    EXPECT_EQ(metal.shaderSlot, nullptr);
    EXPECT_EQ(metal.textures[0], lists.textures[2].get());
    EXPECT_EQ(metal.textures[1], lists.textures[0].get());
    EXPECT_EQ(metal.textures[2], nullptr);

    // The name ends at its zero byte, yet the rest of its bytes are skipped;
    // the indices past the sixteen slots are read and dropped.
    const Material& many = *lists.materials[1];
    EXPECT_EQ(many.name, "many");
    for (int slot = 0; slot < Material::kTextureSlots; ++slot)
        EXPECT_EQ(many.textures[slot], lists.textures[slot % 3].get()) << slot;
    EXPECT_EQ(lists.materials[3]->blendMode, 2u);

    ASSERT_EQ(lists.cameras.size(), 2u);
    EXPECT_EQ(lists.cameras[0]->GetName(), "lens");
    EXPECT_FLOAT_EQ(lists.cameras[0]->value, 1.5f);
    EXPECT_FLOAT_EQ(lists.cameras[1]->value, 2.0f);

    ASSERT_EQ(lists.lights.size(), 1u);
    const Light& lamp = *lists.lights[0];
    EXPECT_EQ(lamp.name, "lamp");
    EXPECT_EQ(lamp.kind, 2u);
    EXPECT_FLOAT_EQ(lamp.colourW, 0.5f);
    EXPECT_EQ(std::vector<float>(lamp.colour, lamp.colour + 4), (std::vector<float>{1.0f, 0.5f, 0.25f, 0.75f}));
    EXPECT_FLOAT_EQ(lamp.positionW, 0.0f);
}

TEST_F(CompoundLoad, ModelVerticesIndicesAndSubsetsReachTheMesh) {
    ASSERT_TRUE(Load(cf::Write(SampleFile())));
    const DatablockLists& lists = *compound.datablocks;
    ASSERT_EQ(lists.models.size(), 2u);
    const Model& cube = *lists.models[0];
    EXPECT_EQ(cube.GetName(), "cube");
    EXPECT_EQ(cube.vertexCount, 4u);
    EXPECT_EQ(cube.totalFaces, 3u);
    ExpectVec3(cube.firstExtent, -1, -2, -3);
    ExpectVec3(cube.secondExtent, 1, 2, 3);
    ASSERT_EQ(cube.subsets.size(), 2u);
    EXPECT_EQ(cube.subsets[0].material, lists.materials[1].get());
    EXPECT_EQ(cube.subsets[0].faceCount, 1u);
    EXPECT_EQ(cube.subsets[1].material, lists.materials[0].get());
    EXPECT_EQ(cube.subsets[1].faceCount, 2u);

    // Offset, type, usage, usage index: a two-component position still takes 12 bytes.
    EXPECT_EQ(CallsStartingWith("CreateVertexDeclaration([0 1 0 0 | 12 0 3 0 | 24 1 5 1 | 32 4 10 0])").size(), 1u);
    ASSERT_NE(cube.mesh, nullptr);
    EXPECT_EQ(cube.mesh->GetNumFaces(), 3u);
    EXPECT_EQ(cube.mesh->GetNumVertices(), 4u);
    EXPECT_EQ(cube.mesh->GetNumBytesPerVertex(), 36u);
    void* data = nullptr;
    ASSERT_EQ(cube.mesh->LockVertexBuffer(0, &data), D3D_OK);
    EXPECT_EQ(Locked<uint8_t>(data, 4 * 36), SampleModel().vertices);
    cube.mesh->UnlockVertexBuffer();
    ASSERT_EQ(cube.mesh->LockIndexBuffer(0, &data), D3D_OK);
    EXPECT_EQ(Locked<DWORD>(data, 9), (std::vector<DWORD>{0, 1, 2, 0, 2, 3, 1, 2, 3}));
    cube.mesh->UnlockIndexBuffer();
    DWORD* attributes = nullptr;
    ASSERT_EQ(cube.mesh->LockAttributeBuffer(0, &attributes), D3D_OK);
    EXPECT_EQ(Locked<DWORD>(attributes, 3), (std::vector<DWORD>{0, 1, 1}));
    cube.mesh->UnlockAttributeBuffer();

    // No faces, no mesh; the subset stays.
    const Model& empty = *lists.models[1];
    EXPECT_EQ(empty.mesh, nullptr);
    EXPECT_EQ(empty.totalFaces, 0u);
    ASSERT_EQ(empty.subsets.size(), 1u);
    EXPECT_EQ(empty.subsets[0].faceCount, 0u);
}

TEST_F(CompoundLoad, BytesThatPadTheStrideAfterTheLastElementStayInTheFile) {
    // A two-component normal still takes 12 bytes of the file; the mesh's vertex ends after 8.
    cf::Model model;
    model.elements = {{3, cf::kPosition, 0, 0}, {2, cf::kNormal, 12, 0}};
    model.vertexCount = 2;
    model.AddFloats({1, 2, 3, 4, 5, -1, 6, 7, 8, 9, 10, -1});
    model.subsets = {{0, {0, 1, 1}}};
    cf::File file;
    file.materials.resize(1);
    file.models = {model};
    ASSERT_TRUE(Load(cf::Write(file)));
    ID3DXMesh* mesh = compound.datablocks->models[0]->mesh;
    ASSERT_NE(mesh, nullptr);
    ASSERT_EQ(mesh->GetNumBytesPerVertex(), 20u);
    void* data = nullptr;
    ASSERT_EQ(mesh->LockVertexBuffer(0, &data), D3D_OK);
    EXPECT_EQ(Locked<float>(data, 10), (std::vector<float>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    mesh->UnlockVertexBuffer();
}

TEST_F(CompoundLoad, NodesArePlacedByTheirFirstPlacementFlagInReverseFileOrder) {
    ASSERT_TRUE(Load(cf::Write(SampleFile())));
    const DatablockLists& lists = *compound.datablocks;
    ASSERT_EQ(lists.nodes.size(), 8u);
    auto node = [&](size_t i) { return lists.nodes[i].get(); };

    ASSERT_EQ(compound.modelInstances.size(), 2u);
    EXPECT_EQ(compound.modelInstances.front().node, node(7));
    EXPECT_EQ(compound.modelInstances.front().model, lists.models[1].get());
    EXPECT_EQ(compound.modelInstances.back().node, node(0));
    EXPECT_EQ(compound.modelInstances.back().model, lists.models[0].get());
    ASSERT_EQ(compound.cameraInstances.size(), 2u);
    EXPECT_EQ(compound.cameraInstances.front().node, node(2));
    EXPECT_EQ(compound.cameraInstances.back().node, node(1));
    EXPECT_EQ(compound.cameraInstances.back().camera, lists.cameras[0].get());
    EXPECT_EQ(compound.emptyNodes, std::list<Node*>{node(5)});
    ASSERT_EQ(compound.lightInstances.size(), 1u);
    EXPECT_EQ(compound.lightInstances.front().node, node(3));
    EXPECT_EQ(compound.lightInstances.front().light, lists.lights[0].get());
    ASSERT_EQ(compound.armatureInstances.size(), 1u);
    EXPECT_EQ(compound.armatureInstances.front().node, node(4));
    EXPECT_EQ(compound.armatureInstances.front().armature, lists.armatures[0].get());

    // The camera has the place of the later node; the light its node's position.
    ExpectVec3(lists.cameras[0]->position, 7, 8, 9);
    ExpectQuaternion(lists.cameras[0]->rotation, node(2)->rotation);
    ExpectVec3(lists.cameras[1]->position, 0, 0, 0);
    ExpectVec3(lists.lights[0]->position, -1, -2, -3);

    // A parent later in the file; scale, then rotation (0.6 about z), then translation.
    const Node& child = *node(0);
    EXPECT_EQ(child.name, "child");
    EXPECT_EQ(child.parent, node(2));
    EXPECT_EQ(child.flags, NODE_HAS_PARENT | NODE_MODEL | NODE_CAMERA);
    ExpectVec3(child.scale, 2, 3, 4);
    const float c = std::cos(0.6f), s = std::sin(0.6f);
    const float expected[4][4] = {{2 * c, 2 * s, 0, 0}, {-3 * s, 3 * c, 0, 0}, {0, 0, 4, 0}, {1, 2, 3, 1}};
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column)
            EXPECT_NEAR(child.local.m[row][column], expected[row][column], 1e-5f) << row << column;
    EXPECT_EQ(node(1)->parent, nullptr);
    EXPECT_EQ(node(1)->track, nullptr);

    const NodeTrack* track = node(3)->track;
    ASSERT_NE(track, nullptr);
    EXPECT_TRUE(node(3)->flags & NODE_ANIMATED);
    ASSERT_EQ(track->keys.size(), 2u);
    EXPECT_FLOAT_EQ(track->keys[1].time, 2.0f);
    ExpectVec3(track->keys[1].position, 5, 0, 0);

    // Posed at time 0 on loading.
    const Armature& rig = *lists.armatures[0];
    EXPECT_EQ(rig.name, "rig");
    ASSERT_EQ(rig.bones.size(), 2u);
    EXPECT_EQ(rig.bones[0].name, "root");
    EXPECT_EQ(rig.bones[0].parent, nullptr);
    EXPECT_EQ(rig.bones[1].parent, &rig.bones[0]);
    ExpectVec3(rig.bones[1].offset, 0, 0, 1);
    ExpectVec3(rig.bones[1].tail, 1, 0, 0);
    ExpectVec3(rig.bones[1].restHead, 0, 3, 0);
    ASSERT_EQ(rig.keys.size(), 2u);
    EXPECT_EQ(rig.keys[1].rotations.size(), 2u);
    EXPECT_EQ(rig.skinMatrices.size(), 2u);
    ExpectQuaternion(rig.bones[0].rotation, rig.keys[0].rotations[0]);
    ExpectQuaternion(rig.bones[1].rotation, Quaternion());
    EXPECT_NEAR(rig.bones[0].current.m[0][1], 1.0f, 1e-5f);  // a quarter turn about z
}

TEST_F(CompoundLoad, BytesAfterTheLastNodeAreNotRead) {
    ASSERT_TRUE(Load(cf::Write(SampleFile()) + "trailing bytes"));
    EXPECT_EQ(compound.datablocks->nodes.size(), 8u);
}

TEST_F(CompoundLoad, AFileOfZeroCountsLoadsEmpty) {
    EXPECT_TRUE(Load(cf::Write(cf::File())));
    ExpectEmpty();
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(CompoundLoad, TheModelsFolderComesFirstThenTheBareNameAndALoadReplacesAll) {
    cf::File inFolder, bare;
    inFolder.cameras = {{"in folder", 0}};
    bare.cameras = {{"bare", 0}};
    dir.Write("models/both.nc", cf::Write(inFolder));
    dir.Write("both.nc", cf::Write(bare));
    dir.Write("only.nc", cf::Write(bare));
    ASSERT_TRUE(compound.Load("both.nc"));
    EXPECT_EQ(compound.datablocks->cameras.at(0)->name, "in folder");

    ASSERT_TRUE(Load(cf::Write(SampleFile())));
    ASSERT_TRUE(compound.Load("only.nc"));
    EXPECT_EQ(compound.datablocks->cameras.at(0)->name, "bare");
    EXPECT_TRUE(compound.datablocks->nodes.empty());
    EXPECT_TRUE(compound.modelInstances.empty() && compound.cameraInstances.empty() &&
                compound.emptyNodes.empty() && compound.lightInstances.empty() &&
                compound.armatureInstances.empty());
    EXPECT_EQ(log.resourcesAlive, resourcesBefore);  // the sample's textures and mesh are gone

    // Faults name the path that was opened.
    dir.Write("cut.nc", "tag");
    EXPECT_FALSE(compound.Load("cut.nc"));
    EXPECT_EQ(LoadBoxes(), std::vector<std::string>{"cut.nc: header is cut short"});
}

TEST_F(CompoundLoad, AMissingFileLeavesTheCompoundAsItWas) {
    ASSERT_TRUE(Load(cf::Write(SampleFile())));
    EXPECT_FALSE(compound.Load("absent.nc"));
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "Compound file not found!");
    EXPECT_EQ(boxes.boxes[0].caption, "Compound::Load(...)");
    EXPECT_EQ(boxes.boxes[0].type, MB_OK);
    EXPECT_EQ(compound.datablocks->nodes.size(), 8u);
    EXPECT_EQ(compound.modelInstances.size(), 2u);
}
