// Shader source files through the reader: pragma sections, the
// preprocessor, comments and the vertex profile calls.
#include <algorithm>
#include <vector>

#include "fuzz_shell.h"
#include "shader/shader_reader.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    StartFuzzShell();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = WriteFuzzInput("shaders/zkFuzz.fx", data, size);
    static std::vector<char> vertexSource(kShaderSourceSize), pixelSource(kShaderSourceSize);
    std::fill(vertexSource.begin(), vertexSource.end(), 0);
    std::fill(pixelSource.begin(), pixelSource.end(), 0);
    VertexProfile profile;
    int32_t vertexVersion = 3, pixelVersion = 3;
    zkReadShader(path.c_str(), &profile, vertexSource.data(), pixelSource.data(), &vertexVersion, &pixelVersion);
    return 0;
}
