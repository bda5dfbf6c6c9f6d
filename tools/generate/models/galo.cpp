// The rooster: one skinned mesh in the palette material, its armature and
// its dance. It stands on z = 0 at the origin facing -y, about 3.5 tall.
#include <cmath>

#include "compound_files.h"
#include "galo_rig.h"
#include "galo_shapes.h"
#include "placement.h"

namespace {

using galo::Blend2;
using galo::Radii;
using galo::Rigid;
using galo::SmoothStep;
using mesh::AxisAngle;
namespace pal = palette;

constexpr float kDegree = float(M_PI) / 180.0f;

// Blends from one bone to the next along the segment from a to b, between
// fractions start and end of it.
galo::SkinRule Along(int from, int to, Vec3 a, Vec3 b, float start, float end) {
    return [=](Vec3 p) {
        const Vec3 d = b - a;
        const float t = mesh::Dot(p - a, d) / mesh::Dot(d, d);
        return Blend2(from, to, SmoothStep(start, end, t));
    };
}

galo::SkinRule Fixed(int bone) {
    return [=](Vec3) { return Rigid(bone); };
}

// Up to three bones along a chain: from -> middle over [s0, e0], middle -> to over [s1, e1].
galo::SkinRule Chain(int from, int middle, int to, Vec3 a, Vec3 b, float s0, float e0, float s1, float e1) {
    return [=](Vec3 p) {
        const Vec3 d = b - a;
        const float t = mesh::Dot(p - a, d) / mesh::Dot(d, d);
        const float first = SmoothStep(s0, e0, t), second = SmoothStep(s1, e1, t);
        mesh::Skin s;
        s.bones = {float(from), float(middle), float(to), 0};
        s.weights = {1 - first, first - second, second, 0};
        return s;
    };
}

void Body(galo::Sculptor& s) {
    using namespace galo;
    // The trunk leans nose up; thighs tuck into its underside.
    s.Piece(pal::kCream, [](Vec3 p) {
        // The breast top follows the neck a little, the rump the tail.
        const float neck = 0.35f * SmoothStep(1.9f, 2.35f, p.z) * SmoothStep(-0.1f, -0.5f, p.y);
        const float tail = 0.4f * SmoothStep(0.55f, 1.0f, p.y);
        mesh::Skin skin;
        skin.bones = {float(kBody), float(kNeck), float(kTail), 0};
        skin.weights = {1 - neck - tail, neck, tail, 0};
        return skin;
    });
    s.Ellipsoid({0, 0.12f, 1.78f}, {0.66f, 0.92f, 0.6f}, AxisAngle({1, 0, 0}, -14 * kDegree), 12, 16);
    s.Ellipsoid({0, -0.38f, 1.88f}, {0.56f, 0.52f, 0.58f}, {}, 10, 14);
    // The rust saddle and the hackle cape over the shoulders.
    s.Piece(pal::kRust, Fixed(kBody));
    s.Ellipsoid({0, 0.42f, 2.16f}, {0.46f, 0.62f, 0.26f}, AxisAngle({1, 0, 0}, 8 * kDegree), 8, 12);
    s.Piece(pal::kRust, Along(kBody, kNeck, {0, -0.4f, 1.9f}, {0, -0.8f, 2.8f}, 0.1f, 0.7f));
    s.Ellipsoid({0, -0.45f, 2.2f}, {0.5f, 0.44f, 0.46f}, AxisAngle({1, 0, 0}, 20 * kDegree), 10, 14);
}

void NeckAndHead(galo::Sculptor& s) {
    using namespace galo;
    const Vec3 base{0, -0.45f, 1.95f}, top{0, -0.8f, 2.8f};
    s.Piece(pal::kRust, Chain(kBody, kNeck, kHead, base, top, -0.1f, 0.3f, 0.8f, 1.05f));
    s.Tube({{0, -0.4f, 1.95f}, {0, -0.56f, 2.3f}, {0, -0.7f, 2.6f}, {0, -0.8f, 2.85f}, {0, -0.84f, 3.0f}},
           {{0.4f, 0.4f}, {0.3f, 0.32f}, {0.22f, 0.24f}, {0.2f, 0.21f}, {0.12f, 0.12f}}, {0, 1, 0}, 12);
    // Everything above the neck moves with the head.
    s.Piece(pal::kRust, Fixed(kHead));
    s.Ellipsoid({0, -0.84f, 3.0f}, {0.21f, 0.29f, 0.23f}, AxisAngle({1, 0, 0}, -10 * kDegree), 10, 12);
    s.Piece(pal::kCombRed, Fixed(kHead));
    // The bare red face round the eyes.
    s.Ellipsoid({0, -0.96f, 2.98f}, {0.19f, 0.17f, 0.16f}, {}, 8, 12);
    // A single comb of five lobes, tallest in the middle, on a blade.
    s.Ellipsoid({0, -0.84f, 3.2f}, {0.05f, 0.3f, 0.08f}, AxisAngle({1, 0, 0}, -10 * kDegree), 6, 10);
    const float lobeY[5] = {-1.06f, -0.95f, -0.83f, -0.71f, -0.6f};
    const float lobeH[5] = {0.12f, 0.17f, 0.2f, 0.17f, 0.13f};
    for (int i = 0; i < 5; ++i) {
        const float lean = (i - 2) * 12.0f * kDegree;  // the lobes fan out
        s.Ellipsoid({0, lobeY[i], 3.22f + lobeH[i] * 0.55f - (i == 0 ? 0.03f : 0.0f)}, {0.045f, 0.075f, lobeH[i]},
                    AxisAngle({1, 0, 0}, lean), 6, 8);
    }
    // Wattles under the beak.
    for (float x : {-0.055f, 0.055f})
        s.Ellipsoid({x, -1.06f, 2.74f}, {0.045f, 0.08f, 0.14f}, AxisAngle({1, 0, 0}, 15 * kDegree), 6, 8);
    // A short beak curving down.
    s.Piece(pal::kBeakYellow, Fixed(kHead));
    s.Tube({{0, -1.04f, 3.0f}, {0, -1.18f, 2.99f}, {0, -1.3f, 2.95f}, {0, -1.38f, 2.89f}},
           {{0.075f, 0.065f}, {0.06f, 0.05f}, {0.035f, 0.03f}, {0.0f, 0.0f}}, {0, 0, 1}, 8);
    // Yellow-rimmed eyes with black pupils.
    for (float side : {-1.0f, 1.0f}) {
        s.Piece(pal::kBeakYellow, Fixed(kHead));
        s.Ellipsoid({0.15f * side, -1.0f, 3.06f}, {0.05f, 0.05f, 0.05f}, {}, 6, 8);
        s.Piece(pal::kEyeBlack, Fixed(kHead));
        s.Ellipsoid({0.185f * side, -1.01f, 3.065f}, {0.025f, 0.03f, 0.03f}, {}, 5, 8);
    }
}

// A sickle feather rising from the rump, arching back and down; fan tilts
// it sideways (radians, + towards +x).
void Feather(galo::Sculptor& s, float fan, float radius, float sweep, float width, float lift) {
    const Vec3 root{0, 0.8f, 2.02f};
    std::vector<Vec3> path;
    std::vector<Radii> radii;
    const int steps = 9;
    for (int i = 0; i <= steps; ++i) {
        const float t = float(i) / steps, a = sweep * t + lift;
        // On a circle that starts heading up and back, in the feather's own plane.
        const float back = radius * (std::cos(lift) - std::cos(a)), up = radius * (std::sin(a) - std::sin(lift));
        path.push_back(root + Vec3{std::sin(fan) * up, back, std::cos(fan) * up});
        const float w = width * std::sin(float(M_PI) * (0.15f + 0.85f * t)) + 0.02f * (1 - t);
        radii.push_back({0.025f * (1 - 0.6f * t), w});
    }
    s.Tube(path, radii, {std::cos(fan), 0, -std::sin(fan)}, 6);
}

void Tail(galo::Sculptor& s) {
    using namespace galo;
    s.Piece(pal::kTailGreen, [](Vec3 p) {
        return Blend2(kBody, kTail, SmoothStep(0.7f, 1.0f, p.y));
    });
    const float fans[7] = {-0.55f, -0.36f, -0.18f, 0.0f, 0.18f, 0.36f, 0.55f};
    for (int i = 0; i < 7; ++i) {
        const float middle = 1.0f - std::fabs(fans[i]) / 0.55f;
        Feather(s, fans[i], 0.95f + 0.4f * middle, 2.6f, 0.14f, 0.05f + 0.25f * (1 - middle));
    }
    // Shorter bronze coverts at the root of the tail.
    s.Piece(pal::kWingBronze, [](Vec3 p) { return Blend2(kBody, kTail, SmoothStep(0.7f, 1.0f, p.y)); });
    for (float fan : {-0.45f, -0.15f, 0.15f, 0.45f}) Feather(s, fan, 0.7f, 2.3f, 0.1f, 0.35f);
}

void Wings(galo::Sculptor& s) {
    using namespace galo;
    for (float side : {-1.0f, 1.0f}) {
        const int bone = side > 0 ? kWingL : kWingR;
        const float tilt = side * 4 * kDegree;  // the lower edges hug the flanks
        s.Piece(pal::kWingBronze, Fixed(bone));
        const Quaternion droop = AxisAngle({1, 0, 0}, -16 * kDegree);  // the tips point down to the tail
        s.Ellipsoid({0.6f * side, 0.2f, 1.86f}, {0.12f, 0.78f, 0.34f},
                    galo::Then(droop, AxisAngle({0, 1, 0}, tilt)), 10, 14);
        // Dark green flight feathers along the lower back edge.
        s.Piece(pal::kTailGreen, Fixed(bone));
        s.Ellipsoid({0.62f * side, 0.72f, 1.6f}, {0.07f, 0.55f, 0.16f}, AxisAngle({1, 0, 0}, -22 * kDegree), 8, 12);
    }
}

void Legs(galo::Sculptor& s) {
    using namespace galo;
    for (float side : {-1.0f, 1.0f}) {
        const bool left = side > 0;
        const int thigh = left ? galo::kThighL : galo::kThighR, shin = left ? galo::kShinL : galo::kShinR;
        const float x = 0.35f * side;
        // Feathered drumstick, its top tucked into the body.
        s.Piece(pal::kCream, [=](Vec3 p) { return Blend2(thigh, kBody, SmoothStep(1.25f, 1.55f, p.z) * 0.6f); });
        s.Ellipsoid({x * 0.95f, 0.16f, 1.2f}, {0.2f, 0.27f, 0.34f}, AxisAngle({1, 0, 0}, -12 * kDegree), 10, 12);
        // The scaly shank, bending at the hock.
        s.Piece(pal::kBeakYellow, [=](Vec3 p) { return Blend2(shin, thigh, SmoothStep(0.7f, 0.9f, p.z)); });
        s.Tube({{x, 0.24f, 0.95f}, {x, 0.22f, 0.8f}, {x, 0.16f, 0.5f}, {x, 0.08f, 0.2f}, {x, 0.06f, 0.08f}},
               {{0.1f, 0.1f}, {0.095f, 0.095f}, {0.08f, 0.08f}, {0.072f, 0.072f}, {0.068f, 0.068f}}, {0, -1, 0}, 8);
        // A spur at the back of the shank.
        s.Piece(pal::kBeakYellow, Fixed(shin));
        s.Tube({{x, 0.2f, 0.32f}, {x, 0.3f, 0.3f}, {x, 0.36f, 0.34f}}, {{0.03f, 0.03f}, {0.02f, 0.02f}, {0, 0}},
               {0, 0, 1}, 6);
        // Three toes forward, spread, and one back, all touching the floor.
        const Vec3 ankle{x, 0.06f, 0.06f};
        for (float spread : {-28.0f, 0.0f, 28.0f}) {
            const float a = (spread - 90) * kDegree;  // -90 points along -y
            const float length = spread == 0 ? 0.42f : 0.34f;
            const Vec3 dir{std::cos(a), std::sin(a), 0};
            s.Tube({ankle, ankle + dir * (length * 0.5f) + Vec3{0, 0, -0.01f}, ankle + dir * length + Vec3{0, 0, -0.02f}},
                   {{0.05f, 0.045f}, {0.04f, 0.036f}, {0.0f, 0.0f}}, {0, 0, 1}, 6);
        }
        s.Tube({ankle, ankle + Vec3{0, 0.2f, -0.02f}}, {{0.04f, 0.04f}, {0, 0}}, {0, 0, 1}, 6);
    }
}

}  // namespace

compound_file::File BuildGalo() {
    compound_file::File file;
    file.textures = {"tex2d_galo_palette.png"};
    compound_file::Material material;
    material.name = "Galo";
    material.diffuse = {1, 1, 1, 1};
    material.flags = 0;
    // The scenes also draw the rooster mirrored below the floor.
    material.cullMode = 1;
    material.textures = {0};
    file.materials.push_back(material);

    mesh::MeshBuilder builder;
    galo::Sculptor sculptor(builder);
    Body(sculptor);
    NeckAndHead(sculptor);
    Tail(sculptor);
    Wings(sculptor);
    Legs(sculptor);
    file.models.push_back(builder.BuildSkinned("Galo", [&](Vec3 p) { return sculptor.SkinAt(p, Rigid(galo::kBody)); }));

    compound_file::Armature armature;
    armature.name = "Arm.Galo";
    armature.bones = galo::Bones();
    armature.keys = galo::DanceKeys();
    file.armatures.push_back(armature);

    file.nodes.push_back(placement::ModelNode("galo002", 0));
    compound_file::Node rig;
    rig.name = "Arm.Galo";
    rig.flags = NODE_ARMATURE;
    rig.datablock = 0;
    file.nodes.push_back(rig);
    return file;
}
