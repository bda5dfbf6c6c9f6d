// halcyon import: makes a compound file from a glTF 2.0 scene (Blender's glTF
// export, or any other tool's), its images as PNG files in the texture
// folder. Warnings name what the format cannot hold.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <memory>

#include "command/progress_line.h"
#include "command/subcommands.h"
#include "compound_reading.h"
#include "gltf_import.h"
#include "gltf_options.h"

namespace {

// Smaller files import in well under a second: no bar for them.
constexpr std::uintmax_t kProgressFromBytes = 4u << 20;

void PrintWarnings(const std::vector<std::string>& warnings) {
    for (const std::string& w : warnings) std::fprintf(stderr, "halcyon import: warning: %s\n", w.c_str());
}

struct ImportArguments {
    GltfOptions gltf;
    bool absoluteUris = false;
};

int Import(const CLI::App* app, const ImportArguments& both) {
    const GltfOptions& arguments = both.gltf;
    ImportOptions options;
    options.textureDirectory =
        arguments.textureDirectory.empty() ? TexturesBeside(arguments.output) : arguments.textureDirectory;
    options.framesPerSecond = arguments.framesPerSecond;
    // Reading, the stages, writing and loading back.
    std::error_code sizeError;
    const bool large = std::filesystem::file_size(arguments.input, sizeError) >= kProgressFromBytes && !sizeError;
    std::unique_ptr<ProgressLine> progress;
    int step = 0;
    auto show = [&](const char* stage) {
        if (progress) progress->Show(step++, stage);
    };
    if (large) progress = std::make_unique<ProgressLine>("halcyon import", kImportStages + 2, "step");
    options.onStage = show;
    std::vector<std::string> warnings;
    compound_file::File file;
    std::vector<ImportedAction> actions;
    try {
        show("reading");
        tinygltf::Model model = LoadGltf(arguments.input, &warnings, both.absoluteUris);
        file = ImportGltf(model, options, &warnings, &actions);
    } catch (const ImportError& error) {
        if (progress) progress->Finish();
        PrintWarnings(warnings);
        return Fail(app, "error: " + arguments.input + ": " + error.text);
    } catch (const std::exception& error) {
        if (progress) progress->Finish();
        return Fail(app, "error: " + arguments.input + ": " + error.what());
    }
    show("writing");
    const std::string bytes = compound_file::Write(file);
    std::ofstream out(arguments.output, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (progress) progress->Show(step), progress->Finish();
    PrintWarnings(warnings);
    if (!out) return Fail(app, "error: cannot write " + arguments.output);
    // What the demo will load: the engine's loader must take it.
    compound_file::File loaded;
    std::string problem;
    if (!ReadCompound(arguments.output, &loaded, &problem))
        return Fail(app, "error: " + arguments.output + " does not load: " + problem);
    std::printf("%s: %zu models, %zu materials, %zu textures, %zu cameras, %zu lights, %zu armatures, %zu nodes\n",
                arguments.output.c_str(), file.models.size(), file.materials.size(), file.textures.size(),
                file.cameras.size(), file.lights.size(), file.armatures.size(), file.nodes.size());
    for (const ImportedAction& action : actions)
        std::printf("action \"%s\": key units %g to %g\n", action.name.c_str(), action.firstKey, action.lastKey);
    return kExitDone;
}

}  // namespace

Subcommand AddImportCommand(CLI::App& command) {
    CLI::App* app = AddSubcommand(command, "import", "Make a compound file from a glTF 2.0 scene (.gltf or .glb)",
                                  "halcyon import scene.glb mydemo/models/stage.nc");
    auto options = std::make_shared<ImportArguments>();
    AddGltfOptions(app, &options->gltf, "the glTF file: .gltf with its files beside it, or .glb",
                   "the compound file to write",
                   "where the images go as PNG files (default: the textures folder beside OUTPUT's models folder, "
                   "else beside OUTPUT)");
    app->add_flag("--absolute-uris", options->absoluteUris,
                  "also read buffers and images that the file names by absolute paths (by default only files in "
                  "its own folder are read)");
    return {app, [app, options] { return Import(app, *options); }};
}
