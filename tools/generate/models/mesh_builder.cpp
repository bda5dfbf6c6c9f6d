#include "mesh_builder.h"

#include <cmath>

#include "backend/d3dx9_math.h"

Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec3 operator*(Vec3 a, float s) { return {a.x * s, a.y * s, a.z * s}; }

namespace mesh {

float Dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec3 Cross(Vec3 a, Vec3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
Vec3 Normalise(Vec3 a) {
    const float length = std::sqrt(Dot(a, a));
    return length > 0 ? a * (1.0f / length) : a;
}

Vec3 TransformPoint(Vec3 p, const Matrix& m) {
    return {p.x * m.m[0][0] + p.y * m.m[1][0] + p.z * m.m[2][0] + m.m[3][0], p.x * m.m[0][1] + p.y * m.m[1][1] + p.z * m.m[2][1] + m.m[3][1],
            p.x * m.m[0][2] + p.y * m.m[1][2] + p.z * m.m[2][2] + m.m[3][2]};
}

// By the inverse transpose, so scaled shapes keep perpendicular normals.
Vec3 TransformNormal(Vec3 n, const Matrix& m) {
    D3DMATRIX inverse;
    float determinant = 0;
    if (!D3DXMatrixInverse(&inverse, &determinant, &m)) return n;
    return Normalise({n.x * inverse.m[0][0] + n.y * inverse.m[0][1] + n.z * inverse.m[0][2],
                      n.x * inverse.m[1][0] + n.y * inverse.m[1][1] + n.z * inverse.m[1][2],
                      n.x * inverse.m[2][0] + n.y * inverse.m[2][1] + n.z * inverse.m[2][2]});
}

Quaternion AxisAngle(Vec3 axis, float radians) {
    const Vec3 a = Normalise(axis);
    const float s = std::sin(radians / 2);
    return {a.x * s, a.y * s, a.z * s, std::cos(radians / 2)};
}

Matrix Place(Vec3 translation, Quaternion rotation, Vec3 scale) {
    Matrix s, r, t;
    s.Scaling(scale.x, scale.y, scale.z);
    r.Rotation(rotation);
    t.Translation(translation.x, translation.y, translation.z);
    return s * r * t;
}

// The inverse of the engine's quaternion matrix.
Quaternion RotationOf(const Matrix& m) {
    const float m11 = m.m[0][0], m12 = m.m[0][1], m13 = m.m[0][2];
    const float m21 = m.m[1][0], m22 = m.m[1][1], m23 = m.m[1][2];
    const float m31 = m.m[2][0], m32 = m.m[2][1], m33 = m.m[2][2];
    Quaternion q;
    const float trace = m11 + m22 + m33;
    if (trace > 0) {
        const float s = std::sqrt(trace + 1) * 2;
        q = {(m23 - m32) / s, (m31 - m13) / s, (m12 - m21) / s, s / 4};
    } else if (m11 > m22 && m11 > m33) {
        const float s = std::sqrt(1 + m11 - m22 - m33) * 2;
        q = {s / 4, (m12 + m21) / s, (m31 + m13) / s, (m23 - m32) / s};
    } else if (m22 > m33) {
        const float s = std::sqrt(1 + m22 - m11 - m33) * 2;
        q = {(m12 + m21) / s, s / 4, (m23 + m32) / s, (m31 - m13) / s};
    } else {
        const float s = std::sqrt(1 + m33 - m11 - m22) * 2;
        q = {(m31 + m13) / s, (m23 + m32) / s, s / 4, (m12 - m21) / s};
    }
    return Normalised(q);
}

uint32_t MeshBuilder::Add(const Vertex& v, const Matrix& place) {
    vertices_.push_back({TransformPoint(v.position, place), TransformNormal(v.normal, place), v.u, v.v});
    return static_cast<uint32_t>(vertices_.size() - 1);
}

void MeshBuilder::Triangle(uint32_t material, const Vertex& a, const Vertex& b, const Vertex& c,
                           const Matrix& place) {
    faces_.push_back({material, Add(a, place), Add(b, place), Add(c, place)});
}

void MeshBuilder::Quad(uint32_t material, const Vertex& a, const Vertex& b, const Vertex& c, const Vertex& d,
                       const Matrix& place) {
    const uint32_t i = Add(a, place), j = Add(b, place), k = Add(c, place), l = Add(d, place);
    faces_.push_back({material, i, j, k});
    faces_.push_back({material, i, k, l});
}

void MeshBuilder::Box(uint32_t material, Vec3 h, const Matrix& place) {
    // Each face: its normal n and in-plane axes s and t = n x s.
    const Vec3 normals[6] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
    for (const Vec3& n : normals) {
        const Vec3 s = std::fabs(n.z) > 0 ? Vec3{1, 0, 0} : Vec3{0, 0, 1};
        const Vec3 t = Cross(n, s);
        auto corner = [&](float a, float b, float u, float v) {
            const Vec3 p = n + s * a + t * b;
            return Vertex{{p.x * h.x, p.y * h.y, p.z * h.z}, n, u, v};
        };
        // s x t = n, so the corners run counter-clockwise seen from outside.
        Quad(material, corner(-1, -1, 0, 1), corner(1, -1, 1, 1), corner(1, 1, 1, 0), corner(-1, 1, 0, 0), place);
    }
}

void MeshBuilder::Cylinder(uint32_t material, float r0, float r1, float height, int segments, const Matrix& place) {
    const float slope = (r0 - r1) / height;
    for (int i = 0; i < segments; ++i) {
        const float a0 = 2 * float(M_PI) * i / segments, a1 = 2 * float(M_PI) * (i + 1) / segments;
        auto side = [&](float a, float r, float z, float u, float v) {
            return Vertex{{std::cos(a) * r, std::sin(a) * r, z}, Normalise({std::cos(a), std::sin(a), slope}), u, v};
        };
        const float u0 = float(i) / segments, u1 = float(i + 1) / segments;
        Quad(material, side(a0, r0, 0, u0, 1), side(a1, r0, 0, u1, 1), side(a1, r1, height, u1, 0),
             side(a0, r1, height, u0, 0), place);
        auto cap = [&](float a, float r, float z, float nz) {
            return Vertex{{std::cos(a) * r, std::sin(a) * r, z}, {0, 0, nz}, 0.5f + 0.5f * std::cos(a),
                          0.5f + 0.5f * std::sin(a)};
        };
        if (r1 > 0)
            Triangle(material, Vertex{{0, 0, height}, {0, 0, 1}, 0.5f, 0.5f}, cap(a0, r1, height, 1),
                     cap(a1, r1, height, 1), place);
        if (r0 > 0)
            Triangle(material, Vertex{{0, 0, 0}, {0, 0, -1}, 0.5f, 0.5f}, cap(a1, r0, 0, -1), cap(a0, r0, 0, -1),
                     place);
    }
}

void MeshBuilder::Sphere(uint32_t material, float radius, int rings, int segments, const Matrix& place) {
    auto point = [&](int ring, int segment) {
        const float theta = float(M_PI) * ring / rings, phi = 2 * float(M_PI) * segment / segments;
        const Vec3 n{std::sin(theta) * std::cos(phi), std::sin(theta) * std::sin(phi), std::cos(theta)};
        return Vertex{n * radius, n, float(segment) / segments, float(ring) / rings};
    };
    for (int r = 0; r < rings; ++r)
        for (int s = 0; s < segments; ++s)
            Quad(material, point(r, s), point(r + 1, s), point(r + 1, s + 1), point(r, s + 1), place);
}

void MeshBuilder::Torus(uint32_t material, float radius, float tube, int rings, int segments, const Matrix& place) {
    auto point = [&](int ring, int segment) {
        const float a = 2 * float(M_PI) * ring / rings, b = 2 * float(M_PI) * segment / segments;
        const Vec3 centre{std::cos(a) * radius, std::sin(a) * radius, 0};
        const Vec3 n{std::cos(a) * std::cos(b), std::sin(a) * std::cos(b), std::sin(b)};
        return Vertex{centre + n * tube, n, float(ring) / rings, float(segment) / segments};
    };
    for (int r = 0; r < rings; ++r)
        for (int s = 0; s < segments; ++s)
            Quad(material, point(r, s), point(r + 1, s), point(r + 1, s + 1), point(r, s + 1), place);
}

void MeshBuilder::Disc(uint32_t material, float radius, int segments, const Matrix& place) {
    for (int i = 0; i < segments; ++i) {
        const float a0 = 2 * float(M_PI) * i / segments, a1 = 2 * float(M_PI) * (i + 1) / segments;
        auto rim = [&](float a) {
            return Vertex{{std::cos(a) * radius, std::sin(a) * radius, 0}, {0, 0, 1}, 0.5f + 0.5f * std::cos(a),
                          0.5f - 0.5f * std::sin(a)};
        };
        Triangle(material, Vertex{{0, 0, 0}, {0, 0, 1}, 0.5f, 0.5f}, rim(a0), rim(a1), place);
    }
}

compound_file::Model MeshBuilder::Build(const std::string& name) const { return Assemble(name, false, {}); }

compound_file::Model MeshBuilder::BuildSkinned(const std::string& name,
                                               const std::function<Skin(Vec3)>& skin) const {
    return Assemble(name, true, skin);
}

compound_file::Model MeshBuilder::Assemble(const std::string& name, bool skinned,
                                           const std::function<Skin(Vec3)>& skin) const {
    using compound_file::kNormal;
    using compound_file::kPosition;
    using compound_file::kTexcoord;
    compound_file::Model model;
    model.name = name;
    model.elements = {{3, kPosition, 0, 0}, {3, kNormal, 12, 0}, {2, kTexcoord, 24, 0}};
    if (skinned) model.elements.insert(model.elements.end(), {{4, kTexcoord, 32, 1}, {4, kTexcoord, 48, 2}});
    model.vertexCount = static_cast<uint32_t>(vertices_.size());
    Vec3 low{1e30f, 1e30f, 1e30f}, high{-1e30f, -1e30f, -1e30f};
    for (const Vertex& v : vertices_) {
        const Vec3& p = v.position;
        model.AddFloats({p.x, p.y, p.z, v.normal.x, v.normal.y, v.normal.z, v.u, v.v});
        if (skinned) {
            const Skin s = skin(p);
            model.AddFloats({s.bones[0], s.bones[1], s.bones[2], s.bones[3]});
            model.AddFloats({s.weights[0], s.weights[1], s.weights[2], s.weights[3]});
        }
        low = {std::fmin(low.x, p.x), std::fmin(low.y, p.y), std::fmin(low.z, p.z)};
        high = {std::fmax(high.x, p.x), std::fmax(high.y, p.y), std::fmax(high.z, p.z)};
    }
    if (!vertices_.empty()) model.firstExtent = low, model.secondExtent = high;
    // One subset per material, in material order, so each material is set once.
    uint32_t highest = 0;
    for (const Face& f : faces_) highest = std::max(highest, f.material);
    for (uint32_t m = 0; m <= highest && !faces_.empty(); ++m) {
        compound_file::Subset subset{m, {}};
        for (const Face& f : faces_)
            if (f.material == m) subset.indices.insert(subset.indices.end(), {f.a, f.b, f.c});
        if (!subset.indices.empty()) model.subsets.push_back(subset);
    }
    return model;
}

}  // namespace mesh
