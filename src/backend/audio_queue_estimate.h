// Frames handed to the device but not yet heard: the device buffer and
// whatever the sound server holds behind it. SDL does not report the server's
// share, so it is measured: what the callbacks handed out beyond the frames
// the wall clock says have played since they started.
#pragma once

#include <atomic>

namespace audiere {

class AudioQueueEstimate {
public:
    explicit AudioQueueEstimate(int rate) : rate_(rate) {}

    // After each callback, with the frames it handed out and the time in seconds.
    void Handed(int frames, double now);
    // Read on any thread.
    double Queued() const { return queued_; }
    // A device opened again counts nothing of what the last one handed out.
    void Restart();

private:
    const int rate_;
    bool started_ = false;
    double clockStart_ = 0;
    double framesSinceStart_ = 0;
    std::atomic<double> queued_{0};
};

}  // namespace audiere
