// Reading a .gltf or .glb file: the JSON checked and its files resolved
// before the glTF library sees them, then the pictures measured.
#include <filesystem>
#include <set>

#include "gltf_files.h"
#include "gltf_images.h"
#include "gltf_import.h"
#include "gltf_outline.h"

namespace {

// Refused with one line that says how to make a file the import reads.
void CheckRequiredExtensions(const std::vector<std::string>& required) {
    static const std::set<std::string> kSupported = {"KHR_mesh_quantization", "KHR_texture_transform",
                                                     "KHR_materials_emissive_strength", "KHR_lights_punctual"};
    for (const std::string& extension : required) {
        if (extension == "KHR_draco_mesh_compression")
            throw ImportError{"the meshes are compressed with Draco (KHR_draco_mesh_compression), which the import does "
                              "not read: export again without it (Blender: glTF 2.0 export, Data > Compression off)"};
        if (extension == "EXT_meshopt_compression" || extension == "KHR_meshopt_compression")
            throw ImportError{"the buffers are compressed with meshopt (" + extension +
                              "), which the import does not read: make the file again without it (gltfpack without "
                              "-c or -cc)"};
        if (!kSupported.count(extension))
            throw ImportError{"the file requires the extension " + extension + ", which the import does not know"};
    }
}

std::string OneLine(std::string text) {
    while (!text.empty() && text.back() == '\n') text.pop_back();
    for (char& c : text)
        if (c == '\n') c = ';';
    return text;
}

}  // namespace

tinygltf::Model LoadGltf(const std::string& path, std::vector<std::string>* warnings, bool absoluteUris) {
    const std::string bytes = ReadWholeFile(path, "the file");
    // By what it holds, whatever its extension says.
    const bool binary = bytes.compare(0, 4, "glTF") == 0;
    const GltfOutline outline = ReadOutline(binary ? GlbJson(bytes) : std::string_view(bytes));
    CheckRequiredExtensions(outline.extensionsRequired);
    NamedFiles files(std::filesystem::absolute(path).parent_path(), outline, absoluteUris);
    tinygltf::TinyGLTF loader;
    loader.SetFsCallbacks(files.Callbacks());
    loader.SetImageLoader(&KeepImageEncoded, nullptr);
    tinygltf::Model model;
    std::string error, warning;
    const bool loaded =
        binary ? loader.LoadBinaryFromMemory(&model, &error, &warning, reinterpret_cast<const unsigned char*>(bytes.data()),
                                             static_cast<unsigned int>(bytes.size()), NamedFiles::BaseFolder())
               : loader.LoadASCIIFromString(&model, &error, &warning, bytes.data(),
                                            static_cast<unsigned int>(bytes.size()), NamedFiles::BaseFolder());
    if (!loaded)
        throw ImportError{"cannot be read as glTF: " + (error.empty() ? std::string("no reason given") : OneLine(error))};
    if (!warning.empty()) warnings->push_back(OneLine(warning));
    MeasureImages(model);
    return model;
}
