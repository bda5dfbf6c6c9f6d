// glTF is y-up, the engine's world is z-up like Blender's; both are
// right-handed and look along a camera's -z. A node's placement is turned a
// quarter about x on the way in; vertices stay in their model's own space.
#pragma once

#include "model/matrix.h"

namespace gltf_space {

Vec3 ToEngine(Vec3 gltf);
Vec3 ToGltf(Vec3 engine);
Quaternion ToEngine(Quaternion gltf);
Quaternion ToGltf(Quaternion engine);

// Hamilton product: b acts first, then a.
Quaternion Multiply(const Quaternion& a, const Quaternion& b);
Quaternion Inverse(const Quaternion& q);  // of a unit quaternion
Vec3 Rotate(const Quaternion& q, Vec3 v);

}  // namespace gltf_space
