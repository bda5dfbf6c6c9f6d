// Builds triangle meshes for the compound generators: shapes are added to
// per-material face lists, then written in the vertex layouts the shaders
// declare (position, normal, texcoord 0; skinned meshes add bone indices in
// texcoord 1 and weights in texcoord 2).
#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "compound/compound_writer.h"
#include "model/matrix.h"

// Vector arithmetic for the generators.
Vec3 operator+(Vec3 a, Vec3 b);
Vec3 operator-(Vec3 a, Vec3 b);
Vec3 operator*(Vec3 a, float s);

namespace mesh {

struct Vertex {
    Vec3 position;
    Vec3 normal;
    float u = 0, v = 0;
};

// Up to four bones and their weights (summing to 1) for one vertex.
struct Skin {
    std::array<float, 4> bones{0, 0, 0, 0};
    std::array<float, 4> weights{1, 0, 0, 0};
};

float Dot(Vec3 a, Vec3 b);
Vec3 Cross(Vec3 a, Vec3 b);
Vec3 Normalise(Vec3 a);
Vec3 TransformPoint(Vec3 p, const Matrix& m);
Vec3 TransformNormal(Vec3 n, const Matrix& m);

// Placement helpers for shapes: p' = p x M, so Place(s, r, t) = S x R x T.
Quaternion AxisAngle(Vec3 axis, float radians);
Matrix Place(Vec3 translation, Quaternion rotation = {}, Vec3 scale = {1, 1, 1});
// The unit quaternion whose matrix has the rows of m's upper 3x3, a pure rotation.
Quaternion RotationOf(const Matrix& m);

class MeshBuilder {
public:
    // Every shape is moved by place before it is stored; normals follow.
    void Triangle(uint32_t material, const Vertex& a, const Vertex& b, const Vertex& c, const Matrix& place = {});
    // Counter-clockwise seen from the side the normal points to.
    void Quad(uint32_t material, const Vertex& a, const Vertex& b, const Vertex& c, const Vertex& d,
              const Matrix& place = {});
    // An axis-aligned box of the given half extents about the origin.
    void Box(uint32_t material, Vec3 half, const Matrix& place = {});
    // Along +z from z = 0 to height, radius r0 at the bottom and r1 at the top, with caps.
    void Cylinder(uint32_t material, float r0, float r1, float height, int segments, const Matrix& place = {});
    void Sphere(uint32_t material, float radius, int rings, int segments, const Matrix& place = {});
    // In the plane z = 0 about the z axis.
    void Torus(uint32_t material, float radius, float tube, int rings, int segments, const Matrix& place = {});
    // A flat disc in the plane z = 0 facing +z, uv mapped from its extent.
    void Disc(uint32_t material, float radius, int segments, const Matrix& place = {});

    // Plain layout, stride 32.
    compound_file::Model Build(const std::string& name) const;
    // Skinned layout, stride 64; skin gives each vertex its bones from its position.
    compound_file::Model BuildSkinned(const std::string& name, const std::function<Skin(Vec3)>& skin) const;

    size_t VertexCount() const { return vertices_.size(); }

private:
    struct Face {
        uint32_t material;
        uint32_t a, b, c;
    };
    uint32_t Add(const Vertex& v, const Matrix& place);
    compound_file::Model Assemble(const std::string& name, bool skinned,
                                  const std::function<Skin(Vec3)>& skin) const;

    std::vector<Vertex> vertices_;
    std::vector<Face> faces_;
};

}  // namespace mesh
