#include "backend/gl_stage_link.h"

#define ENABLE_HLSL 1
#include <glslang/Public/ResourceLimits.h>
#include <glslang/Public/ShaderLang.h>

#include <algorithm>
#include <mutex>

#include "backend/gl_conventions.h"

namespace {

// The HLSL main renamed d3d_main, for a GL main the device adds around it,
// with beforeMain placed after the version and extension lines; the source
// unchanged when it has no single main.
std::string WithMainRenamed(const std::string& glsl, const std::string& beforeMain) {
    const std::string entry = "void main()";
    const size_t at = glsl.find(entry);
    if (at == std::string::npos || glsl.find(entry, at + 1) != std::string::npos) return glsl;
    size_t header = 0;
    for (size_t next; header < at && glsl[header] == '#' && (next = glsl.find('\n', header)) < at;) header = next + 1;
    return glsl.substr(0, header) + beforeMain + glsl.substr(header, at - header) + "void d3d_main()" +
           glsl.substr(at + entry.size());
}

std::string TypeName(uint32_t components, bool integer) {
    if (components <= 1) return integer ? "int" : "float";
    return (integer ? "ivec" : "vec") + std::to_string(std::min(components, 4u));
}

// Direct3D fills what a vertex shader leaves out with (0, 0, 0, 1); a colour
// it does not write at all is the fixed-function default, diffuse white and
// specular black.
const float* DefaultsOf(const std::string& semantic, bool written) {
    static const float kPartial[4] = {0, 0, 0, 1}, kWhite[4] = {1, 1, 1, 1}, kBlack[4] = {0, 0, 0, 0};
    if (!written && semantic == "COLOR0") return kWhite;
    if (!written && semantic == "COLOR1") return kBlack;
    return kPartial;
}

std::string Number(float value) { return value == 0.0f ? "0.0" : "1.0"; }

// source (width `from`) as the pixel input's type: truncated, or padded with defaults.
std::string Converted(const std::string& source, uint32_t from, const ShaderVarying& to, const float* defaults) {
    const uint32_t width = std::min(to.components, 4u);
    std::string value;
    if (from > width) value = "(" + source + ")" + std::string(".xyzw").substr(0, width + 1);
    else if (from > 0) value = source;
    for (uint32_t i = from; i < width; ++i) value += (value.empty() ? "" : ", ") + Number(defaults[i]);
    return TypeName(width, to.integer) + "(" + value + ")";
}

const ShaderVarying* Find(const std::vector<ShaderVarying>& varyings, const std::string& semantic) {
    for (const ShaderVarying& varying : varyings)
        if (varying.semantic == semantic) return &varying;
    return nullptr;
}

std::string Comparison(DWORD func) {
    switch (func) {
        case D3DCMP_NEVER: return "false";
        case D3DCMP_LESS: return "alpha < d3d_AlphaRef";
        case D3DCMP_EQUAL: return "alpha == d3d_AlphaRef";
        case D3DCMP_LESSEQUAL: return "alpha <= d3d_AlphaRef";
        case D3DCMP_GREATER: return "alpha > d3d_AlphaRef";
        case D3DCMP_NOTEQUAL: return "alpha != d3d_AlphaRef";
        case D3DCMP_GREATEREQUAL: return "alpha >= d3d_AlphaRef";
        default: return "true";
    }
}

}  // namespace

std::string VertexHalfSource(const std::string& glsl) {
    const std::string renamed = WithMainRenamed(glsl, kGlslClipFromDirect3D);
    if (renamed == glsl) return glsl;
    return renamed + "\nvoid main()\n{\n    d3d_main();\n    gl_Position = ClipFromDirect3D(gl_Position);\n}\n";
}

std::string PixelHalfSource(const std::string& glsl) { return WithMainRenamed(glsl, ""); }

bool StagesLink(const CompiledShader& vertex, const CompiledShader& pixel, std::string* errors) {
    static std::once_flag initialised;
    std::call_once(initialised, [] { glslang::InitializeProcess(); });
    const std::string vertexSource = VertexHalfSource(vertex.glsl);
    const std::string pixelSource =
        PixelHalfSource(pixel.glsl) + PixelMainSource(vertex.outputs, pixel.inputs, pixel.outputs, 0);
    glslang::TShader vertexShader(EShLangVertex), pixelShader(EShLangFragment);
    glslang::TProgram program;
    bool ok = true;
    for (auto [shader, source] : {std::pair{&vertexShader, &vertexSource}, std::pair{&pixelShader, &pixelSource}}) {
        const char* text = source->c_str();
        shader->setStrings(&text, 1);
        if (!shader->parse(GetDefaultResources(), 330, false, EShMsgDefault)) {
            *errors += std::string(shader == &vertexShader ? "vertex: " : "pixel: ") + shader->getInfoLog();
            ok = false;
        }
        program.addShader(shader);
    }
    if (ok && !program.link(EShMsgDefault)) {
        *errors += program.getInfoLog();
        ok = false;
    }
    return ok;
}

std::string PixelMainSource(const std::vector<ShaderVarying>& vertexOutputs,
                            const std::vector<ShaderVarying>& pixelInputs,
                            const std::vector<ShaderVarying>& pixelOutputs, DWORD alphaFunc) {
    std::string declarations = "\nuniform float d3d_AlphaRef;\n", body;
    for (const ShaderVarying& input : pixelInputs) {
        std::string value;
        if (input.semantic == "VPOS0") {  // Direct3D's pixel centres lie on integers
            value = Converted("gl_FragCoord.xy - vec2(0.5)", 2, input, DefaultsOf(input.semantic, true));
        } else if (input.semantic == "VFACE0") {  // clockwise on the Direct3D screen is GL's front
            value = Converted("gl_FrontFacing ? 1.0 : -1.0", 1, input, DefaultsOf(input.semantic, true));
        } else if (const ShaderVarying* output = Find(vertexOutputs, input.semantic)) {
            const std::string name = kVaryingPrefix + input.semantic;
            declarations += std::string(output->integer ? "flat in " : "in ") +
                            TypeName(output->components, output->integer) + " " + name + ";\n";
            value = Converted(name, std::min(output->components, 4u), input, DefaultsOf(input.semantic, true));
        } else {
            value = Converted("", 0, input, DefaultsOf(input.semantic, false));
        }
        body += "    " + std::string(kPixelInputPrefix) + input.semantic + " = " + value + ";\n";
    }
    body += "    d3d_main();\n";
    const ShaderVarying* colour = Find(pixelOutputs, "COLOR0");
    if (!colour) colour = Find(pixelOutputs, "SV_TARGET0");
    if (colour && alphaFunc)
        body += "    float alpha = floor(clamp(" + std::string(kPixelOutputPrefix) + colour->semantic +
                ".a, 0.0, 1.0) * 255.0 + 0.5);\n    if (!(" + Comparison(alphaFunc) + ")) discard;\n";
    return declarations + "void main()\n{\n" + body + "}\n";
}
