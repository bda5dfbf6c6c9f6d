#include "gltf_channels.h"

#include <algorithm>
#include <cmath>

#include "gltf_accessors.h"

std::vector<float> KeyTimes(const tinygltf::Model& model, int accessor, const std::string& what) {
    std::vector<float> times = ReadFloats(model, accessor, 1, what + " key times");
    if (times.empty()) throw ImportError{what + ": has no keys"};
    for (size_t k = 0; k < times.size(); ++k) {
        if (!(times[k] >= 0 && times[k] <= kLatestKeySeconds))
            throw ImportError{what + ": key time " + std::to_string(times[k]) + " is not between 0 and " +
                              std::to_string(static_cast<int>(kLatestKeySeconds)) + " seconds"};
        if (k > 0 && !(times[k] > times[k - 1]))
            throw ImportError{what + ": key times do not rise (key " + std::to_string(k) + ")"};
    }
    return times;
}

ChannelCurve::ChannelCurve(const tinygltf::Model& model, const tinygltf::Animation& animation, int sampler,
                           int components, const std::string& what)
    : components_(components) {
    if (sampler < 0 || static_cast<size_t>(sampler) >= animation.samplers.size())
        throw ImportError{what + ": refers to sampler " + std::to_string(sampler) + " of " +
                          std::to_string(animation.samplers.size())};
    const tinygltf::AnimationSampler& s = animation.samplers[sampler];
    kind_ = s.interpolation == "STEP" ? Kind::kStep : s.interpolation == "CUBICSPLINE" ? Kind::kCubic : Kind::kLinear;
    times_ = KeyTimes(model, s.input, what);
    values_ = ReadFloats(model, s.output, components, what + " key values");
    const size_t perKey = kind_ == Kind::kCubic ? 3 : 1;
    if (values_.size() != times_.size() * perKey * components)
        throw ImportError{what + ": has " + std::to_string(times_.size()) + " key times but " +
                          std::to_string(values_.size() / components) + " values"};
    for (float v : values_)
        if (!std::isfinite(v)) throw ImportError{what + ": a key value is not a finite number"};
    // Linear and step rotations go the short way: each key joins its
    // predecessor's hemisphere, so that blending any two neighbours is sound.
    // A spline is defined on the numbers as they are.
    if (components == 4 && kind_ != Kind::kCubic)
        for (size_t k = 1; k < times_.size(); ++k) {
            float* q = values_.data() + k * 4;
            const float* previous = q - 4;
            if (q[0] * previous[0] + q[1] * previous[1] + q[2] * previous[2] + q[3] * previous[3] < 0)
                for (int c = 0; c < 4; ++c) q[c] = -q[c];
        }
}

bool ChannelCurve::FlatCubic() const {
    if (kind_ != Kind::kCubic) return false;
    for (size_t k = 0; k < times_.size(); ++k)
        for (int part : {0, 2})
            for (int c = 0; c < components_; ++c)
                if (At(k, part)[c] != 0) return false;
    return true;
}

bool ChannelCurve::Constant(const std::vector<float>& value) const {
    for (size_t k = 0; k < times_.size(); ++k)
        for (int part = 0; part < 3; ++part)
            for (int c = 0; c < components_; ++c) {
                const float want = part == 1 ? value[c] : 0;  // tangents of a still spline are zero
                if ((part == 1 || kind_ == Kind::kCubic) &&
                    std::fabs(At(k, part)[c] - want) > 1e-4f * std::max(1.0f, std::fabs(want)))
                    return false;
            }
    return true;
}

std::vector<float> ChannelCurve::BezierTimes() const {
    constexpr float kLargestTurn = 10 * 3.14159265f / 180;  // per Bezier key, for linear rotations
    constexpr float kStepLead = 0.001f;                     // seconds between a step's two keys
    std::vector<float> times;
    for (size_t k = 0; k < times_.size(); ++k) {
        const float span = k > 0 ? times_[k] - times_[k - 1] : 0;
        if (k > 0 && span > 0 && kind_ == Kind::kStep) times.push_back(times_[k] - std::min(kStepLead, span / 2));
        if (k > 0 && span > 0 && kind_ == Kind::kLinear && components_ == 4) {
            const float* q0 = At(k - 1, 1);
            const float* q1 = At(k, 1);
            const float dot = q0[0] * q1[0] + q0[1] * q1[1] + q0[2] * q1[2] + q0[3] * q1[3];
            const int parts = static_cast<int>(std::ceil(2 * std::acos(std::min(std::fabs(dot), 1.0f)) / kLargestTurn));
            for (int i = 1; i < parts; ++i) times.push_back(times_[k - 1] + span * i / parts);
        }
        times.push_back(times_[k]);
    }
    return times;
}

const float* ChannelCurve::At(size_t key, int part) const {
    const size_t perKey = kind_ == Kind::kCubic ? 3 : 1;
    return values_.data() + (key * perKey + (kind_ == Kind::kCubic ? part : 0)) * components_;
}

int ChannelCurve::Segment(float seconds, bool after) const {
    const size_t n = times_.size();
    if (seconds < times_[0] || (seconds == times_[0] && !after)) return -1;
    if (seconds > times_[n - 1] || (seconds == times_[n - 1] && after)) return static_cast<int>(n - 1);
    // The key at or before seconds (after), or the last one before it; the times rise strictly.
    const auto next = after ? std::upper_bound(times_.begin(), times_.end(), seconds)
                            : std::lower_bound(times_.begin(), times_.end(), seconds);
    return static_cast<int>(next - times_.begin()) - 1;
}

std::vector<float> ChannelCurve::Value(float seconds) const {
    const int k = Segment(seconds, true);
    const size_t last = times_.size() - 1;
    if (k < 0 || static_cast<size_t>(k) >= last) {
        const float* v = At(k < 0 ? 0 : last, 1);
        return std::vector<float>(v, v + components_);
    }
    const float span = times_[k + 1] - times_[k];
    const float s = (seconds - times_[k]) / span;
    const float* v0 = At(k, 1);
    const float* v1 = At(k + 1, 1);
    std::vector<float> out(components_);
    if (kind_ == Kind::kStep) return std::vector<float>(v0, v0 + components_);
    if (kind_ == Kind::kCubic) {
        const float* b0 = At(k, 2);
        const float* a1 = At(k + 1, 0);
        const float s2 = s * s, s3 = s2 * s;
        for (int c = 0; c < components_; ++c)
            out[c] = (2 * s3 - 3 * s2 + 1) * v0[c] + (s3 - 2 * s2 + s) * span * b0[c] + (-2 * s3 + 3 * s2) * v1[c] +
                     (s3 - s2) * span * a1[c];
        return out;
    }
    if (components_ == 4) {
        float dot = 0;
        for (int c = 0; c < 4; ++c) dot += v0[c] * v1[c];
        const float angle = std::acos(std::min(dot, 1.0f));
        float w0 = 1 - s, w1 = s;
        if (angle > 1e-4f) w0 = std::sin((1 - s) * angle) / std::sin(angle), w1 = std::sin(s * angle) / std::sin(angle);
        for (int c = 0; c < 4; ++c) out[c] = w0 * v0[c] + w1 * v1[c];
        return out;
    }
    for (int c = 0; c < components_; ++c) out[c] = v0[c] + s * (v1[c] - v0[c]);
    return out;
}

std::vector<float> ChannelCurve::Rate(float seconds, bool after) const {
    const int k = Segment(seconds, after);
    std::vector<float> out(components_, 0.0f);
    // Outside the keys a spline still has its end tangents, which Bezier handles keep.
    const size_t last = times_.size() - 1;
    if (kind_ == Kind::kCubic && ((k < 0 && seconds == times_[0]) || (k == static_cast<int>(last) && seconds == times_[last]))) {
        const float* tangent = k < 0 ? At(0, 0) : At(last, 2);
        return std::vector<float>(tangent, tangent + components_);
    }
    if (k < 0 || static_cast<size_t>(k) + 1 >= times_.size() || kind_ == Kind::kStep) return out;
    const float span = times_[k + 1] - times_[k];
    if (!(span > 0)) return out;
    const float* v0 = At(k, 1);
    const float* v1 = At(k + 1, 1);
    if (kind_ == Kind::kLinear) {
        // For rotations the chord's rate; keys that turn far are cut finer by the caller.
        for (int c = 0; c < components_; ++c) out[c] = (v1[c] - v0[c]) / span;
        return out;
    }
    const float* b0 = At(k, 2);
    const float* a1 = At(k + 1, 0);
    const float s = (seconds - times_[k]) / span, s2 = s * s;
    for (int c = 0; c < components_; ++c)
        out[c] = ((6 * s2 - 6 * s) * v0[c] + (3 * s2 - 4 * s + 1) * span * b0[c] + (-6 * s2 + 6 * s) * v1[c] +
                  (3 * s2 - 2 * s) * span * a1[c]) /
                 span;
    return out;
}
