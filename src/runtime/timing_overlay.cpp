#include "runtime/timing_overlay.h"

#include <cmath>

#include "gfx2d/gui_primitives.h"
#include "gfx2d/immediate_batch.h"
#include "gfx2d/matrix_helpers.h"
#include "platform/demo_app.h"
#include "runtime/demo_resources.h"

namespace {

constexpr uint32_t kWhite = zkPackColour(255, 255, 255, 255);

// y = 100 - frame rate: the 60 line at y 40, the 30 line at y 70.
void DrawFrameRateGraph(const FrameRateHistory& history, float x, float y, BitmapFont font) {
    zkPushMatrix();
    zkTranslate(x, y, 0);
    zkFillRect(4, 4, 400, 100, zkPackColour(0, 0, 0, 5));
    zkFillRect(2, 2, 400, 100, zkPackColour(0, 0, 0, 10));
    zkFillRect(0, 0, 400, 100, zkPackColour(0, 0, 0, 25));
    zkDrawLine(0, 40, 400, 40, zkPackColour(0, 255, 100, 155));
    zkDrawLine(0, 70, 400, 70, zkPackColour(255, 0, 0, 155));
    zkDrawLine(0, 41, 400, 41, zkPackColour(0, 255, 0, 40));
    zkDrawLine(0, 71, 400, 71, zkPackColour(255, 100, 0, 40));
    zkPrint(&font, -19, 41, zkPackColour(0, 0, 0, 100), "60");
    zkPrint(&font, -19, 71, zkPackColour(0, 0, 0, 100), "30");
    zkPrint(&font, -20, 40, zkPackColour(0, 255, 0, 255), "60");
    zkPrint(&font, -20, 70, zkPackColour(255, 0, 0, 255), "30");

    float previousX = 0.0f, previousY = 30.0f;
    for (const FrameRateSample& sample : history.samples) {
        zkColor4f(0.0f, 1.0f, 1.0f, 1.0f);
        zkBegin(BATCH_LINES);
        zkVertex3f(previousX, previousY, 0);
        previousX = sample.x, previousY = 100.0f - sample.frameRate;
        zkVertex3f(previousX, previousY, 0);
    }
    zkOverlayFrame(zkPackColour(40, 40, 40, 255));
    zkPopMatrix();
}

}  // namespace

float MusicDrift(int musicMilliseconds, float demoTime) {
    if (demoTime == 0.0f) return 0.0f;  // no time has passed: no drift to speak of
    return std::fabs(static_cast<float>(musicMilliseconds) - demoTime) / demoTime * 100.0f;
}

void DrawTimingOverlay(DemoResources* resources, float demoTime, int musicMilliseconds, float* errorAverage) {
    FPS_Timer* timer = resources->app->timer;
    BitmapFont* font = &resources->font;
    DrawFrameRateGraph(resources->frameRateHistory, 40.0f, 10.0f, *font);
    const int now = resources->music.PositionNow();
    const float drift = MusicDrift(musicMilliseconds, demoTime);
    zkPrint(font, 40, 140, kWhite, "FPS :%.2f", timer->GetFPS());
    zkPrint(font, 40, 160, kWhite, "TIME :%d (ms) %.2f(ms)", now, demoTime);
    zkPrint(font, 40, 180, kWhite, "FRAME :%.2f", now / 1000.0 * 25.0);
    zkPrint(font, 40, 200, kWhite, "ERROR :%.2f  MAX ERROR :%.2f", drift, *errorAverage);
    // At demo time 0 there is no drift yet; the average keeps its value.
    if (demoTime == 0.0f) return;
    *errorAverage += (drift - *errorAverage) * 0.05f * timer->GetFrameFactor(60.0f);
}
