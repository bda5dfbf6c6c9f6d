// Times the demo at fixed demo times: the load, then every frame's wall time
// (draw, present, and waiting for the GPU to finish), per scene class.
// Prints figures only; it judges nothing.
// Usage: benchmark DATA_DIR [--fps N] [--sizes 640x480,1280x720]
#include <epoxy/gl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "fixed_clock_run.h"

namespace {

using Clock = std::chrono::steady_clock;

int Usage(const char* self) {
    std::fprintf(stderr,
                 "usage: %s DATA_DIR [--fps N] [--sizes 640x480,1280x720]\n"
                 "  plays the whole script at fixed demo times for each size and prints the load\n"
                 "  time, frames, median and 5th-percentile frame rate per scene class, and peak memory.\n",
                 self);
    return 2;
}

bool ParseSizes(const std::string& text, std::vector<std::pair<int, int>>* sizes) {
    size_t begin = 0;
    while (begin <= text.size()) {
        size_t end = text.find(',', begin);
        if (end == std::string::npos) end = text.size();
        int w = 0, h = 0;
        char extra = 0;
        if (std::sscanf(text.substr(begin, end - begin).c_str(), "%dx%d%c", &w, &h, &extra) != 2 || w <= 0 ||
            h <= 0)
            return false;
        sizes->push_back({w, h});
        begin = end + 1;
    }
    return !sizes->empty();
}

// Nearest rank: the value that share of the sorted values do not exceed.
double Percentile(std::vector<double> values, double share) {
    std::sort(values.begin(), values.end());
    size_t rank = static_cast<size_t>(share * static_cast<double>(values.size()) + 0.999999);
    rank = std::clamp<size_t>(rank, 1, values.size());
    return values[rank - 1];
}

void PrintRow(const std::string& name, const std::vector<double>& seconds) {
    // The 5th-percentile rate comes from the 95th-percentile frame time: the slow end.
    std::printf("  %-16s %7zu %11.1f %9.1f\n", name.c_str(), seconds.size(), 1.0 / Percentile(seconds, 0.5),
                1.0 / Percentile(seconds, 0.95));
}

int RunSize(const FixedClockOptions& options) {
    std::vector<double> all;
    std::map<std::string, std::vector<double>> byScene;
    FixedClockLoaded loaded;
    Clock::time_point last;
    const int status = RunFixedClock(
        options,
        [&](const FixedClockLoaded& l) {
            loaded = l;
            all.reserve(static_cast<size_t>(l.frames));
            last = Clock::now();
        },
        [&](const FixedClockFrame& frame) {
            glFinish();  // the frame is not over until the GPU has drawn it
            const Clock::time_point now = Clock::now();
            const double seconds = std::max(1e-9, std::chrono::duration<double>(now - last).count());
            all.push_back(seconds);
            if (frame.scenes.empty()) byScene["(none)"].push_back(seconds);
            for (const std::string& scene : frame.scenes) byScene[scene].push_back(seconds);
            last = Clock::now();  // the bookkeeping above is not the frame's
        });
    if (status != 0) return status;

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("size %dx%d, %d fps fixed clock, %d..%d ms\n", options.width, options.height, options.fps,
                loaded.startMs, loaded.endMs);
    std::printf("  load time %.2f s\n", loaded.loadSeconds);
    std::printf("  %-16s %7s %11s %9s\n", "scene class", "frames", "median fps", "5% fps");
    for (const auto& [name, seconds] : byScene) PrintRow(name, seconds);
    if (!all.empty()) PrintRow("overall", all);
    std::printf("  peak memory %.1f MiB\n\n", static_cast<double>(usage.ru_maxrss) / 1024.0);
    std::fflush(stdout);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage(argv[0]);
    FixedClockOptions options;
    options.dataDir = std::filesystem::absolute(argv[1]).lexically_normal().string();
    std::vector<std::pair<int, int>> sizes;
    for (int i = 2; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--fps" && i + 1 < argc) {
            options.fps = std::atoi(argv[++i]);
            if (options.fps <= 0) return Usage(argv[0]);
        } else if (option == "--sizes" && i + 1 < argc) {
            if (!ParseSizes(argv[++i], &sizes)) return Usage(argv[0]);
        } else {
            return Usage(argv[0]);
        }
    }
    if (sizes.empty()) sizes = {{640, 480}, {1280, 720}};
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);

    // One process per size: each gets a fresh engine and its own peak memory.
    int status = 0;
    for (const auto& [width, height] : sizes) {
        options.width = width;
        options.height = height;
        std::fflush(stdout);
        std::fflush(stderr);
        const pid_t child = fork();
        if (child < 0) {
            std::perror("benchmark: fork");
            return 1;
        }
        if (child == 0) {
            const int code = RunSize(options);
            std::fflush(stdout);
            _exit(code);
        }
        int result = 0;
        if (waitpid(child, &result, 0) != child || !WIFEXITED(result) || WEXITSTATUS(result) != 0) {
            std::fprintf(stderr, "benchmark: the %dx%d run failed\n", width, height);
            status = 1;
        }
    }
    return status;
}
