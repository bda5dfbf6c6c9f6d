// The fixed-function pipeline as GLSL, one source per combination of the
// states that change its code. Its halves have the interface of compiled
// HLSL stages (attributes d3d_in_, varyings d3d_v_, pixel inputs d3d_p_ and
// colour d3d_out_ + semantic, the pixel main named d3d_main), so either half
// links with a compiled shader.
#pragma once

#include <string>
#include <tuple>
#include <vector>

#include "backend/compiled_shader.h"
#include "backend/d3d9.h"

struct FixedFunctionKey {
    bool diffuse = false;     // the vertices carry a colour
    bool texcoord = false;    // and texture coordinates
    bool texture = false;     // a 2D texture is bound to stage 0
    bool points = false;      // drawing a point list
    bool pointSprite = false;
    bool pointScale = false;
    bool lighting = false;
    DWORD colourOp = 0, colourArg1 = 0, colourArg2 = 0;
    DWORD alphaOp = 0, alphaArg1 = 0, alphaArg2 = 0;

    auto Tie() const {
        return std::tie(diffuse, texcoord, texture, points, pointSprite, pointScale, lighting, colourOp,
                        colourArg1, colourArg2, alphaOp, alphaArg1, alphaArg2);
    }
    bool operator<(const FixedFunctionKey& other) const { return Tie() < other.Tie(); }
};

std::string FixedFunctionVertexSource(const FixedFunctionKey& key);
std::string FixedFunctionFragmentSource(const FixedFunctionKey& key);
// The vertex half's outputs, which are also what the pixel half reads.
const std::vector<ShaderVarying>& FixedFunctionVaryings();
const std::vector<ShaderVarying>& FixedFunctionPixelOutputs();
