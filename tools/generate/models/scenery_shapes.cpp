#include "scenery_shapes.h"

#include <cmath>
#include <cstdint>

#include "pixel_font.h"

namespace scenery {

using mesh::Cross;
using mesh::Dot;
using mesh::MeshBuilder;
using mesh::Normalise;
using mesh::Vertex;

namespace {

constexpr float kPi = 3.14159265358979f;

float Length(Vec3 a) { return std::sqrt(Dot(a, a)); }

// Stores a quad so that it winds counter-clockwise seen from facing.
void FacingQuad(MeshBuilder& mb, uint32_t material, Vertex a, Vertex b, Vertex c, Vertex d, Vec3 facing,
                const Matrix& place = {}) {
    const Vec3 n = Cross(b.position - a.position, c.position - a.position);
    const Vec3 m = Cross(c.position - a.position, d.position - a.position);
    if (Dot(n, facing) + Dot(m, facing) < 0)
        mb.Quad(material, a, d, c, b, place);
    else
        mb.Quad(material, a, b, c, d, place);
}

void FacingTriangle(MeshBuilder& mb, uint32_t material, Vertex a, Vertex b, Vertex c, Vec3 facing,
                    const Matrix& place = {}) {
    if (Dot(Cross(b.position - a.position, c.position - a.position), facing) < 0)
        mb.Triangle(material, a, c, b, place);
    else
        mb.Triangle(material, a, b, c, place);
}

Vertex At(Vec3 p, Vec3 n, float u, float v, const FixedUv& uv) {
    if (uv) return {p, n, uv->first, uv->second};
    return {p, n, u, v};
}

}  // namespace

void FlatQuad(MeshBuilder& mb, uint32_t material, Vec3 a, Vec3 b, Vec3 c, Vec3 d, float u0, float v0, float u1,
              float v1, FixedUv uv) {
    Vec3 n = Cross(b - a, c - a);
    if (Dot(n, n) < 1e-12f) n = Cross(c - a, d - a);
    n = Normalise(n);
    mb.Quad(material, At(a, n, u0, v1, uv), At(b, n, u1, v1, uv), At(c, n, u1, v0, uv), At(d, n, u0, v0, uv));
}

void OrientedBox(MeshBuilder& mb, uint32_t material, Vec3 centre, Vec3 hx, Vec3 hy, Vec3 hz, float uvScale,
                 FixedUv uv) {
    // Each face: its outward half-axis n and in-plane half-axes s, t with s x t along n.
    const Vec3 faces[6][3] = {{hx, hy, hz},         {hx * -1, hz, hy}, {hy, hz, hx},
                              {hy * -1, hx, hz},    {hz, hx, hy},      {hz * -1, hy, hx}};
    for (const auto& f : faces) {
        const Vec3 n = f[0], s = f[1], t = f[2];
        const Vec3 normal = Normalise(n);
        const float us = uvScale > 0 ? 2 * Length(s) * uvScale : 1, vs = uvScale > 0 ? 2 * Length(t) * uvScale : 1;
        const Vec3 o = centre + n;
        mb.Quad(material, At(o - s - t, normal, 0, vs, uv), At(o + s - t, normal, us, vs, uv),
                At(o + s + t, normal, us, 0, uv), At(o - s + t, normal, 0, 0, uv));
    }
}

void Beam(MeshBuilder& mb, uint32_t material, Vec3 a, Vec3 b, float width, float depth, Vec3 side, float uvScale,
          FixedUv uv) {
    const Vec3 axis = b - a;
    const float length = Length(axis);
    if (length <= 0) return;
    const Vec3 dir = axis * (1 / length);
    Vec3 across = side - dir * Dot(side, dir);
    if (Dot(across, across) < 1e-10f) across = std::fabs(dir.z) < 0.9f ? Vec3{0, 0, 1} : Vec3{1, 0, 0};
    across = Normalise(across - dir * Dot(across, dir));
    OrientedBox(mb, material, (a + b) * 0.5f, dir * (length / 2), across * (width / 2),
                Cross(dir, across) * (depth / 2), uvScale, uv);
}

int TextColumns(const std::string& text) {
    return text.empty() ? 0 : static_cast<int>(text.size()) * (kGlyphColumns + 1) - 1;
}

void BlockText(MeshBuilder& mb, uint32_t material, const std::string& text, Vec3 origin, float pitch, float depth,
               float fill) {
    const float half = pitch * fill / 2;
    for (size_t i = 0; i < text.size(); ++i)
        for (int row = 0; row < kGlyphRows; ++row)
            for (int column = 0; column < kGlyphColumns; ++column) {
                if (!GlyphPixel(text[i], column, row)) continue;
                const float x = origin.x + (float(i) * (kGlyphColumns + 1) + column + 0.5f) * pitch;
                const float z = origin.z + (float(kGlyphRows - 1 - row) + 0.5f) * pitch;
                OrientedBox(mb, material, {x, origin.y + depth / 2, z}, {half, 0, 0}, {0, depth / 2, 0},
                            {0, 0, half});
            }
}

void TorusArc(MeshBuilder& mb, uint32_t material, float radius, float tube, float a0, float a1, int rings,
              int segments, const Matrix& place) {
    auto point = [&](int ring, int segment) {
        const float a = a0 + (a1 - a0) * ring / rings, b = 2 * kPi * segment / segments;
        const Vec3 centre{std::cos(a) * radius, std::sin(a) * radius, 0};
        const Vec3 n{std::cos(a) * std::cos(b), std::sin(a) * std::cos(b), std::sin(b)};
        return Vertex{centre + n * tube, n, float(ring) / rings, float(segment) / segments};
    };
    for (int r = 0; r < rings; ++r)
        for (int s = 0; s < segments; ++s)
            mb.Quad(material, point(r, s), point(r + 1, s), point(r + 1, s + 1), point(r, s + 1), place);
    // Caps close the cut ends, facing along the arc out of it.
    for (int end = 0; end < 2; ++end) {
        const float a = end ? a1 : a0;
        const float sign = (end ? 1.0f : -1.0f) * (a1 > a0 ? 1.0f : -1.0f);
        const Vec3 facing = Vec3{-std::sin(a), std::cos(a), 0} * sign;
        const Vec3 centre{std::cos(a) * radius, std::sin(a) * radius, 0};
        const int ring = end ? rings : 0;
        for (int s = 0; s < segments; ++s) {
            Vertex p = point(ring, s), q = point(ring, s + 1);
            p.normal = q.normal = facing;
            FacingTriangle(mb, material, Vertex{centre, facing, 0.5f, 0.5f}, p, q, facing, place);
        }
    }
}

std::vector<std::pair<float, float>> RegularPolygon(int n, float radius, float start) {
    std::vector<std::pair<float, float>> points;
    for (int i = 0; i < n; ++i) {
        const float a = start + 2 * kPi * i / n;
        points.emplace_back(std::cos(a) * radius, std::sin(a) * radius);
    }
    return points;
}

void PolygonFrame(MeshBuilder& mb, uint32_t material, const std::vector<std::pair<float, float>>& points,
                  float width, float depth, float uvScale) {
    const size_t n = points.size();
    if (n < 3) return;
    auto p = [&](size_t i) { return Vec3{points[i % n].first, 0, points[i % n].second}; };
    float area = 0;
    for (size_t i = 0; i < n; ++i) area += p(i).x * p(i + 1).z - p(i + 1).x * p(i).z;
    // The outward side of each edge, for either winding of the points.
    auto outward = [&](size_t i) {
        const Vec3 e = Normalise(p(i + 1) - p(i));
        const Vec3 right{e.z, 0, -e.x};
        return area > 0 ? right : right * -1;
    };
    std::vector<Vec3> outer(n), inner(n);
    for (size_t i = 0; i < n; ++i) {
        const Vec3 before = outward(i + n - 1), after = outward(i);
        const Vec3 m = Normalise(before + after);
        const float reach = (width / 2) / std::fmax(Dot(m, after), 0.2f);
        outer[i] = p(i) + m * reach;
        inner[i] = p(i) - m * reach;
    }
    const Vec3 front{0, -depth / 2, 0}, back{0, depth / 2, 0};
    float along = 0;
    for (size_t i = 0; i < n; ++i) {
        const size_t j = (i + 1) % n;
        const float length = std::sqrt(Dot(p(j) - p(i), p(j) - p(i)));
        const float u0 = along * uvScale, u1 = (along + length) * uvScale;
        along += length;
        const Vec3 out = outward(i);
        FacingQuad(mb, material, {outer[i] + front, {0, -1, 0}, u0, 0}, {outer[j] + front, {0, -1, 0}, u1, 0},
                   {inner[j] + front, {0, -1, 0}, u1, 1}, {inner[i] + front, {0, -1, 0}, u0, 1}, {0, -1, 0});
        FacingQuad(mb, material, {outer[i] + back, {0, 1, 0}, u0, 0}, {outer[j] + back, {0, 1, 0}, u1, 0},
                   {inner[j] + back, {0, 1, 0}, u1, 1}, {inner[i] + back, {0, 1, 0}, u0, 1}, {0, 1, 0});
        FacingQuad(mb, material, {outer[i] + front, out, u0, 0}, {outer[j] + front, out, u1, 0},
                   {outer[j] + back, out, u1, 1}, {outer[i] + back, out, u0, 1}, out);
        const Vec3 in = out * -1;
        FacingQuad(mb, material, {inner[i] + front, in, u0, 0}, {inner[j] + front, in, u1, 0},
                   {inner[j] + back, in, u1, 1}, {inner[i] + back, in, u0, 1}, in);
    }
}

void Tube(MeshBuilder& mb, uint32_t material, const std::function<Vec3(float)>& curve,
          const std::function<Vec3(float)>& reference, float radius, int steps, int segments) {
    struct Ring {
        Vec3 centre, n, b;
        float t;
    };
    std::vector<Ring> rings;
    for (int i = 0; i <= steps; ++i) {
        // The last ring is the first one again, so the seam closes exactly.
        const float t = float(i % steps) / steps, h = 0.25f / steps;
        const Vec3 tangent = Normalise(curve(t + h) - curve(t - h));
        const Vec3 ref = reference(t);
        const Vec3 n = Normalise(ref - tangent * Dot(ref, tangent));
        rings.push_back({curve(t), n, Cross(tangent, n), float(i) / steps});
    }
    auto vertex = [&](int i, int j) {
        const float a = 2 * kPi * float(j % segments) / segments;
        const Ring& r = rings[i];
        const Vec3 n = r.n * std::cos(a) + r.b * std::sin(a);
        return Vertex{r.centre + n * radius, n, r.t * 8, float(j) / segments};
    };
    for (int i = 0; i < steps; ++i)
        for (int j = 0; j < segments; ++j) {
            const Vertex a = vertex(i, j), b = vertex(i + 1, j), c = vertex(i + 1, j + 1), d = vertex(i, j + 1);
            FacingQuad(mb, material, a, b, c, d, a.normal + c.normal);
        }
}

void FloorTile(MeshBuilder& mb, uint32_t material, float x0, float y0, float x1, float y1, float height) {
    const Vec3 up{0, 0, 1};
    mb.Quad(material, {{x0, y0, height}, up, 0, 1}, {{x1, y0, height}, up, 1, 1}, {{x1, y1, height}, up, 1, 0},
            {{x0, y1, height}, up, 0, 0});
}

float Hash01(int x, int y, int seed) {
    uint32_t h = static_cast<uint32_t>(x) * 0x8da6b343u ^ static_cast<uint32_t>(y) * 0xd8163841u ^
                 static_cast<uint32_t>(seed) * 0xcb1ab31fu;
    h ^= h >> 16;
    h *= 0x7feb352du;
    h ^= h >> 15;
    h *= 0x846ca68bu;
    h ^= h >> 16;
    return float(h & 0xffffff) / float(0x1000000);
}

}  // namespace scenery
