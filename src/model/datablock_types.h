// The named datablocks with a virtual name: cameras and models.
#pragma once

#include <string>
#include <vector>

#include "backend/d3dx9_mesh.h"
#include "model/matrix.h"

struct Material;

class Type {
public:
    virtual ~Type() = default;
    virtual std::string GetName() const = 0;
};

class Camera : public Type {
public:
    std::string GetName() const override { return name; }
    // Writes the view matrix of this camera into the current transform.
    void Apply() const;

    Vec3 position;
    Quaternion rotation;
    std::string name;
    float value = 0;  // stored as read
};

struct MeshSubset {
    Material* material = nullptr;  // not owned
    uint32_t faceCount = 0;
};

class Model : public Type {
public:
    Model() = default;
    ~Model() override;
    Model(const Model&) = delete;
    Model& operator=(const Model&) = delete;
    std::string GetName() const override { return name; }
    // Each subset between its material's Begin and End.
    void Draw() const;

    std::string name;
    ID3DXMesh* mesh = nullptr;  // owned
    uint32_t vertexCount = 0;
    uint32_t totalFaces = 0;
    std::vector<MeshSubset> subsets;
    Vec3 firstExtent, secondExtent;
};
