// The live player's command line and its watch on the data directory.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include "live_options.h"
#include "live_watch.h"
#include "temp_dir.h"

namespace {

bool Parse(std::vector<const char*> args, LiveOptions* options, std::string* error) {
    args.insert(args.begin(), "live");
    return ParseLiveOptions(static_cast<int>(args.size()), args.data(), options, error);
}

TEST(LiveOptions, TheDataDirectorySizeAndStart) {
    LiveOptions options;
    std::string error;
    ASSERT_TRUE(Parse({"data"}, &options, &error)) << error;
    EXPECT_EQ(options.dataDir, "data");
    EXPECT_EQ(options.width, 960);
    EXPECT_EQ(options.height, 540);
    EXPECT_EQ(options.atMs, -1) << "the script's start";

    options = {};
    ASSERT_TRUE(Parse({"--size", "1280x720", "data", "--at", "130500"}, &options, &error)) << error;
    EXPECT_EQ(options.width, 1280);
    EXPECT_EQ(options.height, 720);
    EXPECT_EQ(options.atMs, 130500);
}

TEST(LiveOptions, MalformedLinesAreRefusedWithTheReason) {
    const std::string overlong(100000, '7');
    const std::vector<std::pair<std::vector<const char*>, std::string>> cases = {
        {{}, "no data directory"},
        {{"data", "--size"}, "--size needs a value"},
        {{"data", "--size", "640"}, "--size takes WIDTHxHEIGHT"},
        {{"data", "--size", "x480"}, "--size takes WIDTHxHEIGHT"},
        {{"data", "--size", "640x"}, "--size takes WIDTHxHEIGHT"},
        {{"data", "--size", "0x480"}, "--size takes WIDTHxHEIGHT"},
        {{"data", "--size", "-640x480"}, "--size takes WIDTHxHEIGHT"},
        {{"data", "--size", "640x480x2"}, "--size takes WIDTHxHEIGHT"},
        {{"data", "--size", "99999999999999999999x480"}, "--size takes WIDTHxHEIGHT"},
        {{"data", "--size", "20000x480"}, "--size takes WIDTHxHEIGHT"},
        {{"data", "--at"}, "--at needs a value"},
        {{"data", "--at", "-5"}, "--at takes milliseconds"},
        {{"data", "--at", "12s"}, "--at takes milliseconds"},
        {{"data", "--at", ""}, "--at takes milliseconds"},
        {{"data", "--at", "99999999999"}, "--at takes milliseconds"},
        {{"data", "--at", overlong.c_str()}, "--at takes milliseconds"},
        {{"data", "--fast"}, "unknown option \"--fast\""},
        {{"data", "more"}, "one data directory only"},
    };
    for (const auto& [args, reason] : cases) {
        LiveOptions options;
        std::string error;
        EXPECT_FALSE(Parse(args, &options, &error)) << reason;
        EXPECT_EQ(error.compare(0, reason.size(), reason), 0)
            << "got \"" << error.substr(0, 80) << "\", wanted " << reason;
    }
}

TEST(LiveWatch, ReportsEachSavedFileOnceAndNotADeletedOne) {
    TempDir dir;
    dir.Write("shaders/a.fx", "1");
    dir.Write("models/b.nc", "1");
    LiveWatch watch(dir.path().string());
    EXPECT_TRUE(watch.Changed().empty());

    dir.Write("shaders/a.fx", "2");
    dir.Write("shaders/a.fx", "3");
    dir.Write("models/b.nc", "2");
    EXPECT_EQ(watch.Changed(), (std::vector<std::string>{"shaders/a.fx", "models/b.nc"}));
    EXPECT_TRUE(watch.Changed().empty());

    std::filesystem::remove(dir.path() / "models/b.nc");
    EXPECT_TRUE(watch.Changed().empty());

    // Moved in whole, as editors save.
    dir.Write("x.tmp", "4");
    std::filesystem::rename(dir.path() / "x.tmp", dir.path() / "models/b.nc");
    EXPECT_EQ(watch.Changed(), (std::vector<std::string>{"models/b.nc"}));
}

TEST(LiveWatch, AFileStillOpenIsReportedWhenItsWritesSettle) {
    TempDir dir;
    dir.Write("textures/p.png", "");
    LiveWatch watch(dir.path().string());
    std::ofstream file(dir.path() / "textures/p.png", std::ios::binary);
    file << "half" << std::flush;
    EXPECT_TRUE(watch.Changed(10000).empty()) << "still being written";
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(watch.Changed(10), (std::vector<std::string>{"textures/p.png"}));
    file << "whole";
    file.close();
    EXPECT_EQ(watch.Changed(10000), (std::vector<std::string>{"textures/p.png"})) << "closed: at once";
}

}  // namespace
