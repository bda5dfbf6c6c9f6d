// DX9-style HLSL to GLSL 330, with the reflection that constant tables and
// the OpenGL device need. Stage inputs, outputs and varyings are renamed by
// semantic so that stages link, and vertex inputs bind, by meaning.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum class ShaderStage { Vertex, Pixel };

// One member of a stage's uniform block, with the registers it is given:
// one per scalar or vector element, four per matrix element.
struct ShaderConstant {
    std::string name;
    bool integer = false;
    uint32_t columns = 1;   // vector size; 4 for a 4x4 matrix
    uint32_t rows = 1;      // 1 unless a matrix
    uint32_t elements = 1;  // array size
    uint32_t offset = 0, arrayStride = 0, matrixStride = 0;
    uint32_t firstRegister = 0, registerCount = 0;
};

struct ShaderSampler {
    std::string name;  // the GLSL uniform
    uint32_t unit = 0;  // the sampler register, so the texture stage
};

constexpr uint32_t kCompiledShaderMagic = 0x4C534C47;  // "GLSL"

// What CreateVertexShader and CreatePixelShader receive as "byte code".
struct CompiledShader {
    uint32_t magic = kCompiledShaderMagic;
    ShaderStage stage = ShaderStage::Vertex;
    std::string glsl;
    std::string blockName;  // the uniform block, empty when the stage has no constants
    uint32_t blockSize = 0;
    std::vector<ShaderConstant> constants;
    std::vector<ShaderSampler> samplers;
    // Vertex stage: semantics of the inputs (the GLSL names are kInputPrefix + semantic).
    std::vector<std::string> inputs;
};

constexpr const char* kInputPrefix = "d3d_in_";
constexpr const char* kVaryingPrefix = "d3d_v_";
constexpr const char* kVertexBlockName = "d3d_VertexConstants";
constexpr const char* kPixelBlockName = "d3d_PixelConstants";

// profile: "vs_N_0" or "ps_N_0" with N 1..3, matching the stage. On failure
// errors holds the compiler's text.
bool CompileHlsl(const char* source, size_t length, const char* profile, CompiledShader* compiled,
                 std::string* errors);

// "TEXCOORD" -> "TEXCOORD0", "color1" -> "COLOR1": a semantic with its index.
std::string NormalizedSemantic(const std::string& semantic);
