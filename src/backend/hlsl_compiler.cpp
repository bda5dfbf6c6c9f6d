#define ENABLE_HLSL 1
#include "backend/hlsl_compiler.h"

#include <glslang/Public/ResourceLimits.h>
#include <glslang/MachineIndependent/localintermediate.h>
#include <glslang/Public/ShaderLang.h>
#include <glslang/SPIRV/GlslangToSpv.h>
#include <spirv_cross/spirv_glsl.hpp>

#include <cctype>
#include <cstring>
#include <mutex>

namespace {

bool StageOfProfile(const char* profile, ShaderStage* stage) {
    if (!profile || std::strlen(profile) != 6 || profile[1] != 's' || profile[2] != '_' || profile[4] != '_' ||
        profile[5] != '0' || profile[3] < '1' || profile[3] > '3')
        return false;
    if (profile[0] == 'v') *stage = ShaderStage::Vertex;
    else if (profile[0] == 'p') *stage = ShaderStage::Pixel;
    else return false;
    return true;
}

bool ToSpirv(const char* source, size_t length, ShaderStage stage, std::vector<uint32_t>* spirv, std::string* errors) {
    static std::once_flag initialised;
    std::call_once(initialised, [] { glslang::InitializeProcess(); });

    const EShLanguage language = stage == ShaderStage::Vertex ? EShLangVertex : EShLangFragment;
    glslang::TShader shader(language);
    const int lengths[] = {static_cast<int>(length)};
    shader.setStringsWithLengths(&source, lengths, 1);
    shader.setEntryPoint("main");
    shader.setSourceEntryPoint("main");
    shader.setEnvInput(glslang::EShSourceHlsl, language, glslang::EShClientOpenGL, 100);
    shader.setEnvClient(glslang::EShClientOpenGL, glslang::EShTargetOpenGL_450);
    shader.setEnvTarget(glslang::EShTargetSpv, glslang::EShTargetSpv_1_0);
    shader.setEnvTargetHlslFunctionality1();  // keeps the semantics on inputs and outputs
    shader.setAutoMapLocations(true);
    shader.setAutoMapBindings(true);
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
        *errors = "error: entry point 'main' not found";
        return false;
    }
    glslang::GlslangToSpv(*program.getIntermediate(language), *spirv);
    return true;
}

std::string SemanticOf(const spirv_cross::Compiler& compiler, spirv_cross::ID id) {
    return NormalizedSemantic(compiler.get_decoration_string(id, spv::DecorationHlslSemanticGOOGLE));
}

bool IsPositionSemantic(const std::string& semantic) {
    return semantic == "POSITION0" || semantic == "SV_POSITION0";
}

void ReflectConstants(spirv_cross::CompilerGLSL& compiler, const spirv_cross::ShaderResources& resources,
                      ShaderStage stage, CompiledShader* compiled) {
    uint32_t nextRegister = 0;
    for (const spirv_cross::Resource& block : resources.uniform_buffers) {
        const spirv_cross::SPIRType& type = compiler.get_type(block.base_type_id);
        compiled->blockName = stage == ShaderStage::Vertex ? kVertexBlockName : kPixelBlockName;
        compiler.set_name(block.base_type_id, compiled->blockName);
        compiler.set_name(block.id, compiled->blockName + std::string("_instance"));
        compiled->blockSize = static_cast<uint32_t>(compiler.get_declared_struct_size(type));
        // Members the code never reads are not constants, as the D3DX compiler drops them.
        std::vector<bool> active(type.member_types.size(), false);
        for (const spirv_cross::BufferRange& range : compiler.get_active_buffer_ranges(block.id))
            if (range.index < active.size()) active[range.index] = true;
        for (uint32_t i = 0; i < type.member_types.size(); ++i) {
            if (!active[i]) continue;
            const spirv_cross::SPIRType& member = compiler.get_type(type.member_types[i]);
            ShaderConstant constant;
            constant.name = compiler.get_member_name(block.base_type_id, i);
            constant.integer = member.basetype == spirv_cross::SPIRType::Int ||
                               member.basetype == spirv_cross::SPIRType::UInt ||
                               member.basetype == spirv_cross::SPIRType::Boolean;
            constant.columns = member.vecsize;
            constant.rows = member.columns;
            constant.elements = member.array.empty() ? 1 : member.array[0];
            constant.offset = compiler.type_struct_member_offset(type, i);
            if (!member.array.empty()) constant.arrayStride = compiler.type_struct_member_array_stride(type, i);
            if (member.columns > 1) constant.matrixStride = compiler.type_struct_member_matrix_stride(type, i);
            constant.firstRegister = nextRegister;
            constant.registerCount = constant.elements * (member.columns > 1 ? 4 : 1);
            nextRegister += constant.registerCount;
            compiled->constants.push_back(constant);
        }
    }
}

void RenameInterface(spirv_cross::CompilerGLSL& compiler, const spirv_cross::ShaderResources& resources,
                     ShaderStage stage, CompiledShader* compiled) {
    for (const spirv_cross::Resource& input : resources.stage_inputs) {
        const std::string semantic = SemanticOf(compiler, input.id);
        compiler.unset_decoration(input.id, spv::DecorationLocation);
        if (stage == ShaderStage::Vertex) {
            compiler.set_name(input.id, kInputPrefix + semantic);
            compiled->inputs.push_back(semantic);
        } else {
            compiler.set_name(input.id, kVaryingPrefix + semantic);
        }
    }
    for (const spirv_cross::Resource& output : resources.stage_outputs) {
        if (compiler.has_decoration(output.id, spv::DecorationBuiltIn)) continue;
        const std::string semantic = SemanticOf(compiler, output.id);
        if (stage == ShaderStage::Pixel) {
            compiler.set_name(output.id, "d3d_out_" + semantic);
            continue;
        }
        compiler.unset_decoration(output.id, spv::DecorationLocation);
        if (IsPositionSemantic(semantic)) {
            compiler.set_decoration(output.id, spv::DecorationBuiltIn, spv::BuiltInPosition);
        } else {
            compiler.set_name(output.id, kVaryingPrefix + semantic);
        }
    }
}

}  // namespace

std::string NormalizedSemantic(const std::string& semantic) {
    std::string normal;
    for (char c : semantic) normal += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (normal.empty() || !std::isdigit(static_cast<unsigned char>(normal.back()))) normal += '0';
    return normal;
}

bool CompileHlsl(const char* source, size_t length, const char* profile, CompiledShader* compiled,
                 std::string* errors) {
    errors->clear();
    ShaderStage stage;
    if (!StageOfProfile(profile, &stage)) {
        *errors = std::string("unknown profile ") + (profile ? profile : "(null)");
        return false;
    }
    std::vector<uint32_t> spirv;
    if (!source || !ToSpirv(source, length, stage, &spirv, errors)) return false;

    try {
        spirv_cross::CompilerGLSL compiler(std::move(spirv));
        spirv_cross::CompilerGLSL::Options options;
        options.version = 330;
        options.es = false;
        options.enable_420pack_extension = false;
        compiler.set_common_options(options);
        const spirv_cross::ShaderResources resources = compiler.get_shader_resources();

        *compiled = CompiledShader{};
        compiled->stage = stage;
        ReflectConstants(compiler, resources, stage, compiled);
        RenameInterface(compiler, resources, stage, compiled);
        for (const spirv_cross::Resource& sampler : resources.sampled_images)
            compiled->samplers.push_back(
                {compiler.get_name(sampler.id), compiler.get_decoration(sampler.id, spv::DecorationBinding)});
        compiled->glsl = compiler.compile();
    } catch (const std::exception& error) {
        *errors = error.what();
        return false;
    }
    return true;
}
