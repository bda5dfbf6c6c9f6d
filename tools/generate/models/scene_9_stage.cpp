// The gates of the column background: six frame shapes standing upright in
// the plane y = 0 around the y axis, about 24 units across. The scene repeats
// one of them every 40 units along y into a blurred tunnel behind the rooster.
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "compound_files.h"
#include "mesh_builder.h"
#include "placement.h"
#include "scenery_shapes.h"

namespace {

constexpr float kTurn = 6.28318531f;
constexpr float kDepth = 1.6f;  // along y

using Outline = std::vector<std::pair<float, float>>;

// A broad frame with a thin lining inside it in the other material.
void DoubleFrame(mesh::MeshBuilder& mb, const Outline& outer, const Outline& lining) {
    scenery::PolygonFrame(mb, 0, outer, 1.8f, kDepth);
    scenery::PolygonFrame(mb, 1, lining, 0.5f, kDepth * 0.6f);
}

Outline Scaled(const Outline& points, float k) {
    Outline scaled;
    for (const auto& p : points) scaled.emplace_back(p.first * k, p.second * k);
    return scaled;
}

Outline Star(int points, float outer, float inner) {
    Outline star;
    for (int i = 0; i < 2 * points; ++i) {
        const float a = kTurn / 4 + kTurn * i / (2 * points), r = i & 1 ? inner : outer;
        star.emplace_back(std::cos(a) * r, std::sin(a) * r);
    }
    return star;
}

}  // namespace

compound_file::File BuildScene9Stage() {
    compound_file::File file;
    for (const char* name : {"BlueFloor", "R2"}) {
        compound_file::Material m;
        m.name = name;  // the engine gives them the tile texture and its shader
        m.cullMode = 1;
        file.materials.push_back(m);
    }
    file.materials[0].diffuse = {0.35f, 0.6f, 1.0f, 1};
    file.materials[1].diffuse = {1.0f, 0.4f, 0.3f, 1};

    std::vector<mesh::MeshBuilder> gates(6);
    // c0: a square frame.
    const Outline square = scenery::RegularPolygon(4, 12 * std::sqrt(2.0f), kTurn / 8);
    DoubleFrame(gates[0], square, Scaled(square, 0.84f));
    // c1: a circle.
    const Outline circle = scenery::RegularPolygon(48, 12, 0);
    DoubleFrame(gates[1], circle, Scaled(circle, 0.84f));
    // c2: a hexagon, flat at top and bottom.
    const Outline hexagon = scenery::RegularPolygon(6, 13, 0);
    DoubleFrame(gates[2], hexagon, Scaled(hexagon, 0.85f));
    // c3: a five-pointed star.
    DoubleFrame(gates[3], Star(5, 14, 6.5f), Star(5, 11.2f, 5.2f));
    // c4: a diamond, a square on its corner.
    const Outline diamond = scenery::RegularPolygon(4, 13.5f, kTurn / 4);
    DoubleFrame(gates[4], diamond, Scaled(diamond, 0.82f));
    // c5: a ring of boxes turned along the circle, alternating materials.
    for (int i = 0; i < 16; ++i) {
        const float a = kTurn * i / 16;
        const Vec3 radial{std::cos(a), 0, std::sin(a)}, along{-std::sin(a), 0, std::cos(a)};
        scenery::OrientedBox(gates[5], static_cast<uint32_t>(i & 1), radial * 11.5f, radial * 1.3f,
                             {0, kDepth / 2, 0}, along * 1.6f, 0.5f);
    }
    for (int i = 0; i < 6; ++i) {
        const std::string name = "c" + std::to_string(i);
        file.models.push_back(gates[i].Build(name));
        file.nodes.push_back(placement::ModelNode(name, static_cast<uint32_t>(i)));
    }

    // A slow half orbit in front of the rooster, on the -y side.
    file.cameras.push_back({"ID9", 0});
    const Vec3 target{0, 0, 1.8f};
    file.nodes.push_back(placement::CameraPath("ID9", 0,
                                               {{0, {-8, -10, 3}, target},
                                                {210, {-3, -12.4f, 3.7f}, target},
                                                {420, {3, -12.4f, 4.3f}, target},
                                                {630, {8, -10, 5}, target}}));
    return file;
}
