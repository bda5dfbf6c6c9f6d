// The queue estimate fed with callbacks at known times.
#include <gtest/gtest.h>

#include "backend/audio_queue_estimate.h"

namespace {

constexpr int kRate = 44100, kBuffer = 1024;
constexpr double kBufferTime = static_cast<double>(kBuffer) / kRate;

// A server that takes `ahead` buffers at once, then one each time one plays.
double PlayFor(audiere::AudioQueueEstimate& queue, double start, int ahead, int buffers) {
    for (int i = 0; i < ahead; ++i) queue.Handed(kBuffer, start);
    double now = start;
    for (int i = 0; i < buffers; ++i) queue.Handed(kBuffer, now += kBufferTime);
    return now;
}

}  // namespace

TEST(AudioQueueEstimate, CountsWhatTheServerHoldsAndStartsAgainAfterAGapOrAReopening) {
    audiere::AudioQueueEstimate queue(kRate);
    double now = PlayFor(queue, 100.0, 4, 200);
    EXPECT_NEAR(queue.Queued(), 4 * kBuffer, kBuffer / 4);

    // The device ran dry for a tenth of a second and was refilled one buffer ahead.
    now = PlayFor(queue, now + 0.1, 1, 200);
    EXPECT_NEAR(queue.Queued(), kBuffer, kBuffer / 4);

    // Closed and opened again with no late callback between.
    queue.Restart();
    EXPECT_EQ(queue.Queued(), 0.0);
    PlayFor(queue, now + 5.0, 2, 200);
    EXPECT_NEAR(queue.Queued(), 2 * kBuffer, kBuffer / 4);
}
