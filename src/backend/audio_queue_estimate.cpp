#include "backend/audio_queue_estimate.h"

namespace audiere {

// A late callback lets the device run dry and play silence, after which the
// count starts again.
void AudioQueueEstimate::Handed(int frames, double now) {
    if (!started_) started_ = true, clockStart_ = now;
    framesSinceStart_ += frames;
    double queued = framesSinceStart_ - (now - clockStart_) * rate_;
    if (queued < frames) {
        clockStart_ = now;
        framesSinceStart_ = queued = frames;
    }
    // Callback times jitter by up to a buffer; the queue itself changes slowly.
    const double previous = queued_;
    queued_ = previous == 0 ? queued : previous + (queued - previous) / 8;
}

void AudioQueueEstimate::Restart() {
    started_ = false;
    framesSinceStart_ = 0;
    queued_ = 0;
}

}  // namespace audiere
