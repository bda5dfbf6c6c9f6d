// Writes a compound file as a glTF 2.0 scene that Blender and glTF viewers
// open: .gltf with its .bin and the PNG files beside it, or one .glb.
// Usage: nc_export IN.nc OUT.gltf|OUT.glb [--textures DIR] [--frames-per-second N]
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "compound_reading.h"
#include "gltf_accessors.h"
#include "gltf_export.h"
#include "tool_arguments.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kUsage =
    "usage: nc_export IN.nc OUT.gltf|OUT.glb [--textures DIR] [--frames-per-second N]\n"
    "  --textures DIR           where the compound's PNG files are (default: the textures folder beside\n"
    "                           IN's models folder, else beside IN)\n"
    "  --frames-per-second N    key units per second of animation (default 25, as the scenes count)\n";

// A .gltf names its pictures, copied beside it; a .glb carries them.
void PlaceImages(tinygltf::Model& model, const fs::path& textures, const fs::path& output, bool binary,
                 std::vector<std::string>* warnings) {
    for (tinygltf::Image& image : model.images) {
        const fs::path source = textures / image.uri;
        std::error_code error;
        if (!fs::exists(source, error)) {
            warnings->push_back("texture " + source.string() + " is missing: the file refers to it by name");
            continue;
        }
        if (!binary) {
            const fs::path target = output.parent_path() / image.uri;
            if (!fs::equivalent(source, target, error))
                fs::copy_file(source, target, fs::copy_options::overwrite_existing, error);
            if (error) warnings->push_back("cannot copy " + source.string() + ": " + error.message());
            continue;
        }
        std::ifstream in(source, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        image.bufferView = AddBufferView(model, bytes.data(), bytes.size());
        image.mimeType = "image/png";
        image.uri.clear();
    }
}

}  // namespace

int main(int argc, char** argv) {
    ToolArguments arguments;
    std::string problem;
    if (!ParseToolArguments(argc, argv, &arguments, &problem)) {
        std::fprintf(stderr, "nc_export: %s\n%s", problem.c_str(), kUsage);
        return 2;
    }
    compound_file::File file;
    if (!ReadCompound(arguments.input, &file, &problem)) {
        std::fprintf(stderr, "nc_export: error: %s: %s\n", arguments.input.c_str(), problem.c_str());
        return 1;
    }
    std::vector<std::string> warnings;
    tinygltf::Model model = ExportCompound(file, arguments.framesPerSecond, &warnings);
    const fs::path output = fs::absolute(arguments.output);
    const bool binary = output.extension() == ".glb";
    PlaceImages(model,
                arguments.textureDirectory.empty() ? TexturesBeside(arguments.input) : arguments.textureDirectory,
                output, binary, &warnings);
    for (const std::string& w : warnings) std::fprintf(stderr, "nc_export: warning: %s\n", w.c_str());
    tinygltf::TinyGLTF writer;
    writer.SetImageWriter(nullptr, nullptr);  // the pictures are already in place
    if (!writer.WriteGltfSceneToFile(&model, output.string(), false, binary, !binary, binary)) {
        std::fprintf(stderr, "nc_export: error: cannot write %s\n", output.string().c_str());
        return 1;
    }
    return 0;
}
