// The chrome knot: a trefoil tube reflecting the environment cube map, which
// is rendered from (0, 0, 12), so the knot is centred there. A knot has no
// symmetry about z but a three-fold one, so the music's spin shows.
#include <cmath>

#include "compound_files.h"
#include "mesh_builder.h"
#include "placement.h"
#include "scenery_shapes.h"

compound_file::File BuildScene6() {
    compound_file::File file;
    compound_file::Material chrome;
    chrome.name = "Brilhante";  // the engine gives it the cube map in slot 0
    chrome.diffuse = {0.85f, 0.85f, 0.9f, 1};
    file.materials.push_back(chrome);

    constexpr float kTurn = 6.28318531f;
    // (2 + cos 3t) around twice, sin 3t up and down: about 2.9 across, scaled to ~2.4 plus the tube.
    const float scale = 0.8f, tube = 0.62f;
    auto curve = [&](float t) {
        const float a = kTurn * t;
        const float r = 2 + std::cos(3 * a);
        return Vec3{r * std::cos(2 * a), r * std::sin(2 * a), 1.3f * std::sin(3 * a)} * scale;
    };
    // Outward from the z axis: never along the curve, whose turn about z never stops.
    auto reference = [&](float t) {
        const float a = kTurn * t;
        return Vec3{std::cos(2 * a), std::sin(2 * a), 0};
    };
    mesh::MeshBuilder mb;
    scenery::Tube(mb, 0, curve, reference, tube, 360, 28);
    file.models.push_back(mb.Build("Sphere"));
    file.nodes.push_back(placement::ModelNode("Sphere", 0, {0, 0, 12}));

    file.cameras.push_back({"ID6", 0});
    file.nodes.push_back(placement::CameraNode("ID6", 0, {0, -9.2f, 15.8f}, {0, 0, 12}));
    return file;
}
