// halcyon benchmark: times the demo at fixed demo times: the load and its
// phases, then every frame's wall time (draw, present, and waiting for the
// GPU to finish), per set of scenes drawn together, with the worst of the
// first frames after each of its starts. With --reloads, the live player's
// reloads instead. Prints figures only; it judges nothing.
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
#include <memory>
#include <string>
#include <vector>

#include "backend/gl_program_cache.h"
#include "backend/load_phases.h"
#include "command/progress_line.h"
#include "command/subcommands.h"
#include "fixed_clock_options.h"
#include "reload_benchmark.h"

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
    std::unique_ptr<ProgressLine> progress;
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
            progress = std::make_unique<ProgressLine>(
                "halcyon benchmark " + std::to_string(options.width) + "x" + std::to_string(options.height), l.frames);
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
            progress->Show(frame.number + 1);
            last = Clock::now();  // the bookkeeping above is not the frame's
        });
    if (progress) progress->Finish();
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

// One process per size: each gets a fresh engine and its own peak memory.
int BenchmarkFrames(const CLI::App* app, FixedClockOptions options, std::vector<std::pair<int, int>> sizes) {
    if (const int status = CheckFixedClockSpan(app, options)) return status;
    options.dataDir = std::filesystem::absolute(options.dataDir).lexically_normal().string();
    if (sizes.empty()) sizes = {{640, 480}, {1280, 720}};
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    int status = kExitDone;
    for (const auto& [width, height] : sizes) {
        options.width = width;
        options.height = height;
        std::fflush(stdout);
        std::fflush(stderr);
        const pid_t child = fork();
        if (child < 0) return Fail(app, "cannot start a process for each size");
        if (child == 0) {
            const int code = RunSize(options);
            std::fflush(stdout);
            _exit(code);
        }
        int result = 0;
        if (waitpid(child, &result, 0) != child || !WIFEXITED(result) || WEXITSTATUS(result) != 0)
            status = Fail(app, "the " + std::to_string(width) + "x" + std::to_string(height) + " run failed");
    }
    return status;
}

}  // namespace

Subcommand AddBenchmarkCommand(CLI::App& command) {
    CLI::App* app = AddSubcommand(command, "benchmark",
                                  "Time the demo's load and frames offscreen, per size; or the live player's reloads",
                                  "halcyon benchmark build --size 640x480 --size 1280x720 --fps 10");
    struct Options {
        FixedClockOptions run;
        std::vector<std::pair<int, int>> sizes;
        bool reloads = false;
        int rounds = 5;
    };
    auto options = std::make_shared<Options>();
    AddDataDirArgument(app, &options->run.dataDir);
    AddSizesOption(app, &options->sizes, "a size to time, once for each (default 640x480 and 1280x720)");
    AddFixedClockOptions(app, &options->run, false);
    CLI::Option* reloads = app->add_flag(
        "--reloads", options->reloads,
        "time the live player instead: from saving a shader, a picture and the largest compound to the first "
        "picture drawn with it (works on a copy of DATA_DIR)");
    app->add_option("--rounds", options->rounds, "with --reloads, saves of each file (default 5)")
        ->check(CLI::Range(1, 1000))
        ->needs(reloads);
    return {app, [app, options] {
                return options->reloads ? BenchmarkReloads(app, options->run.dataDir, options->rounds)
                                        : BenchmarkFrames(app, options->run, options->sizes);
            }};
}
