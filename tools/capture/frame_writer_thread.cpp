#include "frame_writer_thread.h"

#include <pthread.h>
#include <sched.h>

#include <algorithm>
#include <utility>

FrameWriterThread::FrameWriterThread(size_t pixelsPerFrame, int buffers, Writer write)
    : write_(std::move(write)),
      buffers_(static_cast<size_t>(std::max(buffers, 1)), std::vector<uint32_t>(pixelsPerFrame)),
      thread_([this] { Run(); }) {}

FrameWriterThread::~FrameWriterThread() {
    std::string error;
    Finish(&error);
}

bool FrameWriterThread::Push(const uint32_t* pixels) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return failed_ || waiting_ < buffers_.size(); });
    if (failed_) return false;
    std::vector<uint32_t>& buffer = buffers_[(first_ + waiting_) % buffers_.size()];
    // A free buffer is the drawing thread's alone until it is counted as waiting.
    lock.unlock();
    std::copy(pixels, pixels + buffer.size(), buffer.begin());
    lock.lock();
    ++waiting_;
    changed_.notify_all();
    return true;
}

bool FrameWriterThread::Finish(std::string* error) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        finishing_ = true;
        changed_.notify_all();
    }
    if (thread_.joinable()) thread_.join();
    *error = error_;
    return !failed_;
}

void FrameWriterThread::Run() {
    // Encoding takes only the time drawing leaves idle: at equal priority it
    // takes cores the software rasteriser needs. When it falls behind, the
    // full buffers make the drawing wait, which leaves it the cores.
    const sched_param idle{};
    pthread_setschedparam(pthread_self(), SCHED_IDLE, &idle);
    int64_t number = 0;
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return waiting_ > 0 || finishing_; });
        if (waiting_ == 0) return;  // finishing, and everything is written
        const std::vector<uint32_t>& buffer = buffers_[first_];
        // The oldest waiting buffer is this thread's alone until it is released.
        lock.unlock();
        std::string error;
        const bool written = write_(buffer.data(), number++, &error);
        lock.lock();
        first_ = (first_ + 1) % buffers_.size();
        --waiting_;
        if (!written && !failed_) {
            failed_ = true;
            error_ = error;
        }
        changed_.notify_all();
        if (failed_) return;
    }
}
