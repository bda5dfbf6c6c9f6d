#include "placement.h"

#include "mesh_builder.h"

namespace placement {

using mesh::Cross;
using mesh::Normalise;

// The camera's x, y and z axes are the rows of its rotation.
Quaternion LookRotation(Vec3 eye, Vec3 target) {
    const Vec3 forward = Normalise(target - eye);
    Vec3 right = Cross(forward, {0, 0, 1});
    if (mesh::Dot(right, right) < 1e-8f) right = {1, 0, 0};
    right = Normalise(right);
    const Vec3 up = Cross(right, forward);
    const Vec3 back = forward * -1.0f;
    Matrix rows;
    rows.m[0][0] = right.x, rows.m[0][1] = right.y, rows.m[0][2] = right.z;
    rows.m[1][0] = up.x, rows.m[1][1] = up.y, rows.m[1][2] = up.z;
    rows.m[2][0] = back.x, rows.m[2][1] = back.y, rows.m[2][2] = back.z;
    return mesh::RotationOf(rows);
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
