#include "compound_fixture.h"

#include <cmath>

#include "model/material.h"
#include "test_png.h"

void CompoundFiles::SetUp() {
    RecordingShell::SetUp();
    for (const char* name : {"a.png", "b.png", "c.png"})
        ASSERT_TRUE(WriteTestPng((dir.path() / "textures" / name).string(), 1, 1, {0xFF808080u}));
    resourcesBefore = log.resourcesAlive;
}

void CompoundFiles::TearDown() {
    compound = Compound();
    RecordingShell::TearDown();
}

bool CompoundFiles::Load(const std::string& bytes, const std::string& name) {
    dir.Write("models/" + name, bytes);
    return compound.Load(name);
}

std::vector<std::string> CompoundFiles::LoadBoxes() const {
    std::vector<std::string> texts;
    for (const MessageBoxCapture::Box& box : boxes.boxes)
        if (box.caption == "Compound::Load(...)") texts.push_back(box.text);
    return texts;
}

void CompoundFiles::ExpectEmpty() const {
    ASSERT_NE(compound.datablocks, nullptr);
    const DatablockLists& lists = *compound.datablocks;
    EXPECT_TRUE(lists.textures.empty() && lists.materials.empty() && lists.models.empty() && lists.nodes.empty() &&
                lists.cameras.empty() && lists.lights.empty() && lists.armatures.empty());
    EXPECT_TRUE(compound.modelInstances.empty() && compound.cameraInstances.empty() && compound.emptyNodes.empty() &&
                compound.lightInstances.empty() && compound.armatureInstances.empty());
}

cf::Model SampleModel() {
    cf::Model model;
    model.name = "cube";
    model.firstExtent = {-1, -2, -3};
    model.secondExtent = {1, 2, 3};
    model.elements = {{2, cf::kPosition, 0, 0}, {1, cf::kNormal, 12, 0}, {2, cf::kTexcoord, 24, 1},
                      {4, cf::kColour, 32, 0}};
    model.vertexCount = 4;
    for (int v = 0; v < 4; ++v) {
        const float f = static_cast<float>(v);
        model.AddFloats({f, f + 0.5f, 0, -1, 0, 0, f / 4, 1 - f / 4});  // zeros pad the short elements
        model.AddBytes({static_cast<uint8_t>(v), 0x40, 0x80, 0xFF});
    }
    model.subsets = {{1, {0, 1, 2}}, {0, {0, 2, 3, 1, 2, 3}}};
    return model;
}

cf::File SampleFile() {
    cf::File file;
    file.textures = {"a.png", "b.png", "c.png"};

    cf::Material metal;
    metal.name = "metal";
    metal.diffuse = {0.1f, 0.2f, 0.3f, 0.4f};
    metal.flags = MATERIAL_BLEND;
    metal.blendMode = 3;
    metal.cullMode = 1;
    metal.textures = {2, 0};
    cf::Material many;
    many.name = std::string("many\0 after the zero", 21);
    for (uint32_t i = 0; i < 18; ++i) many.textures.push_back(i % 3);
    cf::Material first, second;
    first.name = second.name = "dup";
    second.blendMode = 2;
    file.materials = {metal, many, first, second};

    cf::Model empty;
    empty.name = "empty";
    empty.subsets = {{0, {}}};
    file.models = {SampleModel(), empty};

    file.cameras = {{"lens", 1.5f}, {"spare lens", 2}};
    cf::Light lamp;
    lamp.name = "lamp";
    lamp.kind = 2;
    lamp.colourW = 0.5f;
    lamp.colour = {1.0f, 0.5f, 0.25f, 0.75f};
    lamp.positionW = 0;
    file.lights = {lamp};

    cf::Armature rig;
    rig.name = "rig";
    rig.bones = {{"root", {0, 1, 0}, {0, 0, 2}, {0, 1, 0}, -1}, {"arm", {0, 0, 1}, {1, 0, 0}, {0, 3, 0}, 0}};
    const float half = std::sqrt(0.5f);
    rig.keys = {{0, {{0, 0, half, half}, {}}}, {1, {{}, {half, 0, 0, half}}}};
    file.armatures = {rig};

    auto node = [](const char* name, uint32_t flags, uint32_t datablock, Vec3 position = {}) {
        cf::Node n;
        n.name = name;
        n.flags = flags;
        n.datablock = datablock;
        n.position = position;
        return n;
    };
    // Model wins over camera; its parent comes later in the file.
    cf::Node child = node("child", NODE_MODEL | NODE_CAMERA, 0, {1, 2, 3});
    child.rotation = {0, 0, std::sin(0.3f), std::cos(0.3f)};
    child.scale = {2, 3, 4};
    child.parent = 2;
    // Two nodes named alike place one camera; the later one's place is the camera's.
    cf::Node cam = node("cam", NODE_CAMERA, 0, {4, 5, 6});
    cf::Node later = node("cam", NODE_CAMERA, 0, {7, 8, 9});
    later.rotation = {half, 0, 0, half};
    cf::Node lampNode = node("lamp node", NODE_LIGHT, 0, {-1, -2, -3});
    NodeKey start, end;
    end.time = 2;
    end.position = {5, 0, 0};
    lampNode.track = std::vector<NodeKey>{start, end};
    // Empty and unplaced nodes ignore their datablock index.
    file.nodes = {child,
                  cam,
                  later,
                  lampNode,
                  node("rig node", NODE_ARMATURE, 0),
                  node("nothing", NODE_EMPTY, 99),
                  node("unplaced", 0, 77),
                  node("empty model", NODE_MODEL, 1)};
    return file;
}

void Patch32(std::string& bytes, size_t offset, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes.at(offset + i) = static_cast<char>(value >> (8 * i) & 0xFF);
}
