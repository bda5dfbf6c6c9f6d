// Times the demo at fixed demo times: the load and its phases, then every
// frame's wall time (draw, present, and waiting for the GPU to finish), per
// set of scenes drawn together, with the worst of the first frames after each
// of its starts.
// Prints figures only; it judges nothing.
// Usage: benchmark DATA_DIR [--fps N] [--start MS] [--end MS] [--sizes 640x480,1280x720]
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

#include "backend/gl_program_cache.h"
#include "backend/load_phases.h"
#include "fixed_clock_run.h"

namespace {

using Clock = std::chrono::steady_clock;

// Frames after the set of scenes drawn changes that count as the new set's start.
constexpr int kStartFrames = 3;

struct SceneFrames {
    std::vector<double> seconds;
    double startWorst = 0.0;  // the slowest frame among the first ones after a start
};

struct LoadPhases {
    double seconds[static_cast<int>(LoadPhase::Count)] = {};
    double& operator[](LoadPhase phase) { return seconds[static_cast<int>(phase)]; }
};

int Usage(const char* self) {
    std::fprintf(stderr,
                 "usage: %s DATA_DIR [--fps N] [--start MS] [--end MS] [--sizes 640x480,1280x720]\n"
                 "  plays the script (by default all of it) at fixed demo times for each size and\n"
                 "  prints the load time split into its phases; per set of scenes drawn together\n"
                 "  the frames, the median and 5th-percentile frame rate, and the slowest of the\n"
                 "  first %d frames after each start of the set against its median frame; and\n"
                 "  peak memory.\n",
                 self, kStartFrames);
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

void PrintRow(const std::string& name, const std::vector<double>& seconds, double startWorst) {
    // The 5th-percentile rate comes from the 95th-percentile frame time: the slow end.
    const double median = Percentile(seconds, 0.5);
    std::printf("  %-28s %7zu %11.1f %9.1f %10.1f", name.c_str(), seconds.size(), 1.0 / median,
                1.0 / Percentile(seconds, 0.95), median * 1000.0);
    if (startWorst > 0.0) std::printf(" %10.1f %9.2f", startWorst * 1000.0, startWorst / median);
    std::printf("\n");
}

// The load without the logo's fade steps and the program warm-up (shown on
// its own line), phase by phase; what no phase claims is "other".
void PrintLoad(double loadSeconds, LoadPhases phases) {
    std::printf("  load time %.2f s\n", loadSeconds);
    const double fades = phases[LoadPhase::LogoFade], warmUp = phases[LoadPhase::ProgramWarmUp];
    std::printf("  load phases (the logo's fade steps, %.3f s, left out):\n", fades);
    double named = 0.0;
    for (const LoadPhase phase : {LoadPhase::Decode, LoadPhase::MipChains, LoadPhase::Compounds,
                                  LoadPhase::ShaderCompile, LoadPhase::CubePreRender}) {
        std::printf("    %-16s %7.3f s\n", LoadPhaseName(phase), phases[phase]);
        named += phases[phase];
    }
    const double loaded = loadSeconds - fades - warmUp;
    std::printf("    %-16s %7.3f s\n", "other", loaded - named);
    std::printf("    %-16s %7.3f s\n", "total", loaded);
    std::printf("    %-16s %7.3f s  (not in the total)\n", LoadPhaseName(LoadPhase::ProgramWarmUp), warmUp);
}

int RunSize(const FixedClockOptions& options) {
    std::vector<double> all;
    std::map<std::string, SceneFrames> byScene;
    std::string previousClass;
    int startFramesLeft = 0;  // frames still counted as the start of their class
    FixedClockLoaded loaded;
    LoadPhases phases;
    Clock::time_point last;
    uint64_t linkedAtLoad = 0;
    StartLoadPhaseClock();
    const int status = RunFixedClock(
        options,
        [&](const FixedClockLoaded& l) {
            StopLoadPhaseClock();
            for (int i = 0; i < static_cast<int>(LoadPhase::Count); ++i)
                phases.seconds[i] = LoadPhaseSeconds(static_cast<LoadPhase>(i));
            linkedAtLoad = ProgramsLinked();
            loaded = l;
            all.reserve(static_cast<size_t>(l.frames));
            last = Clock::now();
        },
        [&](const FixedClockFrame& frame) {
            glFinish();  // the frame is not over until the GPU has drawn it
            const Clock::time_point now = Clock::now();
            const double seconds = std::max(1e-9, std::chrono::duration<double>(now - last).count());
            all.push_back(seconds);
            // A frame's class is the set of scenes it draws: a fade over a
            // scene costs what the scene costs, not what the fade alone does.
            std::string drawn;
            for (const std::string& scene : frame.scenes) drawn += (drawn.empty() ? "" : " + ") + scene;
            if (drawn.empty()) drawn = "(none)";
            if (drawn != previousClass) startFramesLeft = kStartFrames;
            previousClass = drawn;
            SceneFrames& frames = byScene[drawn];
            frames.seconds.push_back(seconds);
            if (startFramesLeft > 0) frames.startWorst = std::max(frames.startWorst, seconds), --startFramesLeft;
            last = Clock::now();  // the bookkeeping above is not the frame's
        });
    if (status != 0) return status;

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("size %dx%d, %d fps fixed clock, %d..%d ms\n", options.width, options.height, options.fps,
                loaded.startMs, loaded.endMs);
    PrintLoad(loaded.loadSeconds, phases);
    std::printf("  %-28s %7s %11s %9s %10s %10s %9s\n", "scenes drawn", "frames", "median fps", "5% fps", "median ms",
                "start ms", "start/med");
    for (const auto& [name, frames] : byScene) PrintRow(name, frames.seconds, frames.startWorst);
    if (!all.empty()) PrintRow("overall", all, 0.0);
    double total = 0.0;
    for (double seconds : all) total += seconds;
    // Comparable with what capture prints for the same span and size.
    std::printf("  %zu frames in %.2f s, %.2f fps\n", all.size(), total, total > 0.0 ? all.size() / total : 0.0);
    std::printf("  GL programs linked: %llu while loading, %llu while playing\n",
                static_cast<unsigned long long>(linkedAtLoad),
                static_cast<unsigned long long>(ProgramsLinked() - linkedAtLoad));
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
        if (option == "--sizes" && i + 1 < argc) {
            if (!ParseSizes(argv[++i], &sizes)) return Usage(argv[0]);
        } else if (option == "--size" ||  // --sizes takes the run's sizes
                   ReadFixedClockOption(argc, argv, &i, &options) != FixedClockOptionRead::Read) {
            return Usage(argv[0]);
        }
    }
    if (options.fps <= 0) return Usage(argv[0]);
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
