#include "galo_shapes.h"

#include <algorithm>
#include <cmath>

namespace galo {

using mesh::Cross;
using mesh::Dot;
using mesh::Normalise;

float SmoothStep(float edge0, float edge1, float x) {
    const float t = std::clamp((x - edge0) / (edge1 - edge0), 0.0f, 1.0f);
    return t * t * (3 - 2 * t);
}

// The Hamilton product b a.
Quaternion Then(const Quaternion& a, const Quaternion& b) {
    return {b.w * a.x + b.x * a.w + b.y * a.z - b.z * a.y, b.w * a.y - b.x * a.z + b.y * a.w + b.z * a.x,
            b.w * a.z + b.x * a.y - b.y * a.x + b.z * a.w, b.w * a.w - b.x * a.x - b.y * a.y - b.z * a.z};
}

mesh::Skin Rigid(int bone) {
    mesh::Skin s;
    s.bones = {float(bone), 0, 0, 0};
    s.weights = {1, 0, 0, 0};
    return s;
}

mesh::Skin Blend2(int a, int b, float t) {
    t = std::clamp(t, 0.0f, 1.0f);
    mesh::Skin s;
    s.bones = {float(a), float(b), 0, 0};
    s.weights = {1 - t, t, 0, 0};
    return s;
}

void Sculptor::Piece(float u, SkinRule skin) {
    u_ = u;
    skin_ = std::move(skin);
}

// Adding +0 folds -0 into +0, as the builder's identity transform does.
Sculptor::Key Sculptor::KeyOf(Vec3 p) { return {p.x + 0.0f, p.y + 0.0f, p.z + 0.0f}; }

mesh::Vertex Sculptor::Emit(Vec3 p, Vec3 n) {
    skins_[KeyOf(p)] = skin_(p);
    // v follows height so the palette swatch can shade along the body.
    return mesh::Vertex{p, Normalise(n), u_, std::clamp(p.z / 3.6f, 0.0f, 1.0f)};
}

mesh::Skin Sculptor::SkinAt(Vec3 p, const mesh::Skin& fallback) const {
    const auto found = skins_.find(KeyOf(p));
    return found == skins_.end() ? fallback : found->second;
}

void Sculptor::Quad(const mesh::Vertex& a, const mesh::Vertex& b, const mesh::Vertex& c, const mesh::Vertex& d) {
    builder_.Quad(0, a, b, c, d);
}

void Sculptor::Ellipsoid(Vec3 centre, Vec3 radii, Quaternion rotation, int rings, int segments) {
    Matrix turn;
    turn.Rotation(rotation);
    auto point = [&](int ring, int segment) {
        const float theta = float(M_PI) * ring / rings, phi = 2 * float(M_PI) * segment / segments;
        const Vec3 unit{std::sin(theta) * std::cos(phi), std::sin(theta) * std::sin(phi), std::cos(theta)};
        const Vec3 local{unit.x * radii.x, unit.y * radii.y, unit.z * radii.z};
        const Vec3 normal{unit.x / radii.x, unit.y / radii.y, unit.z / radii.z};
        return Emit(mesh::TransformPoint(local, turn) + centre, mesh::TransformPoint(normal, turn));
    };
    // Same corner order as MeshBuilder::Sphere: counter-clockwise from outside.
    for (int r = 0; r < rings; ++r)
        for (int s = 0; s < segments; ++s) Quad(point(r, s), point(r + 1, s), point(r + 1, s + 1), point(r, s + 1));
}

void Sculptor::Tube(const std::vector<Vec3>& path, const std::vector<Radii>& radii, Vec3 up, int segments) {
    const size_t count = path.size();
    if (count < 2 || radii.size() != count) return;
    // A frame per point: forward along the path, side and up across it.
    std::vector<Vec3> forward(count), side(count), upward(count);
    for (size_t i = 0; i < count; ++i) {
        const Vec3 before = path[i > 0 ? i - 1 : i], after = path[i + 1 < count ? i + 1 : i];
        forward[i] = Normalise(after - before);
        side[i] = Normalise(Cross(forward[i], up));
        upward[i] = Cross(side[i], forward[i]);
    }
    auto ring = [&](size_t i, int s) {
        const float a = 2 * float(M_PI) * s / segments;
        const float c = std::cos(a), d = std::sin(a);
        const Radii r = radii[i];
        const Vec3 p = path[i] + side[i] * (c * r.side) + upward[i] * (d * r.up);
        // The section's normal; a vanishing radius leaves the direction of the larger one.
        const float ns = r.side > 1e-4f ? c / r.side : c, nu = r.up > 1e-4f ? d / r.up : d;
        return Emit(p, side[i] * ns + upward[i] * nu);
    };
    // side x up = -forward: stepping along the path first, then around the
    // section, runs counter-clockwise seen from outside.
    for (size_t i = 0; i + 1 < count; ++i)
        for (int s = 0; s < segments; ++s) Quad(ring(i, s), ring(i + 1, s), ring(i + 1, s + 1), ring(i, s + 1));
    auto cap = [&](size_t i, float direction) {
        if (radii[i].side < 1e-4f && radii[i].up < 1e-4f) return;
        const Vec3 n = forward[i] * direction;
        const mesh::Vertex centre = Emit(path[i], n);
        for (int s = 0; s < segments; ++s) {
            mesh::Vertex a = ring(i, s), b = ring(i, s + 1);
            a.normal = b.normal = n;
            if (direction > 0)
                builder_.Triangle(0, centre, b, a);
            else
                builder_.Triangle(0, centre, a, b);
        }
    };
    cap(0, -1);
    cap(count - 1, 1);
}

}  // namespace galo
