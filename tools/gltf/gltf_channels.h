// An animation sampler of a glTF file evaluated as glTF defines it, with the
// rate of change on either side of a time, so that its curve can be cut into
// the engine's Bezier keys.
#pragma once

#include <string>
#include <vector>

#include <tiny_gltf.h>

// Later key times are refused: no scene plays for longer, and a time far
// out would have pose keys made up to it.
constexpr float kLatestKeySeconds = 100000;

// An animation sampler's input: finite times from 0 to kLatestKeySeconds,
// rising strictly; throws ImportError beginning with what.
std::vector<float> KeyTimes(const tinygltf::Model& model, int accessor, const std::string& what);

class ChannelCurve {
public:
    enum class Kind { kLinear, kStep, kCubic };

    // Reads sampler of animation for a target of components (3 or 4); throws ImportError.
    ChannelCurve(const tinygltf::Model& model, const tinygltf::Animation& animation, int sampler, int components,
                 const std::string& what);

    const std::vector<float>& Times() const { return times_; }
    // Cubic with every tangent zero: between keys the value then follows 3u^2 - 2u^3.
    bool FlatCubic() const;
    // Every key at value (within a ten-thousandth of its size), so that the curve never moves.
    bool Constant(const std::vector<float>& value) const;

    // The times at which Bezier keys follow this curve: its own keys, more
    // within linear rotations that turn far, and one just before each step.
    std::vector<float> BezierTimes() const;

    // The value at seconds; rotations by linear keys are slerped, cubic ones
    // left unnormalised as the spline gives them. Held before the first and after the last key.
    std::vector<float> Value(float seconds) const;
    // Change per second; at a key time, of the segment that ends there
    // (after false) or starts there (after true).
    std::vector<float> Rate(float seconds, bool after) const;

private:
    // The segment whose span holds seconds; -1 before the first key, last key index after the last.
    int Segment(float seconds, bool after) const;
    const float* At(size_t key, int part) const;  // part: 0 in-tangent, 1 value, 2 out-tangent

    std::vector<float> times_, values_;
    int components_;
    Kind kind_;
};
