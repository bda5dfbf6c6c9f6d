// The bar: the demo's name in big block letters standing on a long counter,
// a row of stools in front and lamp posts at the ends, under pulsing coloured lights.
// Everything stays inside the glow quad (x -20..20, y 0..40) the scene lays
// on the floor, and is drawn mirrored below it as well.
#include <cmath>

#include "compound_files.h"
#include "mesh_builder.h"
#include "placement.h"
#include "scenery_shapes.h"

compound_file::File BuildScene1Bar() {
    compound_file::File file;
    compound_file::Material letters;
    letters.name = "LetrasBar";
    letters.diffuse = {0.36f, 0.34f, 0.4f, 1};
    letters.cullMode = 1;  // drawn mirrored too
    file.materials.push_back(letters);

    mesh::MeshBuilder mb;
    // The counter the letters stand on: a plinth with a lip along its top.
    const float counterTop = 1.5f;
    mb.Box(0, {14.5f, 1.6f, counterTop / 2}, mesh::Place({0, 15, counterTop / 2}));
    mb.Box(0, {14.9f, 1.9f, 0.09f}, mesh::Place({0, 15, counterTop + 0.09f}));
    mb.Box(0, {14.2f, 0.12f, 0.1f}, mesh::Place({0, 13.25f, 0.35f}));  // foot rail

    // "HALCYON", 41 font columns of 0.6 units: about 25 wide, 4.2 high.
    const std::string word = "HALCYON";
    const float pitch = 0.6f;
    const float width = scenery::TextColumns(word) * pitch;
    scenery::BlockText(mb, 0, word, {-width / 2, 14.3f, counterTop + 0.18f}, pitch, 1.1f, 0.9f);

    // Stools in front of the counter.
    for (int i = 0; i < 6; ++i) {
        const float x = -11.25f + 4.5f * i;
        mb.Cylinder(0, 0.55f, 0.35f, 0.12f, 20, mesh::Place({x, 10.5f, 0}));
        mb.Cylinder(0, 0.12f, 0.12f, 0.9f, 10, mesh::Place({x, 10.5f, 0.12f}));
        mb.Torus(0, 0.38f, 0.05f, 20, 6, mesh::Place({x, 10.5f, 0.5f}));
        mb.Cylinder(0, 0.6f, 0.62f, 0.2f, 24, mesh::Place({x, 10.5f, 1.0f}));
    }

    // Lamp posts at both ends of the counter, with a ring at the top.
    for (float x : {-14, 14}) {
        mb.Cylinder(0, 0.5f, 0.3f, 0.3f, 20, mesh::Place({x, 17.5f, 0}));
        mb.Cylinder(0, 0.18f, 0.14f, 7.2f, 12, mesh::Place({x, 17.5f, 0.3f}));
        mb.Torus(0, 0.7f, 0.12f, 28, 8, mesh::Place({x, 17.5f, 7.7f}, mesh::AxisAngle({1, 0, 0}, 1.5708f)));
    }
    file.models.push_back(mb.Build("Bar"));
    file.nodes.push_back(placement::ModelNode("Bar", 0));

    file.cameras.push_back({"Bar", 0});
    file.nodes.push_back(placement::CameraNode("Bar", 0, {0, -18, 3.8f}, {0, 14, 3}));

    // Saturated lights along the word, alternating in front and above.
    const struct {
        const char* name;
        std::array<float, 4> colour;
        Vec3 position;
    } lights[] = {
        {"Bar.Magenta", {1.0f, 0.15f, 0.75f, 1}, {-11, 9, 4.5f}},
        {"Bar.Cyan", {0.1f, 0.85f, 1.0f, 1}, {-5, 11, 8}},
        {"Bar.Amber", {1.0f, 0.6f, 0.1f, 1}, {0, 8, 3.5f}},
        {"Bar.Green", {0.3f, 1.0f, 0.35f, 1}, {5, 11, 8}},
        {"Bar.Violet", {0.55f, 0.25f, 1.0f, 1}, {11, 9, 4.5f}},
    };
    for (const auto& l : lights) {
        file.nodes.push_back(placement::LightNode(l.name, static_cast<uint32_t>(file.lights.size()), l.position));
        file.lights.push_back({l.name, 0, 0.6f, l.colour, 1});
    }
    return file;
}
