// What the HLSL compiler hands the constant tables and the devices: the GLSL
// of one stage and its reflection, in Direct3D 9's terms (constant classes,
// registers, sampler registers, semantics). It also crosses a pipe from the
// compiling child process, so its byte form lives here too.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum class ShaderStage : uint32_t { Vertex, Pixel };

// D3DXPARAMETER_CLASS's values, so tables can report them unchanged.
enum class ConstantClass : uint32_t { Scalar = 0, Vector = 1, MatrixRows = 2, MatrixColumns = 3, Object = 4 };
enum class ConstantType : uint32_t { Bool, Int, Float, Sampler2D, SamplerCube };

// One constant of a stage. Scalars and vectors take one register per
// element; a matrix takes one per row (row_major) or per column (the HLSL
// default), each holding the other dimension's components. Register k of
// element e lies in the GL uniform block at offset + e * arrayStride +
// k * registerStride. Samplers are objects whose one register is the
// sampler (texture stage) they read.
struct ShaderConstant {
    std::string name;
    ConstantClass cls = ConstantClass::Scalar;
    ConstantType type = ConstantType::Float;
    uint32_t rows = 1, columns = 1;  // as declared: float4x3 has 4 rows, 3 columns
    uint32_t elements = 1;           // array size, 1 when not an array
    uint32_t firstRegister = 0, registerCount = 0;
    uint32_t offset = 0, arrayStride = 0, registerStride = 0;
};

uint32_t RegistersPerElement(const ShaderConstant& constant);
uint32_t ComponentsPerRegister(const ShaderConstant& constant);

// A stage input or output, linked to the other stage by its semantic.
struct ShaderVarying {
    std::string semantic;  // normalised: "TEXCOORD0", "COLOR0"
    uint32_t components = 4;
    bool integer = false;
};

constexpr uint32_t kCompiledShaderMagic = 0x4C534C47;  // "GLSL"

// What CreateVertexShader and CreatePixelShader receive as "byte code".
struct CompiledShader {
    uint32_t magic = kCompiledShaderMagic;
    ShaderStage stage = ShaderStage::Vertex;
    std::string glsl;
    std::string blockName;  // the uniform block, empty when the stage has no constants
    uint32_t blockSize = 0;
    std::vector<ShaderConstant> constants;  // samplers included, as objects
    // Vertex stage: attributes (GLSL kInputPrefix + semantic) and varyings
    // (kVaryingPrefix + semantic). Pixel stage: varyings it reads (plain
    // globals kPixelInputPrefix + semantic that the linked program fills)
    // and its colour outputs (kPixelOutputPrefix + semantic).
    std::vector<ShaderVarying> inputs, outputs;
};

constexpr const char* kInputPrefix = "d3d_in_";
constexpr const char* kVaryingPrefix = "d3d_v_";
constexpr const char* kPixelInputPrefix = "d3d_p_";
constexpr const char* kPixelOutputPrefix = "d3d_out_";
constexpr const char* kVertexBlockName = "d3d_VertexConstants";
constexpr const char* kPixelBlockName = "d3d_PixelConstants";

// The GLSL name of the sampler that reads sampler register `unit`; the two
// stages' names differ so that they never clash when linked.
std::string SamplerGlslName(ShaderStage stage, uint32_t unit);

// A request to compile and the outcome of one compilation as bytes, and
// back. Reading refuses bytes that are cut short or carry impossible sizes.
std::string SerializeCompileRequest(std::string_view source, std::string_view entry, std::string_view profile,
                                    std::string_view preamble);
bool DeserializeCompileRequest(const std::string& bytes, std::string* source, std::string* entry, std::string* profile,
                               std::string* preamble);
std::string SerializeCompileResult(bool ok, const std::string& errors, const CompiledShader& compiled);
bool DeserializeCompileResult(const std::string& bytes, bool* ok, std::string* errors, CompiledShader* compiled);
