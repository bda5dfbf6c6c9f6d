// The generated data set played by the fixed clock at a chosen window size,
// for reference pictures of what the demo shows.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "fixed_clock_run.h"
#include "recording_fixture.h"
#include "reference_picture.h"
#include "runtime/demo_player.h"

// A demo time and what its frame must show.
struct SceneMoment {
    const char* name;  // of the reference picture, under scenes/
    int ms;
    std::vector<std::string> scenes;  // what the script draws then
};

class DemoPictures : public ::testing::Test {
protected:
    void TearDown() override;
    // Opens the window and loads the script, as the demo does.
    void Open(int width, int height, int multisample = 0, const std::string& dataDir = DEMO_DATA_DIR);
    // The picture of one frame drawn at demo time ms; scenes gets the classes
    // of the timeline entries it drew, in timeline order.
    Picture FrameAt(int ms, std::vector<std::string>* scenes = nullptr);
    DemoResources& resources() { return *session->player().resources; }
    // After Open: each moment's frame, compared with its reference picture.
    std::vector<Picture> ExpectMoments(const std::vector<SceneMoment>& moments);

    MessageBoxCapture boxes;
    std::unique_ptr<FixedClockSession> session;
};

// Each pixel the average of a 2x2 block, rounded: a large frame stored small.
Picture HalfSize(const Picture& picture);
