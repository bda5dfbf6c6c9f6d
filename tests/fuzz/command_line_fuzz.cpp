// The maker's command line: arguments split at NUL bytes, read into a
// subcommand with every shared option (data folder, sizes, times, frame
// rates). A line either fits, leaving every value within its range, or is
// refused with a parse error; nothing else may happen.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "command/command_line.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> words(1, "halcyon");
    for (size_t i = 0; i < size && words.size() < 64; ++i) {
        if (data[i] == 0)
            words.emplace_back();
        else if (words.size() == 1)
            words.emplace_back(1, static_cast<char>(data[i]));
        else
            words.back() += static_cast<char>(data[i]);
    }
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());

    CLI::App command("fuzz", kCommandName);
    CLI::App* app = AddSubcommand(command, "play", "plays", "halcyon play build");
    std::string dataDir;
    int width = 640, height = 480, fps = 30, startMs = 0, endMs = -1;
    std::vector<std::pair<int, int>> sizes;
    AddDataDirArgument(app, &dataDir);
    AddSizeOption(app, &width, &height, "size");
    AddSizesOption(app->add_subcommand("sizes"), &sizes, "sizes");
    AddFpsOption(app, &fps, "fps");
    AddMillisecondsOption(app, "--start", &startMs, "start");
    AddMillisecondsOption(app, "--end", &endMs, "end");
    try {
        command.parse(static_cast<int>(argv.size()), argv.data());
    } catch (const CLI::ParseError&) {
        return 0;
    }
    if (width < 1 || width > 16384 || height < 1 || height > 16384 || fps < 1 || fps > 1000 || startMs < 0 ||
        endMs < -1)
        std::abort();
    for (const auto& [w, h] : sizes)
        if (w < 1 || w > 16384 || h < 1 || h > 16384) std::abort();
    return 0;
}
