// Not Direct3D: reads finished frames of the back buffer without making the
// drawing wait for the copy, for recording a run to a file.
#pragma once

#include <cstdint>
#include <functional>

#include "backend/win32.h"

class BackBufferReader {
public:
    // Rows of 0xAARRGGBB, top row first, width * height of them; valid only
    // during the call.
    using Consumer = std::function<void(const uint32_t* pixels)>;

    virtual ~BackBufferReader() = default;
    virtual UINT width() const = 0;
    virtual UINT height() const = 0;
    // Starts copying the back buffer as it is now. The copies land in a ring
    // of buffers and are taken out only when the ring comes round to them
    // again: when every buffer holds a frame, the oldest goes to consume first.
    // False when a frame due could not be taken out (it is lost).
    virtual bool Read(const Consumer& consume) = 0;
    // Hands the frames still in the ring to consume, oldest first; false as Read.
    virtual bool Flush(const Consumer& consume) = 0;
};
