// Frame timers: how long the last frame took, as a rate and as a step factor.
#pragma once

#include <cstdint>

class FPS_Timer {
public:
    virtual ~FPS_Timer() = default;
    virtual void Start() {}
    virtual void Update() {}
    virtual float GetFPS() { return 60.0f; }
    // Periods of a rate-per-second clock that the last frame lasted.
    virtual float GetFrameFactor(float rate) { return rate / 60.0f; }
};

class FPSTimer_HighResolution : public FPS_Timer {
public:
    void Start() override;
    void Update() override;
    float GetFPS() override;
    float GetFrameFactor(float rate) override;

private:
    int64_t lastCounter_ = 0;
    float frameRate_ = 0.0f;
};
