#include "model/armature.h"

#include <algorithm>

namespace {

Quaternion Blend(const Quaternion& a, const Quaternion& b, float w) {
    const float v = 1.0f - w;
    return Normalised({v * a.x + w * b.x, v * a.y + w * b.y, v * a.z + w * b.z, v * a.w + w * b.w});
}

void UpdateBone(Bone& bone, Matrix& skin) {
    Matrix step;
    Matrix m;
    if (bone.parent) m = step.Translation(bone.parent->tail.x, bone.parent->tail.y, bone.parent->tail.z) *
                         bone.parent->current;
    m = step.Translation(bone.offset.x, bone.offset.y, bone.offset.z) * m;
    bone.current = step.Rotation(bone.rotation) * m;
    skin = step.Translation(-bone.restHead.x, -bone.restHead.y, -bone.restHead.z) * bone.current;
}

}  // namespace

// The key whose span [t(k), t(k+1)) holds time, trying the current key and
// its neighbours first; the current key when none does.
size_t Armature::FindKey(float time) const {
    const size_t count = keys.size();
    auto contains = [&](size_t k) { return k + 1 < count && keys[k].time <= time && time < keys[k + 1].time; };
    const size_t k = currentKey;
    if (contains(k)) return k;
    if (k + 2 < count && contains(k + 1)) return k + 1;
    if (k >= 2 && contains(k - 1)) return k - 1;
    for (size_t i = 0; i + 1 < count; ++i)
        if (contains(i)) return i;
    // Before the first key the pose is the first key's, not an extrapolation.
    if (time < keys[0].time) return 0;
    return k;
}

void Armature::SetTime(float time) {
    const size_t count = keys.size();
    if (count == 0) return;
    if (currentKey >= count) currentKey = 0;
    const size_t k = currentKey = FindKey(time);

    const float length = k + 1 < count ? keys[k + 1].time - keys[k].time : 1.0f;
    const float u = length > 0.0f ? std::max(0.0f, (time - keys[k].time) / length) : 1.0f;
    if (u > 1.0f) return;
    const ArmatureKey& from = keys[k];
    const ArmatureKey& to = keys[k + 1 < count ? k + 1 : 0];
    const float w = 3 * u * u - 2 * u * u * u;
    for (size_t b = 0; b < bones.size(); ++b) {
        bones[b].rotation = Blend(from.rotations[b], to.rotations[b], w);
        UpdateBone(bones[b], skinMatrices[b]);
    }
}
