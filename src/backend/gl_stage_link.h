// What joins a vertex half and a pixel half into one GL program, each half a
// compiled HLSL stage or the fixed-function source. Varyings meet by
// semantic with Direct3D 9's rules for widths: components the vertex half
// does not write read as that register kind's defaults, extra ones are
// dropped. VPOS and VFACE come from GL's built-ins, and the alpha test
// applies to colour 0, whichever half made it.
#pragma once

#include <string>
#include <vector>

#include "backend/compiled_shader.h"
#include "backend/d3d9.h"

// The pixel half's GL main, appended to its source: fills the pixel inputs
// (plain globals kPixelInputPrefix + semantic), runs d3d_main and tests
// alpha. alphaFunc 0: no alpha test.
std::string PixelMainSource(const std::vector<ShaderVarying>& vertexOutputs,
                            const std::vector<ShaderVarying>& pixelInputs,
                            const std::vector<ShaderVarying>& pixelOutputs, DWORD alphaFunc);
