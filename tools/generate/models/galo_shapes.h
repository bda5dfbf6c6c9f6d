// Shapes for the rooster: every vertex takes its palette colour and its bone
// weights from the piece being sculpted, so that one skinned mesh can hold
// overlapping pieces bound to different bones.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <tuple>
#include <vector>

#include "mesh_builder.h"

namespace galo {

using SkinRule = std::function<mesh::Skin(Vec3)>;

// A cross-section radius pair: across the side axis and across the up axis.
struct Radii {
    float side, up;
};

class Sculptor {
public:
    explicit Sculptor(mesh::MeshBuilder& builder) : builder_(builder) {}

    // Colour (palette u) and skinning of the shapes that follow.
    void Piece(float u, SkinRule skin);

    // A unit sphere scaled by radii, turned by rotation, centred on centre.
    void Ellipsoid(Vec3 centre, Vec3 radii, Quaternion rotation = {}, int rings = 10, int segments = 14);
    // A tube through the points with an elliptical section; up orients the
    // section (it must not be parallel to the path). Ends are capped.
    void Tube(const std::vector<Vec3>& path, const std::vector<Radii>& radii, Vec3 up, int segments = 8);

    // The weights recorded for a vertex position; fallback when none was.
    mesh::Skin SkinAt(Vec3 p, const mesh::Skin& fallback = {}) const;
    size_t Recorded() const { return skins_.size(); }

private:
    using Key = std::tuple<float, float, float>;
    static Key KeyOf(Vec3 p);
    mesh::Vertex Emit(Vec3 p, Vec3 n);
    void Quad(const mesh::Vertex& a, const mesh::Vertex& b, const mesh::Vertex& c, const mesh::Vertex& d);

    mesh::MeshBuilder& builder_;
    float u_ = 0;
    SkinRule skin_;
    std::map<Key, mesh::Skin> skins_;
};

// Bone weights blended between two bones by t (0 gives a, 1 gives b).
mesh::Skin Blend2(int a, int b, float t);
mesh::Skin Rigid(int bone);
float SmoothStep(float edge0, float edge1, float x);
// Rotation a followed by b, as the engine's row-vector matrices compose them.
Quaternion Then(const Quaternion& a, const Quaternion& b);

}  // namespace galo
