// The command lines of import and export: an input, an output, where the
// pictures are, and the animation's key rate.
#pragma once

#include <string>

#include "command/command_line.h"

struct GltfOptions {
    std::string input, output;
    std::string textureDirectory;  // empty: the data set's own, beside the models folder
    float framesPerSecond = 25;
};

// INPUT and OUTPUT (described by the helps), --textures DIR and --fps N.
void AddGltfOptions(CLI::App* app, GltfOptions* options, const std::string& inputHelp, const std::string& outputHelp,
                    const std::string& texturesHelp);

// The textures folder of the data set a compound path lies in: "textures"
// beside its "models" folder, else beside the file itself.
std::string TexturesBeside(const std::string& compoundPath);
