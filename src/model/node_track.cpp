#include <cstddef>

#include "model/node.h"

namespace {

float Bezier(float p0, float p1, float p2, float p3, float u) {
    const float v = 1.0f - u;
    return v * v * v * p0 + 3 * u * v * v * p1 + 3 * u * u * v * p2 + u * u * u * p3;
}

Vec3 Bezier(const Vec3& p0, const Vec3& p1, const Vec3& p2, const Vec3& p3, float u) {
    return {Bezier(p0.x, p1.x, p2.x, p3.x, u), Bezier(p0.y, p1.y, p2.y, p3.y, u),
            Bezier(p0.z, p1.z, p2.z, p3.z, u)};
}

Quaternion Bezier(const Quaternion& p0, const Quaternion& p1, const Quaternion& p2, const Quaternion& p3, float u) {
    return {Bezier(p0.x, p1.x, p2.x, p3.x, u), Bezier(p0.y, p1.y, p2.y, p3.y, u), Bezier(p0.z, p1.z, p2.z, p3.z, u),
            Bezier(p0.w, p1.w, p2.w, p3.w, u)};
}

}  // namespace

void NodeTrack::Evaluate(float time) {
    if (keys.empty()) return;
    const NodeKey& last = keys.back();
    // One key has no segment: its values hold at every time.
    if (time > last.time || keys.size() < 2) {
        position = last.position;
        rotation = last.rotation;
        return;
    }
    const size_t count = keys.size();
    if (segment + 1 >= count) segment = 0;
    auto contains = [&](size_t k) { return keys[k].time <= time && time <= keys[k + 1].time; };
    // Neighbours of the cached segment first: times mostly move forward a little.
    if (!contains(segment)) {
        if (segment + 2 < count && contains(segment + 1)) {
            ++segment;
        } else if (segment >= 1 && contains(segment - 1)) {
            --segment;
        } else {
            for (size_t k = 0; k + 1 < count; ++k)
                if (contains(k)) {
                    segment = k;
                    break;
                }
        }
    }
    const NodeKey& from = keys[segment];
    const NodeKey& to = keys[segment + 1];
    // Two keys at one time: the later one is reached, rather than 0 / 0.
    const float span = to.time - from.time;
    const float u = span > 0.0f ? (time - from.time) / span : 1.0f;
    position = Bezier(from.position, from.positionOut, to.positionIn, to.position, u);
    rotation = Normalised(Bezier(from.rotation, from.rotationOut, to.rotationIn, to.rotation, u));
}
