// halcyon export: writes a compound file as a glTF 2.0 scene that Blender and
// glTF viewers open: .gltf with its .bin and the PNG files beside it, or one .glb.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>

#include "command/subcommands.h"
#include "compound_reading.h"
#include "gltf_accessors.h"
#include "gltf_files.h"
#include "gltf_export.h"
#include "gltf_options.h"

namespace fs = std::filesystem;

namespace {

// A .gltf names its pictures, copied beside it; a .glb carries them. Only
// plain names are read, from the textures folder, and written beside the output.
void PlaceImages(tinygltf::Model& model, const std::vector<std::string>& names, const fs::path& textures,
                 const fs::path& output, bool binary, std::vector<std::string>* warnings) {
    for (size_t i = 0; i < model.images.size(); ++i) {
        tinygltf::Image& image = model.images[i];
        const fs::path source = textures / names[i];
        std::error_code error;
        if (!PlainFileName(names[i]) || !InsideFolder(textures, source)) {
            warnings->push_back("texture \"" + names[i] + "\" is not a file of the textures folder: it is not read, and "
                                "the glTF names it \"" + image.uri + "\"");
            continue;
        }
        if (!fs::exists(source, error)) {
            warnings->push_back("texture " + source.string() + " is missing: the file refers to it by name");
            continue;
        }
        std::string bytes;
        try {
            bytes = ReadWholeFile(source, "texture " + source.string());
        } catch (const ImportError& refused) {
            warnings->push_back(refused.text + ": the file refers to it by name");
            continue;
        }
        if (binary) {
            image.bufferView = AddBufferView(model, bytes.data(), bytes.size());
            image.mimeType = "image/png";
            image.uri.clear();
            continue;
        }
        const fs::path target = output.parent_path() / image.uri;
        if (fs::equivalent(source, target, error)) continue;
        // Written in place, never through a link that leads elsewhere.
        if (fs::is_symlink(target, error)) {
            warnings->push_back("cannot copy " + source.string() + ": " + target.string() + " is a link");
            continue;
        }
        std::ofstream out(target, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out) warnings->push_back("cannot copy " + source.string() + " to " + target.string());
    }
}

int Export(const CLI::App* app, const GltfOptions& arguments) {
    std::string problem;
    compound_file::File file;
    if (!ReadCompound(arguments.input, &file, &problem))
        return Fail(app, "error: " + arguments.input + ": " + problem);
    std::vector<std::string> warnings;
    tinygltf::Model model = ExportCompound(file, arguments.framesPerSecond, &warnings);
    const fs::path output = fs::absolute(arguments.output);
    const bool binary = output.extension() == ".glb";
    PlaceImages(model, file.textures,
                arguments.textureDirectory.empty() ? TexturesBeside(arguments.input) : arguments.textureDirectory,
                output, binary, &warnings);
    for (const std::string& w : warnings) std::fprintf(stderr, "halcyon export: warning: %s\n", w.c_str());
    tinygltf::TinyGLTF writer;
    writer.SetImageWriter(nullptr, nullptr);  // the pictures are already in place
    bool written = false;
    try {
        written = writer.WriteGltfSceneToFile(&model, output.string(), false, binary, !binary, binary);
    } catch (const std::exception& error) {
        return Fail(app, "error: cannot write " + output.string() + ": " + error.what());
    }
    if (!written) return Fail(app, "error: cannot write " + output.string());
    return kExitDone;
}

}  // namespace

Subcommand AddExportCommand(CLI::App& command) {
    CLI::App* app = AddSubcommand(command, "export",
                                  "Write a compound file as glTF 2.0 for Blender: .gltf with its files, or .glb",
                                  "halcyon export build/models/galo.nc galo.glb");
    auto options = std::make_shared<GltfOptions>();
    AddGltfOptions(app, options.get(), "the compound file", "the glTF file to write: .gltf or .glb",
                   "where the compound's PNG files are (default: the textures folder beside INPUT's models folder, "
                   "else beside INPUT)");
    return {app, [app, options] { return Export(app, *options); }};
}
