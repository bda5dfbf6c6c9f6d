// halcyon import over arbitrary .gltf and .glb files (which by their first
// bytes): a file is made into a compound or refused with an ImportError;
// nothing else may happen. A buffer and a picture lie beside the input for
// its URIs to name, and a secret outside its folder that they must not reach.
#include <filesystem>

#include "fuzz_shell.h"
#include "gltf_import.h"
#include "test_png.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    StartFuzzShell();
    const float triangle[9] = {0, 0, 0, 1, 0, 0, 0, 1, 0};
    WriteFuzzInput("gltf/tri.bin", reinterpret_cast<const uint8_t*>(triangle), sizeof triangle);
    WriteTestPng("gltf/pic.png", 2, 2, {0xFF000000u, 0xFFFFFFFFu, 0xFFFF0000u, 0xFF00FF00u});
    WriteTestPng("secret.png", 1, 1, {0xFF123456u});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    WriteFuzzInput("gltf/in.gltf", data, size);
    std::vector<std::string> warnings;
    ImportOptions options;
    options.textureDirectory = "textures";
    try {
        const compound_file::File file = ImportGltf(LoadGltf("gltf/in.gltf", &warnings), options, &warnings);
        compound_file::Write(file);
    } catch (const ImportError&) {
    }
    std::error_code ignored;
    std::filesystem::remove_all("textures", ignored);
    return 0;
}
