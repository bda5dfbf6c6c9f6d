// The rooster's skeleton and its dance: bone indices, the bones in rest
// space and the pose keys of the three dance phases.
#pragma once

#include <vector>

#include "compound/compound_writer.h"

namespace galo {

enum BoneIndex : int {
    kHips,
    kBody,
    kNeck,
    kHead,
    kTail,
    kWingL,
    kWingR,
    kThighL,
    kShinL,
    kThighR,
    kShinR,
    kBoneCount
};

// Where each bone's head sits at rest, in the model's space.
Vec3 RestHead(int bone);

// Parents come before their children, as the armature poses them in order.
std::vector<compound_file::Bone> Bones();

// Time 0 at rest, then phase 1 over 1..60, phase 2 over 60..230, phase 3
// over 230..350; each phase starts and ends on the same pose so it loops.
std::vector<compound_file::ArmatureKey> DanceKeys();

}  // namespace galo
