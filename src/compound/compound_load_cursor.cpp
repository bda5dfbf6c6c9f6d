#include "compound/compound_load_cursor.h"

#include <cstring>

void LoadCursor::Fail(const std::string& fault) const { throw CompoundLoadError{record_ + " " + fault}; }

void LoadCursor::ExpectRecords(uint64_t count, uint64_t minimumSize, const std::string& what) const {
    // Divided rather than multiplied, so no count can overflow.
    if (minimumSize != 0 && count > Remaining() / minimumSize)
        Fail("counts " + std::to_string(count) + " " + what + ", more than the " + std::to_string(Remaining()) +
             " bytes left can hold");
}

void LoadCursor::ExpectIndex(int64_t index, uint64_t count, const std::string& list,
                             const std::string& referrer) const {
    if (index < 0 || static_cast<uint64_t>(index) >= count)
        Fail(referrer + (referrer.empty() ? "" : " ") + "refers to " + list + " " + std::to_string(index) + " of " +
             std::to_string(count));
}

const uint8_t* LoadCursor::Bytes(uint64_t size) {
    if (size > Remaining()) Fail("is cut short");
    const uint8_t* start = at_;
    at_ += size;
    return start;
}

uint32_t LoadCursor::U32() {
    const uint8_t* b = Bytes(4);
    return static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 | static_cast<uint32_t>(b[2]) << 16 |
           static_cast<uint32_t>(b[3]) << 24;
}

int32_t LoadCursor::I32() { return static_cast<int32_t>(U32()); }

float LoadCursor::F32() {
    const uint32_t bits = U32();
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

Vec3 LoadCursor::ReadVec3() {
    Vec3 v;
    v.x = F32();
    v.y = F32();
    v.z = F32();
    return v;
}

Quaternion LoadCursor::ReadQuaternion() {
    Quaternion q;
    q.x = F32();
    q.y = F32();
    q.z = F32();
    q.w = F32();
    return q;
}

void LoadCursor::ReadFloats(float* out, size_t count) {
    for (size_t i = 0; i < count; ++i) out[i] = F32();
}

std::string LoadCursor::String() {
    const uint32_t length = U32();
    if (length > Remaining())
        Fail("has a string of " + std::to_string(length) + " bytes, more than the " + std::to_string(Remaining()) +
             " left");
    const char* text = reinterpret_cast<const char*>(Bytes(length));
    const void* zero = std::memchr(text, 0, length);
    return std::string(text, zero ? static_cast<const char*>(zero) : text + length);
}
