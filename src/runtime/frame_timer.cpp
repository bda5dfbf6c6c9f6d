#include "runtime/frame_timer.h"

#include <limits>

#include "backend/win32.h"

void FPSTimer_HighResolution::Start() {
    lastCounter_ = 0;
    frameRate_ = 0.0f;
}

void FPSTimer_HighResolution::Update() {
    int64_t frequency = 0;
    int64_t counter = 0;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    const int64_t elapsed = counter - lastCounter_;
    // No counter tick since the last update: an instant frame, which advances nothing.
    frameRate_ = elapsed > 0 ? static_cast<float>(static_cast<long double>(frequency) / elapsed)
                             : std::numeric_limits<float>::infinity();
    lastCounter_ = counter;
}

float FPSTimer_HighResolution::GetFPS() { return frameRate_ >= 1.0f ? frameRate_ : 1.0f; }

float FPSTimer_HighResolution::GetFrameFactor(float rate) { return frameRate_ >= 1.0f ? rate / frameRate_ : 1.0f; }
