#include "runtime/timing_overlay.h"

#include <cmath>

#include "platform/demo_app.h"
#include "runtime/demo_resources.h"

float MusicDrift(int musicMilliseconds, float demoTime) {
    if (demoTime == 0.0f) return 0.0f;  // no time has passed: no drift to speak of
    return std::fabs(static_cast<float>(musicMilliseconds) - demoTime) / demoTime * 100.0f;
}

void DrawTimingOverlay(DemoResources* resources, float demoTime, int musicMilliseconds, float* errorAverage) {
    if (demoTime == 0.0f) return;
    const float drift = MusicDrift(musicMilliseconds, demoTime);
    *errorAverage += (drift - *errorAverage) * 0.05f * resources->app->timer->GetFrameFactor(60.0f);
}
