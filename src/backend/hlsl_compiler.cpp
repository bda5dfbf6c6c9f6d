#define ENABLE_HLSL 1
#include "backend/hlsl_compiler.h"

#include <glslang/Public/ResourceLimits.h>
#include <glslang/MachineIndependent/localintermediate.h>
#include <glslang/Public/ShaderLang.h>
#include <glslang/SPIRV/GlslangToSpv.h>
#include <spirv_cross/spirv_glsl.hpp>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <mutex>
#include <set>
#include <sstream>

#include "backend/d3d9.h"
#include "backend/hlsl_compiler_source.h"

namespace {

// GL_BOOL .. GL_BOOL_VEC4, as glslang's reflection reports types.
constexpr int kGlBool = 0x8B56, kGlBoolVec4 = 0x8B59;

// What glslang's own reflection knows and SPIR-V forgets: which uniforms
// were bool before they became uint in the block, and which samplers had
// an explicit register(sN); and what the source said before glslang saw
// it: placed constants and the entry's uniform parameters.
struct SourceFacts {
    std::set<std::string> bools;
    std::map<std::string, uint32_t> samplerRegisters;
    PreparedHlsl prepared;
};

// Every profile D3DX 9 compiles a vertex or pixel shader for, and the
// engine's own "xs_N_0" names. Every one compiles the language of shader
// model 3; ps_1_x is promoted to ps_2_0 as D3DX's backwards-compatible mode does.
bool StageOfProfile(const char* profile, ShaderStage* stage) {
    static const std::map<std::string, ShaderStage> kProfiles = {
        {"vs_1_0", ShaderStage::Vertex}, {"vs_1_1", ShaderStage::Vertex}, {"vs_2_0", ShaderStage::Vertex},
        {"vs_2_a", ShaderStage::Vertex}, {"vs_2_sw", ShaderStage::Vertex}, {"vs_3_0", ShaderStage::Vertex},
        {"vs_3_sw", ShaderStage::Vertex}, {"ps_1_0", ShaderStage::Pixel}, {"ps_1_1", ShaderStage::Pixel},
        {"ps_1_2", ShaderStage::Pixel}, {"ps_1_3", ShaderStage::Pixel}, {"ps_1_4", ShaderStage::Pixel},
        {"ps_2_0", ShaderStage::Pixel}, {"ps_2_a", ShaderStage::Pixel}, {"ps_2_b", ShaderStage::Pixel},
        {"ps_2_sw", ShaderStage::Pixel}, {"ps_3_0", ShaderStage::Pixel}, {"ps_3_sw", ShaderStage::Pixel},
    };
    const auto found = profile ? kProfiles.find(profile) : kProfiles.end();
    if (found == kProfiles.end()) return false;
    *stage = found->second;
    return true;
}

bool ToSpirv(const char* entry, const std::string& preamble, ShaderStage stage, std::vector<uint32_t>* spirv,
             SourceFacts* facts, std::string* errors) {
    static std::once_flag initialised;
    std::call_once(initialised, [] { glslang::InitializeProcess(); });

    const EShLanguage language = stage == ShaderStage::Vertex ? EShLangVertex : EShLangFragment;
    glslang::TShader shader(language);
    const char* text = facts->prepared.text.c_str();
    const int lengths[] = {static_cast<int>(facts->prepared.text.size())};
    shader.setStringsWithLengths(&text, lengths, 1);
    shader.setPreamble(preamble.c_str());
    // Named apart from every source function, a "main" among them included;
    // the GLSL calls it main all the same.
    shader.setEntryPoint("d3d_entry");
    shader.setSourceEntryPoint(entry);
    shader.setEnvInput(glslang::EShSourceHlsl, language, glslang::EShClientOpenGL, 100);
    shader.setEnvClient(glslang::EShClientOpenGL, glslang::EShTargetOpenGL_450);
    shader.setEnvTarget(glslang::EShTargetSpv, glslang::EShTargetSpv_1_0);
    shader.setEnvTargetHlslFunctionality1();  // keeps the semantics on inputs and outputs
    shader.setAutoMapLocations(true);
    const auto messages = static_cast<EShMessages>(EShMsgReadHlsl | EShMsgHlslDX9Compatible | EShMsgSpvRules);
    if (!shader.parse(GetDefaultResources(), 100, false, messages)) {
        *errors = shader.getInfoLog();
        return false;
    }
    glslang::TProgram program;
    program.addShader(&shader);
    if (!program.link(messages)) {
        *errors = program.getInfoLog();
        return false;
    }
    // glslang makes an empty entry point when the source has none.
    if (program.getIntermediate(language)->getNumEntryPoints() < 1) {
        *errors = std::string("error: entry point '") + entry + "' not found";
        return false;
    }
    if (program.buildReflection()) {
        for (int i = 0; i < program.getNumUniformVariables(); ++i) {
            const glslang::TObjectReflection& uniform = program.getUniform(i);
            if (uniform.glDefineType >= kGlBool && uniform.glDefineType <= kGlBoolVec4) facts->bools.insert(uniform.name);
            if (uniform.getBinding() >= 0) facts->samplerRegisters[uniform.name] = uniform.getBinding();
        }
    }
    // Optimised as D3DX optimises: dead code goes, and with it the constants only dead code read.
    glslang::SpvOptions options;
    options.disableOptimizer = false;
    glslang::GlslangToSpv(*program.getIntermediate(language), *spirv, &options);
    return true;
}

// Where the number at the end of text starts (text.size() when there is none).
size_t TrailingDigits(const std::string& text) {
    size_t digits = text.size();
    while (digits > 0 && std::isdigit(static_cast<unsigned char>(text[digits - 1]))) --digits;
    return digits;
}

uint32_t TrailingNumber(const std::string& semantic) {
    const std::string number = semantic.substr(TrailingDigits(semantic), 4);
    return number.empty() ? 0 : static_cast<uint32_t>(std::stoul(number));
}

// An array with a semantic is split into one variable per element
// ("o.uv[3]"), each carrying the first element's semantic; element k has
// that index plus k, as Direct3D gives an array its registers.
std::string SemanticOf(const spirv_cross::Compiler& compiler, spirv_cross::ID id) {
    const std::string semantic =
        NormalizedSemantic(compiler.get_decoration_string(id, spv::DecorationHlslSemanticGOOGLE));
    std::string name = compiler.get_name(id);
    if (name.empty() || name.back() != ']') return semantic;
    name.pop_back();
    const size_t digits = TrailingDigits(name);
    if (digits == 0 || digits == name.size() || name[digits - 1] != '[' || name.size() - digits > 4) return semantic;
    const uint32_t element = static_cast<uint32_t>(std::stoul(name.substr(digits)));
    return semantic.substr(0, TrailingDigits(semantic)) + std::to_string(TrailingNumber(semantic) + element);
}

bool IsPositionSemantic(const std::string& semantic) {
    return semantic == "POSITION0" || semantic == "SV_POSITION0";
}

bool IsInteger(const spirv_cross::SPIRType& type) {
    return type.basetype == spirv_cross::SPIRType::Int || type.basetype == spirv_cross::SPIRType::UInt ||
           type.basetype == spirv_cross::SPIRType::Boolean;
}

ShaderConstant ConstantOfMember(spirv_cross::CompilerGLSL& compiler, const spirv_cross::SPIRType& block, uint32_t i,
                                const SourceFacts& facts) {
    const spirv_cross::SPIRType& member = compiler.get_type(block.member_types[i]);
    ShaderConstant constant;
    constant.name = compiler.get_member_name(block.self, i);
    constant.type = facts.bools.count(constant.name) ? ConstantType::Bool
                    : IsInteger(member)              ? ConstantType::Int
                                                     : ConstantType::Float;
    constant.elements = member.array.empty() ? 1 : std::max<uint32_t>(member.array[0], 1);
    constant.offset = compiler.type_struct_member_offset(block, i);
    if (!member.array.empty()) constant.arrayStride = compiler.type_struct_member_array_stride(block, i);
    // glslang names an HLSL row a GLSL column: floatRxC is a matC x R with R columns of C.
    if (member.columns > 1) {
        constant.rows = member.columns;
        constant.columns = member.vecsize;
        // HLSL's default column_major packing is SPIR-V's RowMajor of the transposed type.
        constant.cls = compiler.has_member_decoration(block.self, i, spv::DecorationRowMajor)
                           ? ConstantClass::MatrixColumns
                           : ConstantClass::MatrixRows;
        constant.registerStride = compiler.type_struct_member_matrix_stride(block, i);
    } else {
        constant.columns = member.vecsize;
        constant.cls = member.vecsize > 1 ? ConstantClass::Vector : ConstantClass::Scalar;
    }
    constant.registerCount = constant.elements * RegistersPerElement(constant);
    return constant;
}

// Placed constants keep their register(cN); the others take the first free
// registers that hold them whole, in declaration order, as D3DX gives them.
// The GL block is laid out by glslang alone: the device finds each register
// by its offset, so the registers may leave gaps the block does not have.
uint32_t AssignRegisters(const std::map<std::string, uint32_t>& placed, std::vector<ShaderConstant>* constants) {
    std::vector<std::pair<uint32_t, uint32_t>> taken;  // [first, end)
    auto fits = [&](uint32_t first, uint32_t count) {
        for (const auto& range : taken)
            if (first < range.second && range.first < first + count) return false;
        return true;
    };
    uint32_t end = 0;
    for (ShaderConstant& constant : *constants) {
        const auto place = placed.find(constant.name);
        if (place == placed.end()) continue;
        constant.firstRegister = place->second;
        taken.emplace_back(constant.firstRegister, constant.firstRegister + constant.registerCount);
        end = std::max(end, taken.back().second);
    }
    for (ShaderConstant& constant : *constants) {
        if (placed.count(constant.name)) continue;
        uint32_t first = 0;
        while (!fits(first, constant.registerCount)) ++first;
        constant.firstRegister = first;
        taken.emplace_back(first, first + constant.registerCount);
        end = std::max(end, taken.back().second);
    }
    return end;
}

bool ReflectConstants(spirv_cross::CompilerGLSL& compiler, const spirv_cross::ShaderResources& resources,
                      const SourceFacts& facts, CompiledShader* compiled, std::string* errors) {
    for (const spirv_cross::Resource& block : resources.uniform_buffers) {
        const spirv_cross::SPIRType& type = compiler.get_type(block.base_type_id);
        compiled->blockName = compiled->stage == ShaderStage::Vertex ? kVertexBlockName : kPixelBlockName;
        compiler.set_name(block.base_type_id, compiled->blockName);
        compiler.set_name(block.id, compiled->blockName + std::string("_instance"));
        compiled->blockSize = static_cast<uint32_t>(compiler.get_declared_struct_size(type));
        // Members the code never reads are not constants, as the D3DX compiler drops them.
        std::vector<bool> active(type.member_types.size(), false);
        for (const spirv_cross::BufferRange& range : compiler.get_active_buffer_ranges(block.id))
            if (range.index < active.size()) active[range.index] = true;
        for (uint32_t i = 0; i < type.member_types.size(); ++i) {
            if (!active[i]) continue;
            compiled->constants.push_back(ConstantOfMember(compiler, type, i, facts));
        }
    }
    const uint32_t nextRegister = AssignRegisters(facts.prepared.placedConstants, &compiled->constants);
    const uint32_t limit = compiled->stage == ShaderStage::Vertex ? kVertexShaderRegisters : kPixelShaderRegisters;
    if (nextRegister > limit) {
        *errors = "error: the constants need " + std::to_string(nextRegister) + " registers, the profile has " +
                  std::to_string(limit);
        return false;
    }
    return true;
}

// Sampler variables in the order the code first reads them.
std::vector<uint32_t> SamplersInOrderOfUse(const std::vector<uint32_t>& spirv, const std::set<uint32_t>& samplers) {
    constexpr uint32_t kOpLoad = 61;
    std::vector<uint32_t> order;
    for (size_t at = 5; at < spirv.size();) {
        const uint32_t words = spirv[at] >> 16, opcode = spirv[at] & 0xFFFF;
        if (words == 0) break;
        if (opcode == kOpLoad && at + 3 < spirv.size() && samplers.count(spirv[at + 3]) &&
            std::find(order.begin(), order.end(), spirv[at + 3]) == order.end())
            order.push_back(spirv[at + 3]);
        at += words;
    }
    return order;
}

// Explicit register(sN) first, then the free registers in order of use, as
// D3DX gives them; an array takes as many registers in a row as it has samplers.
void ReflectSamplers(spirv_cross::CompilerGLSL& compiler, const spirv_cross::ShaderResources& resources,
                     const std::vector<uint32_t>& spirv, const SourceFacts& facts, CompiledShader* compiled) {
    std::set<uint32_t> ids, taken;
    std::map<uint32_t, uint32_t> registers;  // variable id -> first register
    auto sizeOf = [&](uint32_t id) {
        const spirv_cross::SPIRType& type = compiler.get_type_from_variable(id);
        return type.array.empty() ? 1u : std::max(type.array[0], 1u);
    };
    auto take = [&](uint32_t id, uint32_t first) {
        registers[id] = first;
        for (uint32_t i = 0; i < sizeOf(id); ++i) taken.insert(first + i);
    };
    for (const spirv_cross::Resource& sampler : resources.sampled_images) {
        ids.insert(sampler.id);
        auto explicitRegister = facts.samplerRegisters.find(compiler.get_name(sampler.id));
        if (explicitRegister != facts.samplerRegisters.end()) take(sampler.id, explicitRegister->second);
    }
    auto free = [&](uint32_t first, uint32_t size) {
        for (uint32_t i = 0; i < size; ++i)
            if (taken.count(first + i)) return false;
        return true;
    };
    for (uint32_t id : SamplersInOrderOfUse(spirv, ids)) {
        if (registers.count(id)) continue;
        uint32_t first = 0;
        while (!free(first, sizeOf(id))) ++first;
        take(id, first);
    }
    for (const spirv_cross::Resource& sampler : resources.sampled_images) {
        auto found = registers.find(sampler.id);
        if (found == registers.end()) continue;  // declared, never sampled
        ShaderConstant constant;
        constant.name = compiler.get_name(sampler.id);
        constant.cls = ConstantClass::Object;
        constant.type = compiler.get_type(sampler.type_id).image.dim == spv::DimCube ? ConstantType::SamplerCube
                                                                                     : ConstantType::Sampler2D;
        constant.elements = constant.registerCount = sizeOf(sampler.id);
        constant.firstRegister = found->second;
        compiled->constants.push_back(constant);
        compiler.set_name(sampler.id, SamplerGlslName(compiled->stage, found->second));
    }
}

ShaderVarying VaryingOf(const spirv_cross::Compiler& compiler, spirv_cross::ID id, const std::string& semantic) {
    const spirv_cross::SPIRType& type = compiler.get_type(compiler.get_type_from_variable(id).self);
    return {semantic, type.vecsize, IsInteger(type)};
}

void RenameInterface(spirv_cross::CompilerGLSL& compiler, const spirv_cross::ShaderResources& resources,
                     CompiledShader* compiled) {
    const bool vertex = compiled->stage == ShaderStage::Vertex;
    for (const spirv_cross::Resource& input : resources.stage_inputs) {
        if (compiler.has_decoration(input.id, spv::DecorationBuiltIn)) continue;
        const std::string semantic = SemanticOf(compiler, input.id);
        compiler.unset_decoration(input.id, spv::DecorationLocation);
        compiler.set_name(input.id, (vertex ? kInputPrefix : kPixelInputPrefix) + semantic);
        compiled->inputs.push_back(VaryingOf(compiler, input.id, semantic));
    }
    for (const spirv_cross::Resource& output : resources.stage_outputs) {
        if (compiler.has_decoration(output.id, spv::DecorationBuiltIn)) continue;
        const std::string semantic = SemanticOf(compiler, output.id);
        if (!vertex && (semantic == "DEPTH0" || semantic == "SV_DEPTH0")) {  // the pixel's depth, not a colour
            compiler.unset_decoration(output.id, spv::DecorationLocation);
            compiler.set_decoration(output.id, spv::DecorationBuiltIn, spv::BuiltInFragDepth);
            continue;
        }
        if (!vertex) {
            // COLORn is render target n, wherever glslang's own numbering
            // (which counts the out parameters of other functions too) put it.
            compiler.set_decoration(output.id, spv::DecorationLocation, TrailingNumber(semantic));
            compiler.set_name(output.id, kPixelOutputPrefix + semantic);
            compiled->outputs.push_back(VaryingOf(compiler, output.id, semantic));
            continue;
        }
        compiler.unset_decoration(output.id, spv::DecorationLocation);
        if (IsPositionSemantic(semantic)) {
            compiler.set_decoration(output.id, spv::DecorationBuiltIn, spv::BuiltInPosition);
        } else {
            compiler.set_name(output.id, kVaryingPrefix + semantic);
            compiled->outputs.push_back(VaryingOf(compiler, output.id, semantic));
        }
    }
}

// Pixel inputs become plain globals that the linked program fills from the
// vertex half (whatever its widths) or from GL's built-ins; integer vertex
// outputs are flat, as GL requires of the pixel side that reads them.
std::string AdaptInterfaceDeclarations(const std::string& glsl, const CompiledShader& compiled) {
    std::set<std::string> pixelInputs, flatOutputs;
    for (const ShaderVarying& input : compiled.inputs) pixelInputs.insert(kPixelInputPrefix + input.semantic);
    for (const ShaderVarying& output : compiled.outputs)
        if (output.integer) flatOutputs.insert(kVaryingPrefix + output.semantic);
    const bool pixel = compiled.stage == ShaderStage::Pixel;
    std::istringstream lines(glsl);
    std::string adapted, line;
    while (std::getline(lines, line)) {
        const size_t nameStart = line.rfind(' ') + 1;
        const std::string name = line.empty() || line.back() != ';' ? "" : line.substr(nameStart, line.size() - nameStart - 1);
        if (pixel && pixelInputs.count(name)) {
            const size_t in = line.find("in ");
            if (in != std::string::npos) line = line.substr(in + 3);
        } else if (!pixel && flatOutputs.count(name) && line.compare(0, 4, "out ") == 0) {
            line = "flat " + line;
        }
        adapted += line + '\n';
    }
    return adapted;
}

// Direct3D 9 passes at most ten values between the stages (eight texture
// coordinates and two colours; ps_3_0's ten input registers), and vs_3_0
// has twelve output registers, the position among them. GL drivers allow
// more, and some fail on far more.
bool WithinVaryingRegisters(const CompiledShader& compiled, const char* profile, std::string* errors) {
    const bool vertex = compiled.stage == ShaderStage::Vertex;
    const std::vector<ShaderVarying>& varyings = vertex ? compiled.outputs : compiled.inputs;
    size_t count = 0;
    for (const ShaderVarying& varying : varyings)
        if (varying.semantic != "VPOS0" && varying.semantic != "VFACE0") ++count;
    const size_t limit = vertex && std::strcmp(profile, "vs_3_0") == 0 ? 11 : 10;
    if (count <= limit) return true;
    *errors = "error: " + std::to_string(count) + (vertex ? " outputs" : " inputs") + " besides the position, " +
              profile + " has registers for " + std::to_string(limit);
    return false;
}

}  // namespace

std::string NormalizedSemantic(const std::string& semantic) {
    std::string normal;
    for (char c : semantic) normal += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (normal.empty() || !std::isdigit(static_cast<unsigned char>(normal.back()))) normal += '0';
    return normal;
}

bool CompileHlsl(const char* source, size_t length, const char* entry, const char* profile, CompiledShader* compiled,
                 std::string* errors, const std::string& preamble) {
    errors->clear();
    ShaderStage stage;
    if (!StageOfProfile(profile, &stage)) {
        *errors = std::string("unknown profile ") + (profile ? profile : "(null)");
        return false;
    }
    if (!source || !entry) {
        *errors = "error: no source or no entry point";
        return false;
    }
    std::vector<uint32_t> spirv;
    SourceFacts facts;
    facts.prepared = PrepareHlsl(std::string_view(source, length), entry);
    if (!ToSpirv(entry, preamble, stage, &spirv, &facts, errors)) return false;

    try {
        spirv_cross::CompilerGLSL compiler(spirv);
        spirv_cross::CompilerGLSL::Options options;
        options.version = 330;
        options.es = false;
        options.enable_420pack_extension = false;
        // The workaround copies row_major matrices through a function that takes one matrix, which an array
        // of them (a bone palette passed as a uniform parameter) cannot pass; GL 3.3 reads them right.
        options.enable_row_major_load_workaround = false;
        compiler.set_common_options(options);
        const spirv_cross::ShaderResources resources =
            compiler.get_shader_resources(compiler.get_active_interface_variables());

        *compiled = CompiledShader{};
        compiled->stage = stage;
        if (!ReflectConstants(compiler, resources, facts, compiled, errors)) return false;
        ReflectSamplers(compiler, resources, spirv, facts, compiled);
        // D3DX names the entry's uniform parameters, samplers among them, with a leading '$'.
        for (ShaderConstant& constant : compiled->constants)
            if (facts.prepared.uniformParameters.count(constant.name)) constant.name = "$" + constant.name;
        RenameInterface(compiler, resources, compiled);
        if (!WithinVaryingRegisters(*compiled, profile, errors)) return false;
        compiled->glsl = AdaptInterfaceDeclarations(compiler.compile(), *compiled);
    } catch (const std::exception& error) {
        *errors = error.what();
        return false;
    }
    return true;
}
