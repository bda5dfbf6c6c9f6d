// Frame-rate samples for the overlay graph, collected every frame.
#pragma once

#include <cstdint>
#include <list>

struct FrameRateSample {
    float frameRate;
    float x;
    int age;
};

struct FrameRateHistory {
    uint32_t interval = 10;  // milliseconds between two samples, at least
    uint32_t lastSampleTime = 0;
    std::list<FrameRateSample> samples;  // newest first

    void Add(float frameRate);
};
