// halcyon export over damaged compound files: a compound the engine's loader
// takes becomes a glTF scene whose picture names stay plain file names;
// one it refuses is refused. Nothing else may happen.
#include <cstdlib>
#include <sstream>

#include "compound_reading.h"
#include "fuzz_shell.h"
#include "gltf_export.h"
#include "gltf_files.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    StartFuzzShell();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    WriteFuzzInput("models/fuzz.nc", data, size);
    compound_file::File file;
    std::string problem;
    if (!ReadCompound("models/fuzz.nc", &file, &problem)) return 0;
    std::vector<std::string> warnings;
    for (const float fps : {25.0f, 1e-3f}) {
        tinygltf::Model model = ExportCompound(file, fps, &warnings);
        for (const tinygltf::Image& image : model.images)
            if (!PlainFileName(image.uri)) std::abort();
        std::ostringstream out;
        tinygltf::TinyGLTF writer;
        writer.SetImageWriter(nullptr, nullptr);
        writer.WriteGltfSceneToStream(&model, out, false, false);
    }
    return 0;
}
