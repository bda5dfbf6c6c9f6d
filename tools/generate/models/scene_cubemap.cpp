// The environment the chrome knot reflects, seen from (0, 0, 12) in all six
// directions: a checkered floor, a ring of pillars with spheres on top,
// ribs of arches crossing overhead into a dome and a far wall of panels.
#include <cmath>

#include "compound_files.h"
#include "mesh_builder.h"
#include "placement.h"
#include "scenery_shapes.h"

compound_file::File BuildSceneCubemap() {
    compound_file::File file;
    for (const char* name : {"RZ1", "RZ2"}) {
        compound_file::Material m;
        m.name = name;
        m.cullMode = 1;  // seen from inside and out
        file.materials.push_back(m);
    }
    file.materials[0].diffuse = {0.85f, 0.7f, 0.55f, 1};
    file.materials[1].diffuse = {0.35f, 0.55f, 0.8f, 1};

    constexpr float kTurn = 6.28318531f;
    mesh::MeshBuilder mb;
    // The floor: 4-unit tiles out to the wall, alternating materials.
    const int tiles = 15;
    const float tile = 4;
    for (int i = -tiles; i < tiles; ++i)
        for (int j = -tiles; j < tiles; ++j)
            scenery::FloorTile(mb, static_cast<uint32_t>((i + j) & 1), i * tile, j * tile, (i + 1) * tile,
                               (j + 1) * tile);

    // Twelve pillars in a ring of radius 26, alternating materials, each on a
    // plinth with a ring at the capital and a sphere on top.
    const int pillars = 12;
    const float ring = 26, height = 14;
    for (int i = 0; i < pillars; ++i) {
        const float a = kTurn * i / pillars;
        const Vec3 base{ring * std::cos(a), ring * std::sin(a), 0};
        const uint32_t m = static_cast<uint32_t>(i & 1), other = 1 - m;
        mb.Box(other, {1.8f, 1.8f, 0.5f}, mesh::Place(base + Vec3{0, 0, 0.5f}, mesh::AxisAngle({0, 0, 1}, a)));
        mb.Cylinder(m, 1.2f, 1.0f, height - 1, 20, mesh::Place(base + Vec3{0, 0, 1}));
        mb.Torus(other, 1.25f, 0.3f, 24, 10, mesh::Place(base + Vec3{0, 0, height - 0.6f}));
        mb.Box(other, {1.5f, 1.5f, 0.3f}, mesh::Place(base + Vec3{0, 0, height + 0.3f}, mesh::AxisAngle({0, 0, 1}, a)));
        mb.Sphere(m, 1.3f, 16, 24, mesh::Place(base + Vec3{0, 0, height + 0.6f + 1.3f}));
    }

    // Three arches from pillar to opposite pillar, crossing over the centre.
    const Quaternion upright = mesh::AxisAngle({1, 0, 0}, kTurn / 4);
    for (int i = 0; i < 3; ++i) {
        const float a = kTurn * (2 * i + 1) / pillars;
        scenery::TorusArc(mb, static_cast<uint32_t>(i & 1), ring, 0.8f, 0, kTurn / 2, 64, 12,
                          mesh::Place({}, upright) * mesh::Place({0, 0, height + 0.6f}, mesh::AxisAngle({0, 0, 1}, a)));
    }
    // A ring where the arches cross, and a low ring around the floor centre.
    mb.Torus(1, 6, 0.5f, 48, 12, mesh::Place({0, 0, 39.9f}));
    mb.Torus(0, 8, 0.35f, 48, 10, mesh::Place({0, 0, 0.35f}));
    // A far wall of panels closing the view at radius 60.
    const int panels = 32;
    for (int i = 0; i < panels; ++i) {
        const float a0 = kTurn * i / panels, a1 = kTurn * (i + 1) / panels;
        const Vec3 p0{60 * std::cos(a0), 60 * std::sin(a0), 0}, p1{60 * std::cos(a1), 60 * std::sin(a1), 0};
        scenery::FlatQuad(mb, static_cast<uint32_t>(i & 1), p1, p0, p0 + Vec3{0, 0, 30}, p1 + Vec3{0, 0, 30});
    }
    file.models.push_back(mb.Build("Entorno"));
    file.nodes.push_back(placement::ModelNode("Entorno", 0));

    const struct {
        const char* name;
        std::array<float, 4> colour;
        Vec3 position;
    } lights[] = {
        {"RZ.Red", {1.0f, 0.25f, 0.2f, 1}, {18, 0, 8}},
        {"RZ.Green", {0.25f, 1.0f, 0.4f, 1}, {0, 18, 8}},
        {"RZ.Blue", {0.25f, 0.4f, 1.0f, 1}, {-18, 0, 8}},
        {"RZ.Yellow", {1.0f, 0.85f, 0.2f, 1}, {0, -18, 8}},
        {"RZ.White", {0.9f, 0.85f, 1.0f, 1}, {0, 0, 28}},
    };
    for (const auto& l : lights) {
        file.nodes.push_back(placement::LightNode(l.name, static_cast<uint32_t>(file.lights.size()), l.position));
        file.lights.push_back({l.name, 0, 0.6f, l.colour, 1});
    }
    return file;
}
