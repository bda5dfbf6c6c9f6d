// The live player in process: the offscreen window and OpenGL device, a data
// set in a fresh directory, the fixed clock at 30 frames a second.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "data_check_findings.h"
#include "fixed_clock_run.h"
#include "live_player.h"
#include "runtime/demo_player.h"
#include "temp_dir.h"

class LiveShell : public ::testing::Test {
protected:
    static constexpr int kFps = 30;
    static constexpr float kFrameMs = 1000.0f / kFps;

    void TearDown() override;
    // The test data set with this script, its music musicSeconds long.
    void WriteData(const std::string& script, double musicSeconds = 20.0);
    // Loads dir's data as live does and primes the fixed clock at the script's start.
    void Start(int width = 320, int height = 240);
    // One frame of the player at the next step of the clock; false when it ended.
    bool Frame();
    void Frames(int count);
    // Frames until done() holds, at most limit; true when it did.
    template <typename Done>
    bool FramesUntil(Done done, int limit = 10) {
        for (int i = 0; i < limit; ++i) {
            Frame();
            if (done()) return true;
        }
        return false;
    }
    // Writes a file of the data directory as an editor saving it would.
    void Save(const std::string& path, const std::string& bytes) { dir.Write(path, bytes); }
    std::string Read(const std::string& path) const;
    // The back buffer as presented last, 0xAARRGGBB, top row first.
    std::vector<uint32_t> Pixels();

    float playhead() { return live->transport().playhead(); }
    int musicMs() { return player->resources->music.PositionNow(); }

    TempDir dir;
    int width = 0, height = 0;
    int musicLengthMs = 0;
    std::unique_ptr<FixedClock> clock;
    std::unique_ptr<BoxCollector> boxes;
    std::unique_ptr<DemoPlayer> player;
    std::unique_ptr<LivePlayer> live;

private:
    std::unique_ptr<WorkingDirectory> cwd_;
    int64_t frame_ = 0;
};

// The pixels that differ between two pictures, outside rows [skipTop, skipBottom).
int DifferingPixels(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b, int width, int skipTop = 0,
                    int skipBottom = 0);
