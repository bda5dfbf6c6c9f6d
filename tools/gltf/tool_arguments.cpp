#include "tool_arguments.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>

bool ParseToolArguments(int argc, char** argv, ToolArguments* arguments, std::string* error) {
    int positional = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        const bool hasValue = i + 1 < argc;
        if (word == "--textures") {
            if (!hasValue) return *error = "--textures needs a folder", false;
            arguments->textureDirectory = argv[++i];
        } else if (word == "--frames-per-second") {
            if (!hasValue) return *error = "--frames-per-second needs a number", false;
            char* end = nullptr;
            const double rate = std::strtod(argv[++i], &end);
            if (*end != '\0' || !std::isfinite(rate) || rate <= 0 || rate > 100000)
                return *error = std::string("--frames-per-second takes a positive number, not ") + argv[i], false;
            arguments->framesPerSecond = static_cast<float>(rate);
        } else if (word.rfind("--", 0) == 0) {
            return *error = "unknown option " + word, false;
        } else if (positional == 0) {
            arguments->input = word, ++positional;
        } else if (positional == 1) {
            arguments->output = word, ++positional;
        } else {
            return *error = "one input and one output only", false;
        }
    }
    if (positional != 2) return *error = "an input and an output are needed", false;
    return true;
}

std::string TexturesBeside(const std::string& compoundPath) {
    const std::filesystem::path folder = std::filesystem::absolute(compoundPath).parent_path();
    return (folder.filename() == "models" ? folder.parent_path() / "textures" : folder / "textures").string();
}
