// The command lines of nc_import and nc_export: two paths and options.
#pragma once

#include <string>

struct ToolArguments {
    std::string input, output;
    std::string textureDirectory;  // empty: the data set's own, beside the models folder
    float framesPerSecond = 25;
};

// False with the reason in error when the line does not fit.
bool ParseToolArguments(int argc, char** argv, ToolArguments* arguments, std::string* error);

// The textures folder of the data set a compound path lies in: "textures"
// beside its "models" folder, else beside the file itself.
std::string TexturesBeside(const std::string& compoundPath);
