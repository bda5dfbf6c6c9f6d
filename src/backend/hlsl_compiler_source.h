// What the HLSL compiler reads from a D3DX source before glslang sees it:
// the parts of an effect file that a vertex or pixel compile ignores, the
// constants placed with register(cN), and the entry's uniform parameters.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <string_view>

struct PreparedHlsl {
    // The source with technique blocks, texture, shader-object and state-block
    // variables, sampler_state initialisers and constant register
    // placements blanked out, and vector-to-array casts made calls of
    // helpers; every line stays where it was, so the compiler's line
    // numbers still match the source's.
    std::string text;
    std::map<std::string, uint32_t> placedConstants;  // name -> float register
    std::set<std::string> uniformParameters;          // of the entry function, by name
};

PreparedHlsl PrepareHlsl(std::string_view source, std::string_view entryPoint);
