#include <gtest/gtest.h>

#include <cstring>

#include "backend/hlsl_compiler.h"

namespace {

constexpr const char* kVertexSource = R"(
float4x4 zk_ModelViewProjectionMatrix;
float4x4 zk_NormalMatrix;
float4 settings;
float u_val;
int zk_LightCount;
struct VS_OUTPUT {
    float4 position : POSITION;
    float2 uv : TEXCOORD0;
    float4 colour : COLOR;
};
VS_OUTPUT main(float3 p : POSITION, float4 c : COLOR0, float2 uv : TEXCOORD0) {
    VS_OUTPUT o;
    o.position = mul(float4(p, 1.0), zk_ModelViewProjectionMatrix);
    o.uv = uv * settings.xy;
    o.colour = c * u_val * zk_LightCount;
    return o;
}
)";

constexpr const char* kPixelSource = R"(
sampler2D picture;
float4 tint;
float4 main(float2 uv : TEXCOORD0, float4 colour : COLOR0) : COLOR {
    return tex2D(picture, uv) * colour * tint;
}
)";

const ShaderConstant* Find(const CompiledShader& shader, const std::string& name) {
    for (const ShaderConstant& constant : shader.constants)
        if (constant.name == name) return &constant;
    return nullptr;
}

bool Compile(const char* source, const char* profile, CompiledShader* shader, std::string* errors) {
    return CompileHlsl(source, std::strlen(source), profile, shader, errors);
}

}  // namespace

TEST(HlslCompiler, VertexStageReflectsUsedConstantsAndRenamesBySemantic) {
    CompiledShader shader;
    std::string errors;
    ASSERT_TRUE(Compile(kVertexSource, "vs_3_0", &shader, &errors)) << errors;
    EXPECT_EQ(shader.stage, ShaderStage::Vertex);
    EXPECT_EQ(shader.blockName, kVertexBlockName);
    EXPECT_EQ(Find(shader, "zk_NormalMatrix"), nullptr);  // unused, so not in the table

    const ShaderConstant* matrix = Find(shader, "zk_ModelViewProjectionMatrix");
    const ShaderConstant* vector = Find(shader, "settings");
    const ShaderConstant* scalar = Find(shader, "u_val");
    const ShaderConstant* count = Find(shader, "zk_LightCount");
    ASSERT_TRUE(matrix && vector && scalar && count);
    EXPECT_EQ(matrix->rows, 4u);
    EXPECT_EQ(matrix->columns, 4u);
    EXPECT_EQ(matrix->registerCount, 4u);
    EXPECT_EQ(matrix->matrixStride, 16u);
    EXPECT_EQ(vector->columns, 4u);
    EXPECT_EQ(vector->registerCount, 1u);
    EXPECT_EQ(scalar->columns, 1u);
    EXPECT_TRUE(count->integer);
    EXPECT_FALSE(scalar->integer);
    // Registers do not overlap.
    EXPECT_EQ(vector->firstRegister, matrix->firstRegister + 4);

    EXPECT_EQ(shader.inputs, (std::vector<std::string>{"POSITION0", "COLOR0", "TEXCOORD0"}));
    EXPECT_NE(shader.glsl.find("gl_Position"), std::string::npos) << shader.glsl;
    EXPECT_NE(shader.glsl.find("d3d_in_POSITION0"), std::string::npos);
    EXPECT_NE(shader.glsl.find("d3d_v_TEXCOORD0"), std::string::npos);
    EXPECT_NE(shader.glsl.find("d3d_v_COLOR0"), std::string::npos);
    EXPECT_EQ(shader.glsl.find("layout(location"), std::string::npos) << shader.glsl;
}

TEST(HlslCompiler, PixelStageHasSamplersAndSemanticVaryings) {
    CompiledShader shader;
    std::string errors;
    ASSERT_TRUE(Compile(kPixelSource, "ps_2_0", &shader, &errors)) << errors;
    EXPECT_EQ(shader.stage, ShaderStage::Pixel);
    EXPECT_EQ(shader.blockName, kPixelBlockName);
    ASSERT_EQ(shader.samplers.size(), 1u);
    EXPECT_EQ(shader.samplers[0].unit, 0u);
    EXPECT_NE(shader.glsl.find("d3d_v_TEXCOORD0"), std::string::npos) << shader.glsl;
    EXPECT_NE(shader.glsl.find("d3d_v_COLOR0"), std::string::npos);
    EXPECT_NE(Find(shader, "tint"), nullptr);
}

TEST(HlslCompiler, ErrorsAndBadProfilesFail) {
    CompiledShader shader;
    std::string errors;
    EXPECT_FALSE(Compile("float4 main() : COLOR { return undefinedThing; }", "ps_3_0", &shader, &errors));
    EXPECT_NE(errors.find("undefinedThing"), std::string::npos) << errors;

    for (const char* profile : {"vs_4_0", "gs_3_0", "ps_3_1", "vs_3", "", "vs_3_0_extra"})
        EXPECT_FALSE(Compile(kPixelSource, profile, &shader, &errors)) << profile;
    EXPECT_FALSE(CompileHlsl(kPixelSource, std::strlen(kPixelSource), nullptr, &shader, &errors));
    EXPECT_FALSE(CompileHlsl(nullptr, 0, "ps_3_0", &shader, &errors));
    // A length shorter than the text compiles only the prefix, which has no main.
    EXPECT_FALSE(CompileHlsl(kPixelSource, 29, "ps_3_0", &shader, &errors));
    EXPECT_FALSE(errors.empty());
}
