// The long runs' progress: frames, rate and the time left at that rate; a bar
// rewritten in place on a terminal, a plain line at each tenth elsewhere.
#include "command/progress_line.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

TEST(ProgressLine, ShowsFramesRateAndTheTimeLeftAtThatRate) {
    const std::string line = ProgressLine::Text(30, 120, 10.0);
    EXPECT_NE(line.find(" 25% frame 30/120"), std::string::npos) << line;
    EXPECT_NE(line.find("3.0 fps 0:30 left"), std::string::npos) << line;
    EXPECT_NE(line.find("[#######......................."), std::string::npos) << line;
    EXPECT_NE(ProgressLine::Text(100, 7300, 1.0).find("100.0 fps 1:12 left"), std::string::npos);
    EXPECT_NE(ProgressLine::Text(3, 11, 1.0, "step").find(" 27% step 3/11 0:03 left"), std::string::npos)
        << "other units count without a frame rate: " << ProgressLine::Text(3, 11, 1.0, "step");
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

TEST(ProgressLine, ATerminalGetsOneLineRewrittenALogATenthALine) {
    struct Case {
        bool terminal;
        size_t carriageReturns, newlines;
    };
    for (const Case& c : {Case{true, 101, 1}, Case{false, 0, 11}}) {
        testing::internal::CaptureStderr();
        ProgressLine progress("halcyon capture", 100, "frame", c.terminal);
        for (int done = 0; done <= 100; ++done) progress.Show(done);
        progress.Finish();
        const std::string written = testing::internal::GetCapturedStderr();
        EXPECT_EQ(static_cast<size_t>(std::count(written.begin(), written.end(), '\r')), c.carriageReturns)
            << c.terminal;
        EXPECT_EQ(static_cast<size_t>(std::count(written.begin(), written.end(), '\n')), c.newlines) << c.terminal;
        EXPECT_EQ(written.rfind("halcyon capture: [", 0), c.terminal ? std::string::npos : 0u) << written;
        EXPECT_NE(written.find("100% frame 100/100"), std::string::npos) << written;
    }
}

}  // namespace
