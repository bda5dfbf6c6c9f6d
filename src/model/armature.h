// Skeletons posed by rotation keys, giving one skinning matrix per bone.
#pragma once

#include <string>
#include <vector>

#include "model/matrix.h"

struct Bone {
    Vec3 restHead;
    Vec3 tail{0, 0, 1};
    Vec3 offset;
    Quaternion rotation;
    Bone* parent = nullptr;  // a bone of the same armature
    Matrix current;
    std::string name;
};

struct ArmatureKey {
    float time = 0;
    std::vector<Quaternion> rotations;  // one per bone
};

// Every key holds one rotation per bone and there is one skin matrix per
// bone; the loader guarantees both.
struct Armature {
    std::string name;
    size_t currentKey = 0;
    std::vector<Bone> bones;
    std::vector<Matrix> skinMatrices;  // identity at creation
    std::vector<ArmatureKey> keys;     // ascending time

    // Poses the bones at time; past the end of the keys the pose stays.
    void SetTime(float time);

private:
    size_t FindKey(float time) const;
};
