// The pass over a D3DX source that runs before glslang: any bytes, with an
// entry name taken from the first line. The prepared text keeps the lines
// of the source.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "backend/hlsl_compiler_source.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const size_t line = input.find('\n');
    const std::string entry = line == std::string::npos ? "main" : input.substr(0, line);
    const std::string source = line == std::string::npos ? input : input.substr(line + 1);
    const PreparedHlsl prepared = PrepareHlsl(source, entry);
    if (std::count(source.begin(), source.end(), '\n') != std::count(prepared.text.begin(), prepared.text.end(), '\n'))
        std::abort();
    return 0;
}
