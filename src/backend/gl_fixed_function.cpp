#include "backend/gl_fixed_function.h"

#include <string>

#include "backend/gl_conventions.h"

namespace {

std::string Argument(DWORD argument) { return argument == D3DTA_TEXTURE ? "texel" : "diffuse"; }

// A texture operation on two arguments; swizzle picks colour or alpha.
std::string Operation(DWORD op, DWORD arg1, DWORD arg2, const char* swizzle) {
    const std::string a = Argument(arg1) + swizzle, b = Argument(arg2) + swizzle;
    switch (op) {
        case D3DTOP_SELECTARG1: return a;
        case D3DTOP_SELECTARG2: return b;
        case D3DTOP_MODULATE: return a + " * " + b;
        default: return std::string("diffuse") + swizzle;  // disabled: the stage passes the diffuse colour on
    }
}

}  // namespace

std::string FixedFunctionVertexSource(const FixedFunctionKey& key) {
    std::string source = "#version 330 core\n";
    source += kGlslClipFromDirect3D;
    source += R"(
in vec3 d3d_in_POSITION0;
in vec4 d3d_in_COLOR0;
in vec2 d3d_in_TEXCOORD0;
uniform mat4 d3d_WorldViewProjection;  // row-major rows as GL columns: p * M
uniform mat4 d3d_WorldView;
uniform float d3d_PointSize;
uniform float d3d_PointMin;
uniform float d3d_PointMax;
uniform vec3 d3d_PointScale;
uniform float d3d_ViewportHeight;
out vec4 d3d_v_COLOR0;
out vec2 d3d_v_TEXCOORD0;
void main() {
    gl_Position = ClipFromDirect3D(d3d_WorldViewProjection * vec4(d3d_in_POSITION0, 1.0));
)";
    source += key.diffuse ? "    d3d_v_COLOR0 = d3d_in_COLOR0;\n" : "    d3d_v_COLOR0 = vec4(1.0);\n";
    source += key.texcoord ? "    d3d_v_TEXCOORD0 = d3d_in_TEXCOORD0;\n" : "    d3d_v_TEXCOORD0 = vec2(0.0);\n";
    if (key.points && key.pointScale)
        source += R"(    float eye = length((d3d_WorldView * vec4(d3d_in_POSITION0, 1.0)).xyz);
    float scale = d3d_PointScale.x + d3d_PointScale.y * eye + d3d_PointScale.z * eye * eye;
    gl_PointSize = clamp(d3d_ViewportHeight * d3d_PointSize * sqrt(1.0 / max(scale, 1e-12)), d3d_PointMin, d3d_PointMax);
)";
    else if (key.points)
        source += "    gl_PointSize = clamp(d3d_PointSize, d3d_PointMin, d3d_PointMax);\n";
    return source + "}\n";
}

std::string FixedFunctionFragmentSource(const FixedFunctionKey& key) {
    std::string source = R"(#version 330 core
vec4 d3d_p_COLOR0;
vec2 d3d_p_TEXCOORD0;
uniform sampler2D d3d_Texture0;
layout(location = 0) out vec4 d3d_out_COLOR0;
void d3d_main() {
)";
    const char* coordinates = key.points && key.pointSprite ? "gl_PointCoord" : "d3d_p_TEXCOORD0";
    source += key.texture ? std::string("    vec4 texel = texture(d3d_Texture0, ") + coordinates + ");\n"
                          : "    vec4 texel = vec4(1.0);\n";
    // No lights are emulated: lit vertices keep only their alpha.
    source += key.lighting ? "    vec4 diffuse = vec4(0.0, 0.0, 0.0, d3d_p_COLOR0.a);\n" : "    vec4 diffuse = d3d_p_COLOR0;\n";
    source += "    d3d_out_COLOR0 = vec4(" + Operation(key.colourOp, key.colourArg1, key.colourArg2, ".rgb") + ", " +
              Operation(key.alphaOp, key.alphaArg1, key.alphaArg2, ".a") + ");\n";
    return source + "}\n";
}

const std::vector<ShaderVarying>& FixedFunctionVaryings() {
    static const std::vector<ShaderVarying> varyings = {{"COLOR0", 4, false}, {"TEXCOORD0", 2, false}};
    return varyings;
}

const std::vector<ShaderVarying>& FixedFunctionPixelOutputs() {
    static const std::vector<ShaderVarying> outputs = {{"COLOR0", 4, false}};
    return outputs;
}
