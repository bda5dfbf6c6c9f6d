// A compound file described in memory and the bytes Compound::Load reads,
// for tests and the asset generators. Indices refer to the file's own lists.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "model/node.h"

namespace compound_file {

enum ElementKind : uint32_t { kPosition = 1, kNormal = 2, kTexcoord = 4, kColour = 8 };

struct Material {
    std::string name;
    std::array<float, 4> diffuse{1, 1, 1, 1};
    uint32_t flags = 0;
    uint32_t blendMode = 1;
    uint32_t cullMode = 2;
    std::vector<uint32_t> textures;
};

// Positions and normals take 12 bytes of the stride, texcoords 4 per
// component, colours (4 components) one byte per component.
struct VertexElement {
    uint32_t components = 3;
    uint32_t kind = kPosition;
    uint32_t offset = 0;
    uint32_t usageIndex = 0;
};

struct Subset {
    uint32_t material = 0;
    std::vector<uint32_t> indices;  // three per face; a partial face at the end is not written
};

struct Model {
    std::string name;
    Vec3 firstExtent, secondExtent;
    std::vector<VertexElement> elements;
    uint32_t vertexCount = 0;
    std::vector<uint8_t> vertices;  // vertexCount x stride bytes
    std::vector<Subset> subsets;

    // Appends values to the vertex bytes.
    void AddFloats(std::initializer_list<float> values);
    void AddBytes(std::initializer_list<uint8_t> values);
};

struct Camera {
    std::string name;
    float value = 0;
};

struct Light {
    std::string name;
    uint32_t kind = 0;
    float colourW = 1;
    std::array<float, 4> colour{1, 1, 1, 1};
    float positionW = 1;
};

struct Bone {
    std::string name;
    Vec3 offset;
    Vec3 tail{0, 0, 1};
    Vec3 restHead;
    int32_t parent = -1;  // -1: a root
};

struct ArmatureKey {
    float time = 0;
    // One per bone: missing ones are written as no rotation, surplus ones not at all.
    std::vector<Quaternion> rotations;
};

struct Armature {
    std::string name;
    std::vector<Bone> bones;
    std::vector<ArmatureKey> keys;
};

// NODE_HAS_PARENT and NODE_ANIMATED are written as parent and track say,
// whatever flags holds; the other flags are written as they are.
struct Node {
    std::string name;
    Vec3 position;
    Quaternion rotation;
    Vec3 scale{1, 1, 1};
    uint32_t flags = NODE_EMPTY;
    std::optional<uint32_t> parent;
    std::optional<std::vector<NodeKey>> track;
    uint32_t datablock = 0;  // into the list of the placed kind
    uint32_t spare = 0;
};

struct File {
    char tag[4] = {'N', 'C', 'M', 'P'};
    std::vector<std::string> textures;  // file names below textures/
    std::vector<Material> materials;
    std::vector<Model> models;
    std::vector<Camera> cameras;
    std::vector<Light> lights;
    std::vector<Armature> armatures;
    std::vector<Node> nodes;
};

std::string Write(const File& file);

}  // namespace compound_file
