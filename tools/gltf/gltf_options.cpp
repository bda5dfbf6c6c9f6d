#include "gltf_options.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>

void AddGltfOptions(CLI::App* app, GltfOptions* options, const std::string& inputHelp, const std::string& outputHelp,
                    const std::string& texturesHelp) {
    app->add_option("INPUT", options->input, inputHelp)->required();
    app->add_option("OUTPUT", options->output, outputHelp)->required();
    app->add_option("--textures", options->textureDirectory, texturesHelp)->type_name("DIR");
    // Blender's rates need not be whole (29.97).
    app->add_option_function<std::string>(
           "--fps",
           [options](const std::string& text) {
               char* end = nullptr;
               const double rate = std::strtod(text.c_str(), &end);
               if (text.empty() || *end != '\0' || !std::isfinite(rate) || rate <= 0 || rate > 100000)
                   throw RefusedValue("--fps", "a positive number of key units a second", text);
               options->framesPerSecond = static_cast<float>(rate);
           },
           "key units a second of the animation (default 25, as the scenes count)")
        ->type_name("N");
}

std::string TexturesBeside(const std::string& compoundPath) {
    const std::filesystem::path folder = std::filesystem::absolute(compoundPath).parent_path();
    return (folder.filename() == "models" ? folder.parent_path() / "textures" : folder / "textures").string();
}
