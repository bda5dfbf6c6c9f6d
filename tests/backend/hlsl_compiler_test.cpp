#include <gtest/gtest.h>

#include <cstring>

#include "compiled_shader_lookup.h"

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

}  // namespace

TEST(HlslCompiler, VertexStageReflectsUsedConstantsAndRenamesBySemantic) {
    CompiledShader shader;
    std::string errors;
    ASSERT_TRUE(CompileText(kVertexSource, "vs_3_0", &shader, &errors)) << errors;
    EXPECT_EQ(shader.stage, ShaderStage::Vertex);
    EXPECT_EQ(FindConstant(shader, "zk_NormalMatrix"), nullptr);  // unused, so not in the table

    const ShaderConstant* matrix = FindConstant(shader, "zk_ModelViewProjectionMatrix");
    const ShaderConstant* vector = FindConstant(shader, "settings");
    const ShaderConstant* scalar = FindConstant(shader, "u_val");
    const ShaderConstant* count = FindConstant(shader, "zk_LightCount");
    ASSERT_TRUE(matrix && vector && scalar && count);
    // Class, shape and register counts are checked through the D3DX table by the corpus.
    EXPECT_EQ(matrix->registerStride, 16u);
    EXPECT_EQ(count->type, ConstantType::Int);
    EXPECT_EQ(scalar->type, ConstantType::Float);
    EXPECT_EQ(vector->firstRegister, matrix->firstRegister + 4);  // registers do not overlap

    std::vector<std::string> inputs, outputs;
    for (const ShaderVarying& input : shader.inputs) inputs.push_back(input.semantic + std::to_string(input.components));
    for (const ShaderVarying& output : shader.outputs) outputs.push_back(output.semantic + std::to_string(output.components));
    EXPECT_EQ(inputs, (std::vector<std::string>{"POSITION03", "COLOR04", "TEXCOORD02"}));
    EXPECT_EQ(outputs, (std::vector<std::string>{"TEXCOORD02", "COLOR04"}));  // the position is GL's own
    EXPECT_NE(shader.glsl.find("gl_Position"), std::string::npos) << shader.glsl;
    EXPECT_NE(shader.glsl.find("d3d_in_POSITION0"), std::string::npos);
    EXPECT_NE(shader.glsl.find("d3d_v_TEXCOORD0"), std::string::npos);
    EXPECT_NE(shader.glsl.find("d3d_v_COLOR0"), std::string::npos);
    EXPECT_EQ(shader.glsl.find("layout(location"), std::string::npos) << shader.glsl;
}

TEST(HlslCompiler, PixelStageHasSamplersAndSemanticVaryings) {
    CompiledShader shader;
    std::string errors;
    ASSERT_TRUE(CompileText(kPixelSource, "ps_2_0", &shader, &errors)) << errors;
    EXPECT_EQ(shader.stage, ShaderStage::Pixel);
    EXPECT_NE(shader.glsl.find(SamplerGlslName(ShaderStage::Pixel, 0)), std::string::npos) << shader.glsl;
    // Pixel inputs are plain globals the linked program fills, so their widths need not match the vertex half's.
    EXPECT_NE(shader.glsl.find("\nvec2 d3d_p_TEXCOORD0;"), std::string::npos) << shader.glsl;
    EXPECT_NE(shader.glsl.find("\nvec4 d3d_p_COLOR0;"), std::string::npos);
    EXPECT_EQ(shader.glsl.find("in vec"), std::string::npos);
    ASSERT_EQ(shader.outputs.size(), 1u);
    EXPECT_EQ(shader.outputs[0].semantic, "COLOR0");
}

TEST(HlslCompiler, ErrorsAndBadProfilesFail) {
    CompiledShader shader;
    std::string errors;
    EXPECT_FALSE(CompileText("float4 main() : COLOR { return undefinedThing; }", "ps_3_0", &shader, &errors));
    EXPECT_NE(errors.find("undefinedThing"), std::string::npos) << errors;

    // Names D3DX 9 does not know, and D3DX's own non-shader profiles.
    for (const char* profile : {"vs_4_0", "gs_3_0", "ps_3_1", "vs_3", "", "vs_3_0_extra", "tx_1_0", "fx_2_0", "ps_2_c"})
        EXPECT_FALSE(CompileText(kPixelSource, profile, &shader, &errors)) << profile;
    EXPECT_FALSE(CompileHlsl(kPixelSource, std::strlen(kPixelSource), "main", nullptr, &shader, &errors));
    EXPECT_FALSE(CompileHlsl(kPixelSource, std::strlen(kPixelSource), nullptr, "ps_3_0", &shader, &errors));
    EXPECT_FALSE(CompileHlsl(nullptr, 0, "main", "ps_3_0", &shader, &errors));
    // A length shorter than the text compiles only the prefix, which has no main.
    EXPECT_FALSE(CompileHlsl(kPixelSource, 29, "main", "ps_3_0", &shader, &errors));
    EXPECT_FALSE(errors.empty());
}

TEST(HlslCompiler, RegisterLimitsOfTheProfilesHold) {
    CompiledShader shader;
    std::string errors;
    // vs_3_0 has 256 float registers, ps_3_0 224.
    EXPECT_TRUE(CompileText("float4x4 m[64]; float4 main(float4 p : POSITION) : POSITION { return mul(p, m[(int)p.x]); }",
                        "vs_3_0", &shader, &errors)) << errors;
    EXPECT_FALSE(CompileText("float4x4 m[65]; float4 main(float4 p : POSITION) : POSITION { return mul(p, m[(int)p.x]); }",
                         "vs_3_0", &shader, &errors));
    EXPECT_FALSE(CompileText("float4 c[225]; float4 main(float4 p : COLOR0) : COLOR { return c[(int)p.x]; }", "ps_3_0",
                         &shader, &errors));
    EXPECT_NE(errors.find("225"), std::string::npos) << errors;

    // Values between the stages: eleven besides the position out of vs_3_0, ten into a pixel stage.
    auto members = [](int count) {
        std::string text;
        for (int i = 0; i < count; ++i) text += "float4 t" + std::to_string(i) + " : TEXCOORD" + std::to_string(i) + ";\n";
        return text;
    };
    for (int count : {11, 12}) {
        const std::string vertex = "struct O { float4 p : POSITION;\n" + members(count) +
                                   "};\nO main(float4 p : POSITION) { O o = (O)0; o.p = p; return o; }";
        EXPECT_EQ(CompileText(vertex.c_str(), "vs_3_0", &shader, &errors), count == 11) << count << errors;
    }
    for (int count : {10, 11}) {
        std::string sum;
        for (int i = 0; i < count; ++i) sum += "+i.t" + std::to_string(i);
        const std::string pixel = "struct I {\n" + members(count) + "};\nfloat4 main(I i) : COLOR { return 0" + sum + "; }";
        EXPECT_EQ(CompileText(pixel.c_str(), "ps_3_0", &shader, &errors), count == 10) << count << errors;
    }
    EXPECT_NE(errors.find("11 inputs"), std::string::npos) << errors;
}

// The compile result crosses a pipe from the compiling child: bytes that are
// cut short or carry impossible counts are refused.
TEST(HlslCompiler, CompileResultsSurviveTheirByteFormAndDamagedBytesAreRefused) {
    CompiledShader shader;
    std::string errors;
    ASSERT_TRUE(CompileText(kVertexSource, "vs_3_0", &shader, &errors)) << errors;  // several constants, fields apart
    const std::string bytes = SerializeCompileResult(true, "a warning", shader);
    bool ok = false;
    std::string text;
    CompiledShader back;
    ASSERT_TRUE(DeserializeCompileResult(bytes, &ok, &text, &back));
    EXPECT_EQ(SerializeCompileResult(ok, text, back), bytes);  // every field came back
    EXPECT_EQ(back.glsl, shader.glsl);

    for (size_t cut = 0; cut < bytes.size(); cut += 7)
        EXPECT_FALSE(DeserializeCompileResult(bytes.substr(0, cut), &ok, &text, &back)) << cut;
    EXPECT_FALSE(DeserializeCompileResult(bytes + "x", &ok, &text, &back));
    std::string huge = bytes;
    huge.replace(4, 4, std::string(4, '\xFF'));  // the error text's length
    EXPECT_FALSE(DeserializeCompileResult(huge, &ok, &text, &back));
    std::string badStage = SerializeCompileResult(false, "", CompiledShader{});
    ASSERT_TRUE(DeserializeCompileResult(badStage, &ok, &text, &back));
    badStage[8] = 9;  // the stage, after the success word and the empty text
    EXPECT_FALSE(DeserializeCompileResult(badStage, &ok, &text, &back));
}

// The request crosses the other way: the source whole, zero bytes included.
TEST(HlslCompiler, CompileRequestsSurviveTheirByteFormAndDamagedBytesAreRefused) {
    const std::string source("float4 main() : COLOR { return 0; }\0tail", 40);
    const std::string bytes = SerializeCompileRequest(source, "PixelMain", "ps_2_0", "#define A 1\n");
    std::string sourceBack, entryBack, profileBack, preambleBack;
    ASSERT_TRUE(DeserializeCompileRequest(bytes, &sourceBack, &entryBack, &profileBack, &preambleBack));
    EXPECT_EQ(sourceBack, source);
    EXPECT_EQ(entryBack, "PixelMain");
    EXPECT_EQ(profileBack, "ps_2_0");
    EXPECT_EQ(preambleBack, "#define A 1\n");
    for (size_t cut = 0; cut < bytes.size(); ++cut)
        EXPECT_FALSE(DeserializeCompileRequest(bytes.substr(0, cut), &sourceBack, &entryBack, &profileBack,
                                               &preambleBack))
            << cut;
    EXPECT_FALSE(DeserializeCompileRequest(bytes + "x", &sourceBack, &entryBack, &profileBack, &preambleBack));
    std::string huge = bytes;
    huge.replace(0, 4, std::string(4, '\xFF'));  // the source's length
    EXPECT_FALSE(DeserializeCompileRequest(huge, &sourceBack, &entryBack, &profileBack, &preambleBack));
}
