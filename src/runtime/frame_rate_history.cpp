#include "runtime/frame_rate_history.h"

#include "backend/win32.h"

void FrameRateHistory::Add(float frameRate) {
    const uint32_t now = GetTickCount();
    if (now - lastSampleTime > interval) {  // unsigned: the tick counter may wrap
        samples.push_front({frameRate, 0.0f, 0});
        lastSampleTime = now;
    }
    for (auto sample = samples.begin(); sample != samples.end();) {
        if (sample->age >= 200) {
            sample = samples.erase(sample);
            continue;
        }
        sample->x += 2.0f;
        ++sample->age;
        ++sample;
    }
}
