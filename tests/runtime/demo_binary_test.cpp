// The demo executable, run headless against data made here: a copy of it
// sits beside the data and is started from another directory.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "child_process.h"
#include "temp_dir.h"

namespace {

struct RunResult {
    int exitCode;
    double seconds;
    std::string errors;
};

// A hard link where it can be one: the executable's path is where it looks.
std::filesystem::path PlaceDemoIn(const TempDir& dir) {
    const std::filesystem::path placed = dir.path() / "halcyon98piece";
    std::error_code error;
    std::filesystem::create_hard_link(DEMO_BINARY, placed, error);
    if (error) std::filesystem::copy_file(DEMO_BINARY, placed);
    return placed;
}

// Headless, from another directory; environment: env(1) arguments such as "-u DISPLAY".
RunResult RunIn(const TempDir& dir, const std::string& binary, const std::string& environment) {
    const std::string errors = (dir.path() / "stderr.txt").string();
    const std::string command = "cd / && env " + environment + " SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy "
                                "timeout 60 '" + binary + "' 2>'" + errors + "'";
    const auto begin = std::chrono::steady_clock::now();
    const int status = std::system(command.c_str());
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, seconds, FileText(errors)};
}
RunResult RunDemoIn(const TempDir& dir) { return RunIn(dir, PlaceDemoIn(dir).string(), "HALCYON98PIECE_CONFIG=0,0,2,0"); }

}  // namespace

TEST(DemoBinary, MissingScriptShowsTheMessageAndEndsAfterOneFrame) {
    TempDir dir;
    const RunResult run = RunDemoIn(dir);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_NE(run.errors.find("Error!: The lolcats fucked demo script, damn !"), std::string::npos) << run.errors;
}

// Every scene class of the generated data for a third of a second, from a
// seek to four seconds before the end of the music, which then plays out.
TEST(DemoBinary, PlaysEverySceneOfTheGeneratedDataSetWithoutAMessage) {
    TempDir dir;
    for (const char* folder : {"textures", "shaders", "models", "audio"})
        std::filesystem::create_directory_symlink(std::filesystem::path(DEMO_DATA_DIR) / folder, dir.path() / folder);
    std::string script = "!MusicPos 176000\n!MusicVol 0.5\n.ID0\n";
    const char* scenes[] = {"ID1", "ID2", "ID3", "ID4", "ID5", "IDA5", "ID6", "ID7", "ID8", "ID9", "IDC"};
    int start = 176000;
    for (const char* scene : scenes) {
        script += std::string(".") + scene + "\n-time " + std::to_string(start) + " " + std::to_string(start + 330) + "\n";
        start += 330;
    }
    script += ".IFTB\n-time 176000 176300\n.FTB\n-time 179500 180000\n";
    dir.Write("scripts/demo.txt", script);

    const RunResult run = RunDemoIn(dir);
    EXPECT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_EQ(run.errors, "");
    EXPECT_GT(run.seconds, 3.0) << "four seconds of music are played out";
}

TEST(DemoBinary, WithoutADisplayItSaysSoAndHowToPlayOrRecordInstead) {
    TempDir dir;
    const RunResult run = RunIn(dir, DEMO_BINARY, "-u DISPLAY -u WAYLAND_DISPLAY -u HALCYON98PIECE_CONFIG");
    EXPECT_EQ(run.exitCode, 1) << "not the 124 of a wait for a click that cannot come";
    for (const char* part : {"no display", "HALCYON98PIECE_CONFIG=1,0,2,0", "halcyon capture"})
        EXPECT_NE(run.errors.find(part), std::string::npos) << run.errors;
}
