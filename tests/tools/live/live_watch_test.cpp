// The live player's watch on the data directory.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include "live_watch.h"
#include "temp_dir.h"

namespace {

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
