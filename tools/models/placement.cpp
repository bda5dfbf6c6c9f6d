#include "placement.h"

#include <cmath>

#include "mesh_builder.h"

namespace placement {

using mesh::Cross;
using mesh::Normalise;

// The inverse of the engine's quaternion matrix, for a pure rotation whose
// rows are the images of the camera's x, y and z axes.
Quaternion LookRotation(Vec3 eye, Vec3 target) {
    const Vec3 forward = Normalise(target - eye);
    Vec3 right = Cross(forward, {0, 0, 1});
    if (mesh::Dot(right, right) < 1e-8f) right = {1, 0, 0};
    right = Normalise(right);
    const Vec3 up = Cross(right, forward);
    const Vec3 back = forward * -1.0f;
    const float m11 = right.x, m12 = right.y, m13 = right.z;
    const float m21 = up.x, m22 = up.y, m23 = up.z;
    const float m31 = back.x, m32 = back.y, m33 = back.z;
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

compound_file::Node ModelNode(const std::string& name, uint32_t model, Vec3 position, Quaternion rotation,
                              Vec3 scale) {
    compound_file::Node node;
    node.name = name;
    node.flags = NODE_MODEL;
    node.datablock = model;
    node.position = position;
    node.rotation = rotation;
    node.scale = scale;
    return node;
}

compound_file::Node LightNode(const std::string& name, uint32_t light, Vec3 position) {
    compound_file::Node node;
    node.name = name;
    node.flags = NODE_LIGHT;
    node.datablock = light;
    node.position = position;
    return node;
}

compound_file::Node CameraNode(const std::string& name, uint32_t camera, Vec3 eye, Vec3 target) {
    compound_file::Node node;
    node.name = name;
    node.flags = NODE_CAMERA;
    node.datablock = camera;
    node.position = eye;
    node.rotation = LookRotation(eye, target);
    return node;
}

compound_file::Node CameraPath(const std::string& name, uint32_t camera, const std::vector<PathPoint>& points) {
    compound_file::Node node = CameraNode(name, camera, points.front().eye, points.front().target);
    std::vector<NodeKey> keys;
    Quaternion previous;
    for (size_t i = 0; i < points.size(); ++i) {
        const Vec3 before = points[i > 0 ? i - 1 : i].eye, after = points[i + 1 < points.size() ? i + 1 : i].eye;
        // A third of the Catmull-Rom tangent on each side gives a C1 Bezier path.
        const Vec3 tangent = (after - before) * (1.0f / 6.0f);
        Quaternion q = LookRotation(points[i].eye, points[i].target);
        // Keep neighbouring rotations in one hemisphere so the blend takes the short way.
        if (i > 0 && q.x * previous.x + q.y * previous.y + q.z * previous.z + q.w * previous.w < 0)
            q = {-q.x, -q.y, -q.z, -q.w};
        previous = q;
        NodeKey key;
        key.time = points[i].time;
        key.position = points[i].eye;
        key.positionIn = points[i].eye - tangent;
        key.positionOut = points[i].eye + tangent;
        key.rotationIn = key.rotation = key.rotationOut = q;
        keys.push_back(key);
    }
    node.track = keys;
    return node;
}

}  // namespace placement
