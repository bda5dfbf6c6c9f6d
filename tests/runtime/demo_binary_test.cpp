// The demo executable, run headless against data made here.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "temp_dir.h"
#include "test_data_set.h"

namespace {

struct RunResult {
    int exitCode;
    double seconds;
    std::string errors;
};

RunResult RunDemoIn(const TempDir& dir) {
    const std::string errors = (dir.path() / "stderr.txt").string();
    const std::string command = "cd '" + dir.path().string() + "' && SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy HALCYON98PIECE_CONFIG=0,0,2,0 "
                                "timeout 60 '" DEMO_BINARY "' 2>'" + errors + "'";
    const auto begin = std::chrono::steady_clock::now();
    const int status = std::system(command.c_str());
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    std::stringstream text;
    text << std::ifstream(errors).rdbuf();
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, seconds, text.str()};
}

}  // namespace

TEST(DemoBinary, PlaysToTheEndOfTheMusicAndExits) {
    TempDir dir;
    WriteTestDataSet(dir, 2.0);
    dir.Write("scripts/demo.txt", "!MusicPos 500\n!MusicVol 0.5\n.ID1\n-time 0 100000\n.FTB\n-time 1000 2000\n");

    const RunResult run = RunDemoIn(dir);
    EXPECT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_EQ(run.errors, "");
    EXPECT_GT(run.seconds, 1.2) << "the music starts at 0.5 s of 2 s and is played out";
    EXPECT_LT(run.seconds, 30.0);
}

TEST(DemoBinary, MissingScriptShowsTheMessageAndEndsAfterOneFrame) {
    TempDir dir;
    const RunResult run = RunDemoIn(dir);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_NE(run.errors.find("Error!: The lolcats fucked demo script, damn !"), std::string::npos) << run.errors;
}
