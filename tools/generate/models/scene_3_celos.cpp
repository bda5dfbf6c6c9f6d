// The skies: an aisle of floating rings and arches receding in depth, with
// spheres on pedestals along both sides, inside the glow quad the scene lays
// on the floor (x -20..20, y 0..40) and mirrored below it.
#include <cmath>

#include "compound_files.h"
#include "mesh_builder.h"
#include "placement.h"
#include "scenery_shapes.h"

namespace {

constexpr float kHalfTurn = 3.14159265f;

}  // namespace

compound_file::File BuildScene3Celos() {
    compound_file::File file;
    compound_file::Material celos;
    celos.name = "Celos";
    celos.diffuse = {0.4f, 0.42f, 0.48f, 1};
    celos.cullMode = 1;  // drawn mirrored too
    file.materials.push_back(celos);

    mesh::MeshBuilder mb;
    // Upright rings over the aisle, each a little more tilted than the last.
    const Quaternion upright = mesh::AxisAngle({1, 0, 0}, kHalfTurn / 2);
    for (int i = 0; i < 4; ++i) {
        const float y = 9 + 8 * i;
        const Quaternion tilt = mesh::AxisAngle({0, 1, 0}, 0.18f * i);
        mb.Torus(0, 3.2f, 0.28f, 48, 12, mesh::Place({}, upright) * mesh::Place({0, y, 5.2f}, tilt));
        mb.Torus(0, 2.3f, 0.1f, 40, 8,
                 mesh::Place({}, upright) * mesh::Place({0, y, 5.2f}, mesh::AxisAngle({0, 1, 0}, -0.3f * i)));
    }

    // Arches spanning the aisle between the rings: two posts and a half torus.
    for (int i = 0; i < 3; ++i) {
        const float y = 13 + 8 * i, half = 8.5f, posts = 3.0f;
        for (float x : {-half, half}) {
            mb.Box(0, {0.9f, 0.9f, 0.15f}, mesh::Place({x, y, 0.15f}));
            mb.Cylinder(0, 0.45f, 0.45f, posts, 16, mesh::Place({x, y, 0.3f}));
        }
        scenery::TorusArc(mb, 0, half, 0.45f, 0, kHalfTurn, 40, 12, mesh::Place({0, y, posts + 0.3f}, upright));
    }

    // Spheres on pedestals along both sides, smaller with depth.
    for (int i = 0; i < 5; ++i) {
        const float y = 7 + 7 * i, size = 1.3f - 0.12f * i;
        for (float x : {-12.5f, 12.5f}) {
            mb.Cylinder(0, 1.0f, 0.8f, 0.3f, 20, mesh::Place({x, y, 0}));
            mb.Cylinder(0, 0.5f, 0.4f, 2.0f, 16, mesh::Place({x, y, 0.3f}));
            mb.Cylinder(0, 0.55f, 0.75f, 0.25f, 20, mesh::Place({x, y, 2.3f}));
            mb.Sphere(0, size, 16, 24, mesh::Place({x, y, 2.55f + size}));
        }
    }
    // One large sphere floating at the end of the aisle.
    mb.Sphere(0, 2.4f, 24, 36, mesh::Place({0, 38, 6.5f}));
    file.models.push_back(mb.Build("Celos"));
    file.nodes.push_back(placement::ModelNode("Celos", 0));

    file.cameras.push_back({"Celos", 0});
    file.nodes.push_back(placement::CameraNode("Celos", 0, {0, -14, 3.2f}, {0, 18, 4.5f}));

    const struct {
        const char* name;
        std::array<float, 4> colour;
        Vec3 position;
    } lights[] = {
        {"Celos.Orange", {1.0f, 0.45f, 0.1f, 1}, {-6, 6, 3}},
        {"Celos.Blue", {0.15f, 0.45f, 1.0f, 1}, {6, 6, 3}},
        {"Celos.Rose", {1.0f, 0.2f, 0.5f, 1}, {-5, 20, 9}},
        {"Celos.Teal", {0.1f, 1.0f, 0.75f, 1}, {5, 20, 9}},
        {"Celos.Gold", {1.0f, 0.85f, 0.2f, 1}, {0, 32, 4}},
    };
    for (const auto& l : lights) {
        file.nodes.push_back(placement::LightNode(l.name, static_cast<uint32_t>(file.lights.size()), l.position));
        file.lights.push_back({l.name, 0, 0.6f, l.colour, 1});
    }
    return file;
}
