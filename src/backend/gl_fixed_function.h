// The fixed-function pipeline as GLSL, one source per combination of the
// states that change its code. Its inputs and varyings carry the names the
// HLSL stages get (d3d_in_ and d3d_v_ + semantic), so either half can be
// linked with a compiled shader.
#pragma once

#include <string>
#include <tuple>

#include "backend/d3d9.h"

struct FixedFunctionKey {
    bool diffuse = false;     // the vertices carry a colour
    bool texcoord = false;    // and texture coordinates
    bool texture = false;     // a 2D texture is bound to stage 0
    bool points = false;      // drawing a point list
    bool pointSprite = false;
    bool pointScale = false;
    bool lighting = false;
    DWORD alphaFunc = 0;  // 0: no alpha test
    DWORD colourOp = 0, colourArg1 = 0, colourArg2 = 0;
    DWORD alphaOp = 0, alphaArg1 = 0, alphaArg2 = 0;

    auto Tie() const {
        return std::tie(diffuse, texcoord, texture, points, pointSprite, pointScale, lighting, alphaFunc, colourOp,
                        colourArg1, colourArg2, alphaOp, alphaArg1, alphaArg2);
    }
    bool operator<(const FixedFunctionKey& other) const { return Tie() < other.Tie(); }
};

std::string FixedFunctionVertexSource(const FixedFunctionKey& key);
std::string FixedFunctionFragmentSource(const FixedFunctionKey& key);
