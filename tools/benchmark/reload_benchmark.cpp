#include "reload_benchmark.h"

#include <epoxy/gl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "data_check_findings.h"
#include "live_player.h"
#include "platform/demo_app.h"
#include "runtime/demo_player.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

struct Case {
    const char* what;
    std::string path;  // relative to the data directory
    double targetMs;
};

std::string ReadWhole(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// The largest file of the folder with the extension, relative to root.
std::string Largest(const fs::path& root, const std::string& folder, const std::string& extension) {
    std::string best;
    uintmax_t bestSize = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(root / folder))
        if (entry.path().extension() == extension && entry.file_size() >= bestSize) {
            bestSize = entry.file_size();
            best = folder + "/" + entry.path().filename().string();
        }
    return best;
}

// Saves the file's own bytes again and plays until the player has reloaded
// it and drawn a picture: milliseconds from the save to that picture.
double TimeOneReload(LivePlayer& live, const std::string& path, const std::string& bytes) {
    const int before = live.reload().reloads();
    const Clock::time_point start = Clock::now();
    std::ofstream(path, std::ios::binary) << bytes;
    for (int frame = 0; frame < 1000 && live.reload().reloads() == before; ++frame) live.Frame();
    glFinish();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double Median(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void RunCases(LivePlayer& live, const std::vector<Case>& cases, int rounds) {
    // A reload shows in the frame after the save: the frame's own time is part of it.
    std::vector<double> frames;
    for (int i = 0; i < 10; ++i) {
        const Clock::time_point start = Clock::now();
        live.Frame();
        glFinish();
        frames.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::printf("frame without a reload: median %.1f ms\n", Median(frames));
    for (const Case& c : cases) {
        const std::string bytes = ReadWhole(c.path);
        std::vector<double> times;
        for (int round = 0; round < rounds; ++round) times.push_back(TimeOneReload(live, c.path, bytes));
        std::printf("%-9s %-34s %9zu bytes  median %7.1f ms  max %7.1f ms  (target < %.0f ms)\n", c.what,
                    c.path.c_str(), bytes.size(), Median(times), *std::max_element(times.begin(), times.end()),
                    c.targetMs);
    }
    for (const std::string& line : live.PanelLines()) std::printf("fault: %s\n", line.c_str());
}

}  // namespace

int BenchmarkReloads(const CLI::App* app, const std::string& dataDir, int rounds) {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);

    // Saves go to a copy: the data directory is left as it is.
    std::error_code error;
    const fs::path copy = fs::temp_directory_path() / ("halcyon-reloads." + std::to_string(getpid()));
    fs::create_directories(copy, error);
    for (const char* folder : {"scripts", "shaders", "textures", "models", "audio"})
        if (!error) fs::copy(fs::path(dataDir) / folder, copy / folder, fs::copy_options::recursive, error);
    if (error || chdir(copy.c_str()) != 0) {
        const std::string reason = error.message();
        fs::remove_all(copy, error);
        return Fail(app, "cannot copy " + dataDir + ": " + reason);
    }
    const std::vector<Case> cases = {
        {"shader", "shaders/zkLFShader.fx", 250.0},
        {"picture", "textures/tex2d_backquad.png", 250.0},
        {"picture", Largest(".", "textures", ".png"), 250.0},
        {"compound", Largest(".", "models", ".nc"), 1000.0},
    };

    g_demoApp = new DemoApp();
    g_demoApp->Startup(960, 540, false, 0);
    int status = kExitDone;
    if (!g_graphics || !g_graphics->device) {
        status = Fail(app, "no graphics device");
    } else {
        BoxCollector boxes;
        DemoPlayer player(960, 540, 960.0f / 540.0f);
        player.LoadScript("demo.txt");
        LivePlayer live(&player, &boxes, ".");
        live.transport().Seek(30000.0f);
        RunCases(live, cases, rounds);
    }
    g_demoApp->Shutdown();
    delete g_demoApp;
    g_demoApp = nullptr;
    fs::remove_all(copy, error);
    return status;
}
