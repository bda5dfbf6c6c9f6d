// The stage of scenes 4, 7, 8 and 9: a camera on the rooster, its lights and
// twelve frames "x0".."x11" of a sculpture the scenes cycle behind it.
#include <cmath>
#include <string>

#include "compound_files.h"
#include "mesh_builder.h"
#include "placement.h"
#include "stage_lights.h"

namespace {

using mesh::AxisAngle;

constexpr uint32_t kBlue = 0, kRed = 1;
constexpr int kFrames = 12, kPillars = 13;
constexpr float kPi = float(M_PI);

// One frame: a horseshoe of pillars open to the front, a wave of height
// running round it, and a ring of cubes above turning one slot per loop.
// The scenes move it by +2 in y, so its centre lands 2 behind the rooster.
compound_file::Model Frame(int frame) {
    mesh::MeshBuilder b;
    const float phase = float(frame) / kFrames;
    const float radius = 4.0f;
    for (int i = 0; i < kPillars; ++i) {
        // From 20 degrees below +x round the back to 20 below -x.
        const float a = (-20.0f + 220.0f * i / (kPillars - 1)) * kPi / 180.0f;
        const Vec3 foot{radius * std::cos(a), radius * std::sin(a), 0};
        // The crest travels round the horseshoe once per loop, and back.
        const float along = float(i) / (kPillars - 1);
        const float crest = 0.5f + 0.5f * std::cos(2 * kPi * (along - phase));
        const float height = 0.5f + 2.6f * crest * crest;
        const Quaternion face = AxisAngle({0, 0, 1}, a);
        b.Box(kBlue, {0.22f, 0.32f, height / 2}, mesh::Place(foot + Vec3{0, 0, height / 2}, face));
        // A red cap rides on top; the crest's pillars glow red along their whole side.
        b.Box(kRed, {0.3f, 0.4f, 0.08f}, mesh::Place(foot + Vec3{0, 0, height + 0.08f}, face));
        if (crest > 0.75f)
            b.Box(kRed, {0.24f, 0.34f, height * 0.3f}, mesh::Place(foot + Vec3{0, 0, height * 0.5f}, face));
    }
    // Twelve cubes circling high over the back; 30 degrees per loop is one
    // slot, so frame 11 runs on into frame 0.
    for (int i = 0; i < 12; ++i) {
        const float a = (30.0f * i + 30.0f * phase) * kPi / 180.0f;
        const Vec3 centre{4.6f * std::cos(a), 4.6f * std::sin(a), 4.4f + 0.3f * std::sin(3 * a)};
        const Quaternion spin = AxisAngle({1, 1, 1}, a * 2 + phase * kPi);
        b.Box(i % 2 ? kRed : kBlue, {0.22f, 0.22f, 0.22f}, mesh::Place(centre, spin));
    }
    // A low red and blue stepped rim inside the horseshoe, where the pillars stand.
    for (int i = 0; i < 24; ++i) {
        const float a = (-20.0f + 220.0f * (i + 0.5f) / 24) * kPi / 180.0f;
        const float lift = 0.06f + 0.06f * std::sin(2 * kPi * (float(i) / 24 - phase) * 2);
        const Vec3 at{3.3f * std::cos(a), 3.3f * std::sin(a), lift};
        b.Box((i + frame) % 3 == 0 ? kRed : kBlue, {0.12f, 0.3f, lift}, mesh::Place(at, AxisAngle({0, 0, 1}, a)));
    }
    return b.Build("x" + std::to_string(frame));
}

}  // namespace

compound_file::File BuildScene4Stage() {
    compound_file::File file;
    compound_file::Material blue;
    blue.name = "BlueFloor";
    // Half as bright as they look: the bloom adds about as much again.
    blue.diffuse = {0.3f, 0.42f, 0.6f, 1};
    blue.cullMode = 1;
    compound_file::Material red;
    red.name = "R2";
    red.diffuse = {0.6f, 0.27f, 0.12f, 1};
    red.cullMode = 1;
    file.materials = {blue, red};

    for (int f = 0; f < kFrames; ++f) {
        file.models.push_back(Frame(f));
        file.nodes.push_back(placement::ModelNode("x" + std::to_string(f), static_cast<uint32_t>(f)));
    }
    stage::AddCamera(file, "ID4", {0, -11, 3}, {0, 1, 1.8f});
    // From the front and both sides, where the camera sees the rooster lit.
    stage::AddLight(file, "FrontWhite", {1.0f, 0.9f, 0.8f}, 0.6f, {0.5f, -6.0f, 4.0f});
    stage::AddLight(file, "SideCyan", {0.2f, 0.8f, 1.0f}, 0.6f, {-4.5f, -2.0f, 2.5f});
    stage::AddLight(file, "SideMagenta", {1.0f, 0.25f, 0.7f}, 0.6f, {4.5f, -1.5f, 3.0f});
    stage::AddLight(file, "TopAmber", {1.0f, 0.65f, 0.2f}, 0.6f, {0.0f, 1.0f, 6.0f});
    return file;
}
