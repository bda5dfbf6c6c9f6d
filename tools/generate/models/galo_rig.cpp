#include "galo_rig.h"

#include <array>
#include <cmath>

#include "galo_shapes.h"
#include "mesh_builder.h"

namespace galo {

namespace {

struct BoneLayout {
    const char* name;
    int parent;
    Vec3 head;
    Vec3 end;  // where the bone points at rest
};

// The rooster faces -y; its left is +x.
const std::array<BoneLayout, kBoneCount> kLayout = {{
    {"Hips", -1, {0, 0.1f, 1.35f}, {0, 0.1f, 1.35f}},
    {"Body", kHips, {0, 0.1f, 1.35f}, {0, -0.45f, 1.95f}},
    {"Neck", kBody, {0, -0.45f, 1.95f}, {0, -0.8f, 2.8f}},
    {"Head", kNeck, {0, -0.8f, 2.8f}, {0, -0.9f, 3.3f}},
    {"Tail", kBody, {0, 0.8f, 1.95f}, {0, 1.5f, 2.8f}},
    {"Wing.L", kBody, {0.56f, -0.1f, 2.12f}, {0.6f, 0.8f, 1.8f}},
    {"Wing.R", kBody, {-0.56f, -0.1f, 2.12f}, {-0.6f, 0.8f, 1.8f}},
    {"Thigh.L", kHips, {0.32f, 0.12f, 1.35f}, {0.36f, 0.22f, 0.8f}},
    {"Shin.L", kThighL, {0.36f, 0.22f, 0.8f}, {0.36f, 0.06f, 0.08f}},
    {"Thigh.R", kHips, {-0.32f, 0.12f, 1.35f}, {-0.36f, 0.22f, 0.8f}},
    {"Shin.R", kThighR, {-0.36f, 0.22f, 0.8f}, {-0.36f, 0.06f, 0.08f}},
}};

constexpr float kDegree = float(M_PI) / 180.0f;

// Degrees about x (pitch: + tips the front down), y (roll) and z (yaw),
// applied in that order.
struct Turn {
    float x = 0, y = 0, z = 0;
};

Quaternion ToQuaternion(const Turn& t) {
    Quaternion q = mesh::AxisAngle({1, 0, 0}, t.x * kDegree);
    q = Then(q, mesh::AxisAngle({0, 1, 0}, t.y * kDegree));
    q = Then(q, mesh::AxisAngle({0, 0, 1}, t.z * kDegree));
    q = Normalised(q);
    // One hemisphere for every key, so the blend between keys takes the short way.
    if (q.w < 0) q = {-q.x, -q.y, -q.z, -q.w};
    return q;
}

using Pose = std::array<Turn, kBoneCount>;

compound_file::ArmatureKey Key(float time, const Pose& pose) {
    compound_file::ArmatureKey key;
    key.time = time;
    for (const Turn& t : pose) key.rotations.push_back(ToQuaternion(t));
    return key;
}

constexpr float kTau = 2 * float(M_PI);

// Phase 1: a proud strut, two head bobs per loop and one step with each foot.
Pose Strut(float u) {
    Pose p{};
    const float bob = std::sin(2 * kTau * u);
    const float sway = std::sin(kTau * u);
    p[kBody] = {-3 + 3 * std::cos(2 * kTau * u) + 3 * bob, 4 * sway, 3 * sway};
    // The neck thrusts the head forward and back; the head stays level.
    p[kNeck] = {16 * bob, 0, -5 * sway};
    p[kHead] = {-16 * bob - 3 * p[kBody].x, 0, 0};
    p[kTail] = {-6 * bob, 0, 6 * sway};
    p[kWingL] = {0, -4 * std::fmax(0.0f, bob), 0};
    p[kWingR] = {0, 4 * std::fmax(0.0f, bob), 0};
    // Each foot lifts in its half of the loop: the thigh swings forward, the shin folds back.
    const float left = std::pow(std::fmax(0.0f, sway), 2.0f), right = std::pow(std::fmax(0.0f, -sway), 2.0f);
    p[kThighL] = {-28 * left, 0, 0};
    p[kShinL] = {45 * left, 0, 0};
    p[kThighR] = {-28 * right, 0, 0};
    p[kShinR] = {45 * right, 0, 0};
    return p;
}

// Phase 2, beat b (0..16): a peck with a wing flap on the beat.
Pose Peck(int b) {
    Pose p{};
    const int side = b % 2 ? 1 : -1;  // alternate sides beat by beat
    const int variant = b % 4;
    p[kBody] = {8, 6.0f * side, 8.0f * side};
    p[kNeck] = {28, 0, 14.0f * side};
    p[kHead] = {16, 0, 6.0f * side};
    p[kTail] = {-14, 0, -10.0f * side};
    // Both wings on every fourth beat, otherwise the wing on the pecking side.
    const float open = 55;
    p[kWingL] = {0, variant == 0 || side > 0 ? -open : -8, 0};
    p[kWingR] = {0, variant == 0 || side < 0 ? open : 8, 0};
    // A little dip on the far leg.
    p[side > 0 ? kThighR : kThighL] = {-14, 0, 0};
    p[side > 0 ? kShinR : kShinL] = {20, 0, 0};
    return p;
}

// Phase 2 between beats: head up and back, chest out.
Pose Rise(int b) {
    Pose p{};
    const int side = b % 2 ? 1 : -1;
    p[kBody] = {-10, -3.0f * side, 0};
    p[kNeck] = {-14, 0, -6.0f * side};
    p[kHead] = {-6, 0, 0};
    p[kTail] = {8, 0, 5.0f * side};
    p[kWingL] = {0, -6, 0};
    p[kWingR] = {0, 6, 0};
    return p;
}

// Phase 3, move m (0..5), step k (1..3): a kick with one leg and fast flapping.
Pose Kick(int m, int k) {
    Pose p{};
    const bool leftLeg = m % 2 == 0;
    const int side = leftLeg ? 1 : -1;
    const int thigh = leftLeg ? kThighL : kThighR, shin = leftLeg ? kShinL : kShinR;
    const int other = leftLeg ? kThighR : kThighL, otherShin = leftLeg ? kShinR : kShinL;
    const float up = k % 2 ? 1.0f : 0.0f;  // wings up on steps 1 and 3
    p[kWingL] = {-10 * up, -80 * up - 5, 0};
    p[kWingR] = {-10 * up, 80 * up + 5, 0};
    if (k == 1) {
        // Kick out forward and to the side.
        p[thigh] = {-55, -12.0f * side, 0};
        p[shin] = {-10, 0, 0};
        p[other] = {-10, 0, 0};
        p[otherShin] = {18, 0, 0};
        p[kBody] = {-14, -8.0f * side, 10.0f * side};
        p[kNeck] = {-20, 0, -18.0f * side};
        p[kHead] = {10, 0, -10.0f * side};
        p[kTail] = {20, 0, -12.0f * side};
    } else if (k == 2) {
        // Foot tucked up and back, head thrust forward.
        p[thigh] = {-30, 0, 0};
        p[shin] = {60, 0, 0};
        p[kBody] = {10, 5.0f * side, -6.0f * side};
        p[kNeck] = {30, 0, 10.0f * side};
        p[kHead] = {-20, 0, 0};
        p[kTail] = {-12, 0, 10.0f * side};
    } else {
        // Crow: chest up, head high and back.
        p[thigh] = {-12, 0, 0};
        p[shin] = {20, 0, 0};
        p[kBody] = {-18, 0, 0};
        p[kNeck] = {-28, 0, 8.0f * side};
        p[kHead] = {-18, 0, 0};
        p[kTail] = {24, 0, 0};
    }
    return p;
}

}  // namespace

Vec3 RestHead(int bone) { return kLayout[bone].head; }

std::vector<compound_file::Bone> Bones() {
    std::vector<compound_file::Bone> bones;
    for (const BoneLayout& b : kLayout) {
        compound_file::Bone bone;
        bone.name = b.name;
        bone.parent = b.parent;
        bone.tail = b.end - b.head;
        bone.restHead = b.head;
        // A child's head is its parent's head plus the parent's tail plus its offset.
        bone.offset = b.parent < 0 ? b.head : b.head - (kLayout[b.parent].head + (kLayout[b.parent].end - kLayout[b.parent].head));
        bones.push_back(bone);
    }
    return bones;
}

std::vector<compound_file::ArmatureKey> DanceKeys() {
    std::vector<compound_file::ArmatureKey> keys;
    const Pose rest{};
    keys.push_back(Key(0, rest));
    // Phase 1: 12 keys across the 59 units between 1 and 60; Strut(0) is the rest pose.
    for (int i = 0; i < 12; ++i) keys.push_back(Key(1 + 59.0f * i / 12, Strut(i / 12.0f)));
    // Phase 2: 17 beats of 10 units, a peck on each beat but the first (the loop's seam is at rest).
    for (int b = 0; b < 17; ++b) {
        keys.push_back(Key(60 + 10.0f * b, b == 0 ? rest : Peck(b)));
        keys.push_back(Key(65 + 10.0f * b, Rise(b)));
    }
    // Phase 3: 6 moves of 20 units, each starting from rest.
    for (int m = 0; m < 6; ++m) {
        keys.push_back(Key(230 + 20.0f * m, rest));
        for (int k = 1; k < 4; ++k) keys.push_back(Key(230 + 20.0f * m + 5 * k, Kick(m, k)));
    }
    keys.push_back(Key(350, rest));
    return keys;
}

}  // namespace galo
