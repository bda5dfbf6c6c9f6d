#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "backend/d3dx9_shader.h"
#include "backend/recording_device.h"
#include "compiled_shader_lookup.h"

namespace {

constexpr const char* kVertexSource = R"(
float4x4 zk_ModelViewProjectionMatrix;
float4x4 bones[2];
float2 offsets[3];
float u_val;
int zk_LightCount;
struct VS_OUTPUT {
    float4 position : POSITION;
    float2 uv : TEXCOORD0;
};
VS_OUTPUT main(float3 p : POSITION, float2 uv : TEXCOORD0) {
    VS_OUTPUT o;
    float4 skinned = mul(float4(p, 1.0), bones[0]) + mul(float4(p, 1.0), bones[1]);
    o.position = mul(skinned, zk_ModelViewProjectionMatrix);
    o.uv = uv + offsets[0] + offsets[1] + offsets[2] + u_val * zk_LightCount;
    return o;
}
)";

constexpr const char* kPixelSource = R"(
sampler2D picture;
float4 tint;
float4 main(float2 uv : TEXCOORD0) : COLOR {
    return tex2D(picture, uv) * tint;
}
)";

struct Compiled {
    HRESULT result = 0;
    ID3DXBuffer* code = nullptr;
    ID3DXBuffer* errors = nullptr;
    ID3DXConstantTable* table = nullptr;

    ~Compiled() {
        if (code) code->Release();
        if (errors) errors->Release();
        if (table) table->Release();
    }
    const CompiledShader& shader() const { return *static_cast<const CompiledShader*>(code->GetBufferPointer()); }
    UINT RegisterOf(const std::string& name) const {
        const ShaderConstant* constant = FindConstant(shader(), name);
        EXPECT_NE(constant, nullptr) << name;
        return constant ? constant->firstRegister : 0;
    }
    std::string ErrorText() const { return errors ? static_cast<const char*>(errors->GetBufferPointer()) : ""; }
};

void Compile(Compiled* out, const char* source, const char* profile, const char* entry = "main") {
    out->result = D3DXCompileShader(source, static_cast<UINT>(std::strlen(source)), nullptr, nullptr, entry,
                                    profile, 0, &out->code, &out->errors, &out->table);
}

class ConstantTableTest : public ::testing::Test {
protected:
    void SetUp() override {
        Compile(&vertex, kVertexSource, "vs_3_0");
        ASSERT_EQ(vertex.result, D3D_OK) << vertex.ErrorText();
        Compile(&pixel, kPixelSource, "ps_2_0");
        ASSERT_EQ(pixel.result, D3D_OK) << pixel.ErrorText();
        log.clear();
    }
    void TearDown() override { device.Release(); }

    RecordedCalls log;
    RecordingDevice& device = *new RecordingDevice(&log);  // Release deletes it
    Compiled vertex, pixel;
};

}  // namespace

TEST_F(ConstantTableTest, CodeIsACompiledShaderAndOnlyUsedConstantsHaveHandles) {
    EXPECT_EQ(vertex.shader().magic, kCompiledShaderMagic);
    EXPECT_EQ(pixel.shader().stage, ShaderStage::Pixel);
    D3DXHANDLE mvp = vertex.table->GetConstantByName(nullptr, "zk_ModelViewProjectionMatrix");
    EXPECT_NE(mvp, nullptr);
    EXPECT_EQ(vertex.table->GetConstantByName(mvp, "u_val"), nullptr);  // a matrix has no members
    EXPECT_NE(pixel.table->GetConstantByName(nullptr, "tint"), nullptr);
    EXPECT_EQ(pixel.table->GetConstantByName(nullptr, "u_val"), nullptr);
}

TEST(D3DXCompileShader, FailuresGiveZeroTerminatedTextAndNoObjects) {
    Compiled broken;
    Compile(&broken, "float4 main() : COLOR { return undefinedThing; }", "ps_3_0");
    EXPECT_NE(broken.result, D3D_OK);
    EXPECT_TRUE(!broken.code && !broken.table);
    ASSERT_NE(broken.errors, nullptr);
    const char* text = static_cast<const char*>(broken.errors->GetBufferPointer());
    EXPECT_EQ(text[broken.errors->GetBufferSize() - 1], '\0');
    EXPECT_NE(std::string(text).find("undefinedThing"), std::string::npos) << text;

    // An entry the source does not define.
    Compiled otherEntry;
    Compile(&otherEntry, kPixelSource, "ps_3_0", "PixelMain");
    EXPECT_NE(otherEntry.result, D3D_OK);
    EXPECT_NE(otherEntry.ErrorText().find("PixelMain"), std::string::npos) << otherEntry.ErrorText();
}

TEST_F(ConstantTableTest, MatricesGoInTransposedAndArraysAreClamped) {
    D3DMATRIX m[3];
    for (int k = 0; k < 3; ++k)
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 4; ++c) m[k].m[r][c] = static_cast<float>(100 * k + 10 * r + c);

    const UINT mvp = vertex.RegisterOf("zk_ModelViewProjectionMatrix");
    EXPECT_EQ(vertex.table->SetMatrix(&device, vertex.table->GetConstantByName(nullptr, "zk_ModelViewProjectionMatrix"),
                                      &m[0]),
              D3D_OK);
    ASSERT_EQ(log.calls.size(), 1u);
    EXPECT_EQ(log.calls[0], "SetVertexShaderConstantF(" + std::to_string(mvp) +
                                ", [0 10 20 30 | 1 11 21 31 | 2 12 22 32 | 3 13 23 33], 4)");

    // Three matrices into a two-element array: only two are written.
    const UINT bones = vertex.RegisterOf("bones");
    log.clear();
    EXPECT_EQ(vertex.table->SetMatrixArray(&device, vertex.table->GetConstantByName(nullptr, "bones"), m, 3), D3D_OK);
    ASSERT_EQ(log.calls.size(), 1u);
    EXPECT_EQ(log.calls[0].rfind(", 8)"), log.calls[0].size() - 4) << log.calls[0];
    EXPECT_EQ(device.vertexConstants[(bones + 7) * 4 + 2], m[1].m[2][3]);
}

TEST_F(ConstantTableTest, FloatArraysArePaddedPerElementAndClamped) {
    D3DXHANDLE offsets = vertex.table->GetConstantByName(nullptr, "offsets");  // float2[3]
    const std::string start = "SetVertexShaderConstantF(" + std::to_string(vertex.RegisterOf("offsets")) + ", ";
    const float values[8] = {1, 2, 3, 4, 5, 6, 7, 8};

    vertex.table->SetFloatArray(&device, offsets, values, 5);
    vertex.table->SetFloatArray(&device, offsets, values, 8);  // the last two floats have no element
    vertex.table->SetFloatArray(&device, offsets, values, 0);  // writes nothing
    vertex.table->SetFloatArray(&device, vertex.table->GetConstantByName(nullptr, "u_val"), values + 6, 4);
    ASSERT_EQ(log.calls.size(), 3u);
    EXPECT_EQ(log.calls[0], start + "[1 2 0 0 | 3 4 0 0 | 5 0 0 0], 3)");
    EXPECT_EQ(log.calls[1], start + "[1 2 0 0 | 3 4 0 0 | 5 6 0 0], 3)");
    EXPECT_EQ(log.calls[2], "SetVertexShaderConstantF(" + std::to_string(vertex.RegisterOf("u_val")) +
                                ", [7 0 0 0], 1)");
}

TEST_F(ConstantTableTest, IntsStagesAndForeignHandles) {
    EXPECT_EQ(vertex.table->SetInt(&device, vertex.table->GetConstantByName(nullptr, "zk_LightCount"), 3), D3D_OK);
    const float tint[4] = {0.5f, 0.25f, 1, 1};
    EXPECT_EQ(pixel.table->SetFloatArray(&device, pixel.table->GetConstantByName(nullptr, "tint"), tint, 4), D3D_OK);
    ASSERT_EQ(log.calls.size(), 2u);
    EXPECT_EQ(log.calls[0],
              "SetVertexShaderConstantF(" + std::to_string(vertex.RegisterOf("zk_LightCount")) + ", [3 0 0 0], 1)");
    EXPECT_EQ(log.calls[1],
              "SetPixelShaderConstantF(" + std::to_string(pixel.RegisterOf("tint")) + ", [0.5 0.25 1 1], 1)");

    // A handle is only good for the table that gave it out.
    log.clear();
    D3DXHANDLE vertexHandle = vertex.table->GetConstantByName(nullptr, "u_val");
    const std::string copy = "tint";  // same text, not a handle
    EXPECT_EQ(pixel.table->SetFloatArray(&device, vertexHandle, tint, 1), D3DERR_INVALIDCALL);
    EXPECT_EQ(pixel.table->SetInt(&device, copy.c_str(), 1), D3DERR_INVALIDCALL);
    EXPECT_EQ(vertex.table->SetMatrix(&device, nullptr, nullptr), D3DERR_INVALIDCALL);
    EXPECT_TRUE(log.calls.empty());
}

// Sources that crash glslang 12: a failure that says so, and the process lives on.
TEST(D3DXCompileShader, CompilerCrashesBecomeFailuresThatSaySo) {
    const struct {
        const char* source;
        const char* profile;
    } crashing[] = {
        {"float main(float) { return 0; }", "ps_3_0"},  // unnamed entry-point parameter
        {"float4 main(float4 p[ : POSITION) : POSITION { return 0; }", "vs_3_0"},  // unterminated [
        {"float4 main(float4 c[ : COLOR0) : COLOR { return c; }", "ps_2_0"},
    };
    for (const auto& source : crashing) {
        Compiled result;
        Compile(&result, source.source, source.profile);
        EXPECT_NE(result.result, D3D_OK) << source.source;
        EXPECT_TRUE(!result.code && !result.table) << source.source;
        EXPECT_NE(result.ErrorText().find("crashed"), std::string::npos) << result.ErrorText();
    }
}
