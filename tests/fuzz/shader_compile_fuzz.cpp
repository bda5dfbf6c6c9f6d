// HLSL sources through the compile path the engine takes: zkCompileShader
// calls D3DXCompileShader with entry point "main" and the stage's profile.
// The first byte picks the stage ('v' vertex, anything else pixel); the
// rest is the source.
#include <string>

#include "fuzz_shell.h"
#include "shader/shader.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    StartFuzzShell();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const std::string source(reinterpret_cast<const char*>(data) + 1, size - 1);
    const bool vertex = data[0] == 'v';
    Shader* shader = new Shader();
    zkCompileShader(shader, vertex ? source.c_str() : nullptr, vertex ? nullptr : source.c_str(), nullptr, 3, 3,
                    "fuzz");
    zkReleaseShader(shader);
    ForgetRecordedCalls();
    return 0;
}
