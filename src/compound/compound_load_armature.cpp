#include "compound/compound_load_records.h"

namespace {

constexpr uint64_t kBoneSize = 4 + 3 * 12 + 4;  // with an empty name
constexpr int32_t kNoParent = -1;

void ReadBone(LoadCursor& in, Armature& armature, Bone& bone, const std::string& what) {
    bone.name = in.String();
    bone.offset = in.ReadVec3();
    bone.tail = in.ReadVec3();
    bone.restHead = in.ReadVec3();
    const int32_t parent = in.I32();
    if (parent == kNoParent) return;
    in.ExpectIndex(parent, armature.bones.size(), "parent bone", what);
    bone.parent = &armature.bones[static_cast<size_t>(parent)];
}

}  // namespace

void ReadArmature(LoadCursor& in, DatablockLists& lists) {
    lists.armatures.push_back(std::make_unique<Armature>());
    Armature& armature = *lists.armatures.back();
    armature.name = in.String();
    const uint32_t boneCount = in.U32(), keyCount = in.U32();
    in.ExpectRecords(boneCount, kBoneSize, "bones");
    in.ExpectRecords(keyCount, 4 + 16 * uint64_t{boneCount}, "keys");
    // Sized before any parent is linked: parents point into the vector.
    armature.bones.resize(boneCount);
    armature.skinMatrices.assign(boneCount, Matrix());
    for (uint32_t b = 0; b < boneCount; ++b) ReadBone(in, armature, armature.bones[b], "bone " + std::to_string(b));
    armature.keys.resize(keyCount);
    for (ArmatureKey& key : armature.keys) {
        key.time = in.F32();
        key.rotations.resize(boneCount);
        for (Quaternion& rotation : key.rotations) rotation = in.ReadQuaternion();
    }
    armature.SetTime(0);
}
