// Hands frames from the drawing thread to a thread of their own that encodes
// and writes them, through a few frame buffers allocated up front: drawing
// and writing overlap, and the drawing waits only when every buffer is full.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class FrameWriterThread {
public:
    // Writes one frame; false with the reason in *error stops the writing.
    using Writer = std::function<bool(const uint32_t* pixels, int64_t number, std::string* error)>;

    FrameWriterThread(size_t pixelsPerFrame, int buffers, Writer write);
    ~FrameWriterThread();  // finishes
    FrameWriterThread(const FrameWriterThread&) = delete;
    FrameWriterThread& operator=(const FrameWriterThread&) = delete;

    // Copies the next frame into a free buffer, waiting for one. False once a
    // write has failed: the frame is dropped.
    bool Push(const uint32_t* pixels);
    // Waits until every frame pushed is written. False with the first
    // failure's reason in *error.
    bool Finish(std::string* error);

private:
    void Run();

    Writer write_;
    std::vector<std::vector<uint32_t>> buffers_;
    std::mutex mutex_;
    std::condition_variable changed_;
    size_t first_ = 0;      // the oldest buffer waiting to be written
    size_t waiting_ = 0;    // buffers waiting to be written
    bool finishing_ = false;
    bool failed_ = false;
    std::string error_;
    std::thread thread_;  // last: starts once the rest is made
};
