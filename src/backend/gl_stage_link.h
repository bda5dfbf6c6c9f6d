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

// A compiled vertex stage's GLSL, complete: its HLSL main becomes d3d_main,
// and a GL main around it turns Direct3D's clip position into GL's.
std::string VertexHalfSource(const std::string& glsl);
// A compiled pixel stage's GLSL with its main named d3d_main, for
// PixelMainSource's main.
std::string PixelHalfSource(const std::string& glsl);

// Whether two compiled stages join into one program as the device links
// them, checked without a GL context (by glslang); GL's kind of log in
// *errors when not.
bool StagesLink(const CompiledShader& vertex, const CompiledShader& pixel, std::string* errors);

// What a pair that does not link shows, before the log.
constexpr const char* kStagesDoNotLink = "The vertex and pixel shaders do not link into one GL program:\n";

// The pixel half's GL main, appended to its source: fills the pixel inputs
// (plain globals kPixelInputPrefix + semantic), runs d3d_main and tests
// alpha. alphaFunc 0: no alpha test.
std::string PixelMainSource(const std::vector<ShaderVarying>& vertexOutputs,
                            const std::vector<ShaderVarying>& pixelInputs,
                            const std::vector<ShaderVarying>& pixelOutputs, DWORD alphaFunc);
