// The pattern floors: 22 translucent tile patterns in the plane z = 0 around
// the rooster, out to a radius of about 8. The scene flips between the two
// of a pair quickly, so each odd pattern is its even partner inverted.
#include <cmath>
#include <functional>
#include <string>

#include "compound_files.h"
#include "mesh_builder.h"
#include "placement.h"
#include "scenery_shapes.h"

namespace {

constexpr float kTurn = 6.28318531f;
constexpr float kRadius = 8.2f;
constexpr float kGap = 0.04f;  // between tiles, so they read as tiles

int Wrap(int value, int period) { return ((value % period) + period) % period; }

// Which material a 1-unit tile gets, from the tile's centre (x, y).
using Rule = std::function<int(float x, float y, int i, int j)>;

compound_file::Model Pattern(const std::string& name, const Rule& rule, bool inverted) {
    mesh::MeshBuilder mb;
    const int extent = static_cast<int>(std::ceil(kRadius));
    for (int i = -extent; i < extent; ++i)
        for (int j = -extent; j < extent; ++j) {
            const float x = i + 0.5f, y = j + 0.5f;
            if (x * x + y * y > kRadius * kRadius) continue;
            const int material = (rule(x, y, i, j) & 1) ^ (inverted ? 1 : 0);
            scenery::FloorTile(mb, static_cast<uint32_t>(material), i + kGap, j + kGap, i + 1 - kGap, j + 1 - kGap);
        }
    return mb.Build(name);
}

}  // namespace

compound_file::File BuildScene7Padroes() {
    compound_file::File file;
    for (const char* name : {"BlueFloor", "R2"}) {
        compound_file::Material m;
        m.name = name;  // the engine wires the tile texture and the floor shader
        m.flags = 0x04;
        m.blendMode = 1;
        m.cullMode = 1;
        file.materials.push_back(m);
    }
    file.materials[0].diffuse = {0.12f, 0.28f, 0.75f, 1};
    file.materials[1].diffuse = {0.75f, 0.14f, 0.08f, 1};

    auto radius = [](float x, float y) { return std::sqrt(x * x + y * y); };
    auto angle = [](float x, float y) { return std::atan2(y, x) / kTurn + 0.5f; };  // 0..1
    // Eleven designs; each is written as itself and inverted.
    const Rule designs[11] = {
        // Checkerboard.
        [](float, float, int i, int j) { return i + j; },
        // Concentric rings, one tile wide.
        [&](float x, float y, int, int) { return static_cast<int>(radius(x, y)); },
        // A four-armed spiral.
        [&](float x, float y, int, int) {
            return static_cast<int>(std::floor(angle(x, y) * 8 + radius(x, y) * 0.45f));
        },
        // Stripes across x.
        [](float, float, int i, int) { return i; },
        // Diagonal stripes two tiles wide.
        [](float, float, int i, int j) { return Wrap(i + j, 4) / 2; },
        // A checkerboard of 2 x 2 blocks.
        [](float, float, int i, int j) { return Wrap(i, 4) / 2 + Wrap(j, 4) / 2; },
        // Diamonds: bands of |x| + |y|.
        [](float x, float y, int, int) { return static_cast<int>((std::fabs(x) + std::fabs(y)) / 1.5f); },
        // Eight pie wedges.
        [&](float x, float y, int, int) { return static_cast<int>(angle(x, y) * 8); },
        // A cross through the middle, with a ring around it.
        [&](float x, float y, int, int) {
            const float r = radius(x, y);
            return (std::fabs(x) < 1.1f || std::fabs(y) < 1.1f || (r > 5.2f && r < 6.6f)) ? 1 : 0;
        },
        // Stripes along x, then across: a woven look.
        [](float, float, int i, int j) { return Wrap(i, 2) == 0 ? Wrap(j, 3) == 0 : Wrap(j, 3) != 1; },
        // Scattered tiles from a fixed hash, denser towards the middle.
        [&](float x, float y, int i, int j) {
            return scenery::Hash01(i, j, 7) < 0.75f - 0.06f * radius(x, y) ? 1 : 0;
        },
    };
    for (int d = 0; d < 11; ++d)
        for (int inverted = 0; inverted < 2; ++inverted) {
            const int index = 2 * d + inverted;
            const std::string name = "p" + std::to_string(index);
            file.models.push_back(Pattern(name, designs[d], inverted != 0));
            file.nodes.push_back(placement::ModelNode(name, static_cast<uint32_t>(index)));
        }

    file.cameras.push_back({"ID7", 0});
    file.nodes.push_back(placement::CameraNode("ID7", 0, {0, -10, 4}, {0, 0, 1}));
    return file;
}
