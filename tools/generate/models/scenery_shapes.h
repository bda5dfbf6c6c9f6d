// Shapes the scenery generators share beyond the basic ones of MeshBuilder:
// boxes along arbitrary axes, beams, block lettering from the pixel font,
// torus arcs, mitred polygon frames, tube surfaces and floor tiles.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "mesh_builder.h"

namespace scenery {

// A fixed texture coordinate for every vertex of a shape (for materials whose
// shader reads the uv as a position, not as a texture).
using FixedUv = std::optional<std::pair<float, float>>;

// A quad whose normal follows from its winding (a, b, c counter-clockwise).
void FlatQuad(mesh::MeshBuilder& mb, uint32_t material, Vec3 a, Vec3 b, Vec3 c, Vec3 d, float u0 = 0, float v0 = 0,
              float u1 = 1, float v1 = 1, FixedUv uv = {});

// A box about centre spanned by the half-axes hx, hy, hz (a right-handed set).
// Each face's uv runs 0..uvScale x its edge length unless uv fixes it.
void OrientedBox(mesh::MeshBuilder& mb, uint32_t material, Vec3 centre, Vec3 hx, Vec3 hy, Vec3 hz,
                 float uvScale = 0, FixedUv uv = {});

// A beam from a to b, width across along side (made perpendicular), depth across both.
void Beam(mesh::MeshBuilder& mb, uint32_t material, Vec3 a, Vec3 b, float width, float depth, Vec3 side,
          float uvScale = 0, FixedUv uv = {});

// Width of text in font pixels (one blank column between glyphs).
int TextColumns(const std::string& text);
// Upright block letters, one box per lit font pixel, in the plane y = origin.y
// facing -y and reading along +x; origin is the bottom-left corner of the text,
// each pixel pitch units square and depth deep (+y); fill < 1 leaves gaps.
void BlockText(mesh::MeshBuilder& mb, uint32_t material, const std::string& text, Vec3 origin, float pitch,
               float depth, float fill = 1);

// The part of a torus about z in the plane z = 0 from angle a0 to a1, with
// smooth normals and flat end caps.
void TorusArc(mesh::MeshBuilder& mb, uint32_t material, float radius, float tube, float a0, float a1, int rings,
              int segments, const Matrix& place = {});

// A closed polygon frame in the plane y = 0 (points as (x, z)), mitred at the
// corners, width wide in the plane and depth deep along y.
void PolygonFrame(mesh::MeshBuilder& mb, uint32_t material, const std::vector<std::pair<float, float>>& points,
                  float width, float depth, float uvScale = 0.25f);
// The regular polygon of n corners of the given radius in the plane y = 0, first corner at angle start.
std::vector<std::pair<float, float>> RegularPolygon(int n, float radius, float start);

// A closed tube around the curve c(t), t in 0..1, with a smooth frame taken
// from reference(t) (must never be parallel to the curve).
void Tube(mesh::MeshBuilder& mb, uint32_t material, const std::function<Vec3(float)>& curve,
          const std::function<Vec3(float)>& reference, float radius, int steps, int segments);

// A flat square tile in the plane z = height facing +z, uv 0..1 over it.
void FloorTile(mesh::MeshBuilder& mb, uint32_t material, float x0, float y0, float x1, float y1, float height = 0);

// A fixed-seed integer hash in 0..1, for deterministic variation.
float Hash01(int x, int y, int seed);

}  // namespace scenery
