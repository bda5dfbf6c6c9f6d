#include "gltf_space.h"

#include <cmath>

namespace gltf_space {

namespace {

// A quarter turn about x takes glTF's up (+y) to the engine's up (+z).
const float kHalf = std::sqrt(0.5f);
const Quaternion kUpToZ{kHalf, 0, 0, kHalf};

}  // namespace

Vec3 ToEngine(Vec3 g) { return {g.x, -g.z, g.y}; }
Vec3 ToGltf(Vec3 e) { return {e.x, e.z, -e.y}; }
Quaternion ToEngine(Quaternion g) { return Multiply(kUpToZ, g); }
Quaternion ToGltf(Quaternion e) { return Multiply(Inverse(kUpToZ), e); }

Quaternion Multiply(const Quaternion& a, const Quaternion& b) {
    return {a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y, a.w * b.y - a.x * b.z + a.y * b.w + a.z * b.x,
            a.w * b.z + a.x * b.y - a.y * b.x + a.z * b.w, a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z};
}

Quaternion Inverse(const Quaternion& q) { return {-q.x, -q.y, -q.z, q.w}; }

Vec3 Rotate(const Quaternion& q, Vec3 v) {
    const Quaternion r = Multiply(Multiply(q, {v.x, v.y, v.z, 0}), Inverse(q));
    return {r.x, r.y, r.z};
}

}  // namespace gltf_space
