#include "project_models.h"

#include <cmath>

#include "compound_files.h"
#include "mesh_builder.h"
#include "placement.h"
#include "stage_lights.h"

namespace {

compound_file::Material Plain(const char* name, std::array<float, 4> diffuse) {
    compound_file::Material material;
    material.name = name;
    material.diffuse = diffuse;
    return material;
}

// A whole turn about z over 100 keys, a key each quarter.
std::vector<NodeKey> Turn(Vec3 position) {
    std::vector<NodeKey> keys;
    for (int i = 0; i <= 4; ++i) {
        NodeKey key;
        key.time = 25.0f * i;
        key.positionIn = key.position = key.positionOut = position;
        const Quaternion q = mesh::AxisAngle({0, 0, 1}, static_cast<float>(M_PI) * 0.5f * i);
        key.rotationIn = key.rotation = key.rotationOut = q;
        keys.push_back(key);
    }
    return keys;
}

}  // namespace

compound_file::File BuildSpinner() {
    compound_file::File file;
    file.materials = {Plain("Floor", {0.25f, 0.27f, 0.35f, 1}), Plain("Block", {0.95f, 0.55f, 0.2f, 1}),
                      Plain("Ring", {0.3f, 0.6f, 1.0f, 1})};
    mesh::MeshBuilder floor, block, ring;
    floor.Box(0, {6, 6, 0.1f}, mesh::Place({0, 0, -0.1f}));
    block.Box(1, {0.7f, 0.7f, 0.7f}, mesh::Place({0, 0, 0.7f}, mesh::AxisAngle({0, 0, 1}, 0.6f)));
    ring.Torus(2, 1.8f, 0.25f, 48, 16, mesh::Place({0, 0, 0}, mesh::AxisAngle({1, 0, 0}, 1.2f)));
    file.models = {floor.Build("Floor"), block.Build("Block"), ring.Build("Ring")};
    file.nodes.push_back(placement::ModelNode("Floor", 0));
    file.nodes.push_back(placement::ModelNode("Block", 1));
    compound_file::Node turning = placement::ModelNode("Ring", 2, {0, 0, 1.4f});
    turning.track = Turn({0, 0, 1.4f});
    file.nodes.push_back(turning);
    stage::AddCamera(file, "Front", {0, -7.5f, 3.2f}, {0, 0, 1.2f});
    file.cameras.push_back({"Orbit", 0});
    file.nodes.push_back(placement::CameraPath("Orbit", 1,
                                               {{0, {6, -5, 4}, {0, 0, 1}},
                                                {50, {-6, -5, 2.5f}, {0, 0, 1}},
                                                {100, {-5, 6, 4}, {0, 0, 1}}}));
    stage::AddLight(file, "Key", {1.0f, 0.85f, 0.6f}, 0.8f, {3, -4, 5});
    stage::AddLight(file, "Rim", {0.4f, 0.6f, 1.0f}, 0.7f, {-3, 3, 3});
    return file;
}

compound_file::File BuildRooster() {
    compound_file::File file = BuildGalo();
    stage::AddCamera(file, "Front", {2, -9, 2.5f}, {0, 0, 1.7f});
    stage::AddLight(file, "Key", {1.0f, 0.75f, 0.45f}, 0.6f, {3.5f, -5.0f, 4.5f});
    stage::AddLight(file, "Fill", {0.3f, 0.55f, 1.0f}, 0.6f, {-4.5f, -3.0f, 2.5f});
    stage::AddLight(file, "Back", {1.0f, 0.3f, 0.6f}, 0.6f, {0.5f, 4.0f, 3.5f});
    return file;
}
