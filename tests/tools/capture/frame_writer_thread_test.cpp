// The capture tool's writer thread: frames copied on push, written in order,
// and a failed write stopping the run with its reason.
#include "frame_writer_thread.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

namespace {

TEST(FrameWriterThread, WritesEveryFrameInOrderAsItWasWhenPushed) {
    constexpr size_t kPixels = 64;
    std::vector<int64_t> numbers;
    std::vector<uint32_t> firsts;
    bool whole = true;
    FrameWriterThread writer(kPixels, 3, [&](const uint32_t* pixels, int64_t number, std::string*) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));  // slower than the pushes
        numbers.push_back(number);
        firsts.push_back(pixels[0]);
        for (size_t i = 0; i < kPixels; ++i) whole = whole && pixels[i] == pixels[0];
        return true;
    });
    // One source frame, changed after every push: the writer must see copies.
    std::vector<uint32_t> frame(kPixels);
    for (uint32_t n = 0; n < 20; ++n) {
        std::fill(frame.begin(), frame.end(), 0xFF000000u + n);
        ASSERT_TRUE(writer.Push(frame.data()));
    }
    std::string error;
    ASSERT_TRUE(writer.Finish(&error)) << error;
    ASSERT_EQ(numbers.size(), 20u);
    for (uint32_t n = 0; n < 20; ++n) {
        EXPECT_EQ(numbers[n], n);
        EXPECT_EQ(firsts[n], 0xFF000000u + n);
    }
    EXPECT_TRUE(whole) << "a frame was written while it was being copied";
}

TEST(FrameWriterThread, AFailedWriteRefusesFurtherFramesAndGivesItsReason) {
    int written = 0;
    FrameWriterThread writer(16, 2, [&](const uint32_t*, int64_t number, std::string* error) {
        if (number == 3) {
            *error = "disk full";
            return false;
        }
        ++written;
        return true;
    });
    const std::vector<uint32_t> frame(16, 0);
    int pushed = 0;
    while (pushed < 1000 && writer.Push(frame.data())) ++pushed;
    EXPECT_LT(pushed, 1000) << "pushes go on after the failure";
    EXPECT_GE(pushed, 4);
    std::string error;
    EXPECT_FALSE(writer.Finish(&error));
    EXPECT_EQ(error, "disk full");
    EXPECT_EQ(written, 3) << "nothing is written after the failure";
}

TEST(FrameWriterThread, FinishingWithoutFramesWritesNothing) {
    bool called = false;
    FrameWriterThread writer(16, 2, [&](const uint32_t*, int64_t, std::string*) { return called = true; });
    std::string error;
    EXPECT_TRUE(writer.Finish(&error));
    EXPECT_FALSE(called);
}

}  // namespace
