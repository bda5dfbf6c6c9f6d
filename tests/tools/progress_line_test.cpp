// The capture tool's progress line: frames, rate and the time left at that rate.
#include "progress_line.h"

#include <gtest/gtest.h>

namespace {

TEST(ProgressLine, ShowsFramesRateAndTheTimeLeftAtThatRate) {
    const std::string line = ProgressLine::Text(30, 120, 10.0);
    EXPECT_NE(line.find(" 25% frame 30/120"), std::string::npos) << line;
    EXPECT_NE(line.find("3.0 fps 0:30 left"), std::string::npos) << line;
    EXPECT_NE(line.find("[#######......................."), std::string::npos) << line;
    EXPECT_NE(ProgressLine::Text(100, 7300, 1.0).find("100.0 fps 1:12 left"), std::string::npos);
}

TEST(ProgressLine, StartAndEndAreShownWithoutARate) {
    EXPECT_NE(ProgressLine::Text(0, 50, 0.0).find("frame 0/50    0.0 fps --:-- left"), std::string::npos)
        << ProgressLine::Text(0, 50, 0.0);
    EXPECT_NE(ProgressLine::Text(50, 50, 5.0).find("100% frame 50/50   10.0 fps 0:00 left"), std::string::npos)
        << ProgressLine::Text(50, 50, 5.0);
    // A run that draws more frames than it expected stays within the bar.
    EXPECT_NE(ProgressLine::Text(60, 50, 5.0).find("[##############################] 100%"), std::string::npos)
        << ProgressLine::Text(60, 50, 5.0);
    EXPECT_NE(ProgressLine::Text(3, 0, 1.0).find("100% frame 3/0"), std::string::npos) << ProgressLine::Text(3, 0, 1.0);
}

}  // namespace
