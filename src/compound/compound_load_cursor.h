// The compound loader's view of a file in memory: reads that never pass its
// end, and the fault of a damaged file, thrown with the record it was found in.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "model/matrix.h"

struct CompoundLoadError {
    std::string text;  // "<record> <fault>"
};

class LoadCursor {
public:
    LoadCursor(const uint8_t* data, size_t size) : at_(data), end_(data + size) {}

    // Names the record that later faults are reported in, e.g. "material 2".
    void Enter(std::string record) { record_ = std::move(record); }
    [[noreturn]] void Fail(const std::string& fault) const;

    size_t Remaining() const { return static_cast<size_t>(end_ - at_); }
    // Fails unless count records of at least minimumSize bytes each can still follow.
    void ExpectRecords(uint64_t count, uint64_t minimumSize, const std::string& what) const;
    // Fails unless 0 <= index < count; list names what is indexed, e.g. "texture",
    // and referrer the part of the record that refers, e.g. "subset 1".
    void ExpectIndex(int64_t index, uint64_t count, const std::string& list, const std::string& referrer = "") const;

    const uint8_t* Bytes(uint64_t size);
    uint32_t U32();
    int32_t I32();
    float F32();
    Vec3 ReadVec3();
    Quaternion ReadQuaternion();
    void ReadFloats(float* out, size_t count);
    // The text before the first zero byte; all of the counted bytes are consumed.
    std::string String();

private:
    const uint8_t* at_;
    const uint8_t* end_;
    std::string record_ = "header";
};
