// docs/making-a-demo.md run as written: every sh block, in order, as one
// script in a fresh folder where build/ is the build directory. The live
// player runs until it is stopped, so it must still be playing, unharmed,
// after a few seconds.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "child_process.h"
#include "temp_dir.h"

namespace {

namespace fs = std::filesystem;

const fs::path kDocument = fs::path(REFERENCE_DIR) / ".." / ".." / "docs" / "making-a-demo.md";

// The sh blocks of the text, one after another.
std::string ShellBlocks(const std::string& markdown) {
    std::istringstream lines(markdown);
    std::string script;
    bool inside = false;
    for (std::string line; std::getline(lines, line);) {
        if (line == "```sh" || (inside && line == "```")) {
            inside = line == "```sh";
            continue;
        }
        if (inside) script += line + "\n";
    }
    return script;
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

}  // namespace

TEST(MakingADemoDocument, EveryCommandRunsAsWritten) {
    const std::string markdown = FileText(kDocument.string());
    const std::string blocks = ShellBlocks(markdown);
    ASSERT_NE(blocks.find("build/halcyon new my-demo"), std::string::npos) << kDocument;
    TempDir dir;
    fs::create_directory_symlink(DEMO_DATA_DIR, dir.path() / "build");
    const std::string script =
        "set -euo pipefail\n"
        "export SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy\n"
        "live_a_while() { local status=0; timeout 8 \"$@\" || status=$?; [ \"$status\" -eq 124 ]; }\n" +
        Replaced(blocks, "build/halcyon live ", "live_a_while build/halcyon live ");
    dir.Write("document.sh", script);
    const CommandRun run =
        RunCommand("cd '" + dir.path().string() + "' && timeout 300 bash document.sh 2>&1");
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_TRUE(fs::is_regular_file(dir.path() / "my-demo" / "models" / "figure.nc"));
    const fs::path video = dir.path() / "my-demo.mp4";
    EXPECT_TRUE(fs::is_regular_file(video) && fs::file_size(video) > 1000u);
    EXPECT_TRUE(fs::is_regular_file(dir.path() / "viewer" / "my-demo-release" / "halcyon98piece"));
    EXPECT_EQ(run.output.find(": error: "), std::string::npos) << run.output;
}
