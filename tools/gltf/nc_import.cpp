// Makes a compound file from a glTF 2.0 scene (Blender's glTF export, or any
// other tool's), its images as PNG files in the texture folder.
// Usage: nc_import IN.gltf|IN.glb OUT.nc [--textures DIR] [--frames-per-second N]
// Warnings name what the format cannot hold; errors end with exit code 1.
#include <cstdio>
#include <exception>
#include <fstream>

#include "compound_reading.h"
#include "gltf_import.h"
#include "tool_arguments.h"

namespace {

constexpr const char* kUsage =
    "usage: nc_import IN.gltf|IN.glb OUT.nc [--textures DIR] [--frames-per-second N]\n"
    "  --textures DIR           where the images go as PNG files (default: the textures folder beside\n"
    "                           OUT's models folder, else beside OUT)\n"
    "  --frames-per-second N    key units per second of animation (default 25, as the scenes count)\n";

int Fail(const std::string& text) {
    std::fprintf(stderr, "nc_import: error: %s\n", text.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    ToolArguments arguments;
    std::string problem;
    if (!ParseToolArguments(argc, argv, &arguments, &problem)) {
        std::fprintf(stderr, "nc_import: %s\n%s", problem.c_str(), kUsage);
        return 2;
    }
    ImportOptions options;
    options.textureDirectory =
        arguments.textureDirectory.empty() ? TexturesBeside(arguments.output) : arguments.textureDirectory;
    options.framesPerSecond = arguments.framesPerSecond;
    std::vector<std::string> warnings;
    compound_file::File file;
    try {
        file = ImportGltf(LoadGltf(arguments.input, &warnings), options, &warnings);
    } catch (const ImportError& error) {
        for (const std::string& w : warnings) std::fprintf(stderr, "nc_import: warning: %s\n", w.c_str());
        return Fail(arguments.input + ": " + error.text);
    } catch (const std::exception& error) {
        return Fail(arguments.input + ": " + error.what());
    }
    for (const std::string& w : warnings) std::fprintf(stderr, "nc_import: warning: %s\n", w.c_str());
    const std::string bytes = compound_file::Write(file);
    std::ofstream out(arguments.output, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) return Fail("cannot write " + arguments.output);
    // What the demo will load: the engine's loader must take it.
    compound_file::File loaded;
    if (!ReadCompound(arguments.output, &loaded, &problem)) return Fail(arguments.output + " does not load: " + problem);
    std::printf("%s: %zu models, %zu materials, %zu textures, %zu cameras, %zu lights, %zu armatures, %zu nodes\n",
                arguments.output.c_str(), file.models.size(), file.materials.size(), file.textures.size(),
                file.cameras.size(), file.lights.size(), file.armatures.size(), file.nodes.size());
    return 0;
}
