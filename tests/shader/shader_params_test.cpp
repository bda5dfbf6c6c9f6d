#include "shader/shader_params.h"

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "backend/d3dx9_math.h"
#include "backend/hlsl_compiler.h"
#include "platform/graphics_context.h"
#include "recording_fixture.h"
#include "shader/shader.h"
#include "shader/shader_reader.h"

namespace {

// Every engine value in use, and two of the test's own.
constexpr const char* kLitVertex = R"(
float4x4 zk_ModelViewMatrix, zk_ModelViewProjectionMatrix, zk_NormalMatrix, zk_ObjectMatrix;
float4 zk_MaterialDiffuse, zk_MaterialAmbient, zk_LightPosition[4], zk_LightColor[4];
int zk_LightCount;
float u_val;
float4x4 zk_BoneMatrix[2];
float4 main(float3 p : POSITION, float3 n : NORMAL) : POSITION {
    float4 world = mul(mul(float4(p, 1.0), zk_BoneMatrix[0]) + mul(float4(p, 1.0), zk_BoneMatrix[1]), zk_ObjectMatrix);
    float4 light = zk_MaterialAmbient;
    for (int i = 0; i < zk_LightCount; i++) light += zk_LightColor[i] * zk_LightPosition[i];
    return mul(world, zk_ModelViewProjectionMatrix) + mul(world, zk_ModelViewMatrix) +
           mul(float4(n, 0.0), zk_NormalMatrix) + zk_MaterialDiffuse * light * u_val;
}
)";

constexpr const char* kLitPixel = R"(
float4 zk_MaterialDiffuse;
float4 zk_LightPosition[2];
int zk_LightCount;
float4 settings;
float4 main(float4 colour : COLOR0) : COLOR {
    return colour * zk_MaterialDiffuse * settings + zk_LightPosition[1] * zk_LightCount;
}
)";

// Uses the ambient colour and the light count but not the diffuse colour.
constexpr const char* kUngatedVertex = R"(
float4x4 zk_NormalMatrix;
float4 zk_MaterialAmbient;
int zk_LightCount;
float4 main(float3 p : POSITION) : POSITION {
    return mul(float4(p, 1.0), zk_NormalMatrix) + zk_MaterialAmbient * zk_LightCount;
}
)";

// First registers of a stage's constants, as the constant table sees them.
std::map<std::string, UINT> RegistersOf(const char* source, const char* profile) {
    CompiledShader compiled;
    std::string errors;
    EXPECT_TRUE(CompileHlsl(source, std::strlen(source), "main", profile, &compiled, &errors)) << errors;
    std::map<std::string, UINT> registers;
    for (const ShaderConstant& constant : compiled.constants) registers[constant.name] = constant.firstRegister;
    return registers;
}

class ShaderParams : public RecordingShell {
protected:
    void TearDown() override {
        zkReleaseShader(shader);
        RecordingShell::TearDown();
    }

    void Build(const char* vertex, const char* pixel) {
        shader = new Shader();
        ASSERT_TRUE(zkCompileShader(shader, vertex, pixel, &profile, 3, 3));
        log.clear();
    }
    RecordingDevice& Device() const { return *static_cast<RecordingDevice*>(g_graphics->device); }
    std::vector<std::string> Uploads() const {
        std::vector<std::string> uploads;
        for (const std::string& call : log.calls)
            if (call.rfind("Set", 0) == 0) {
                // Constants by first register, objects by kind.
                const size_t comma = call.find(", ");
                uploads.push_back(comma != std::string::npos ? call.substr(0, comma + 1)
                                                             : call.substr(0, call.find('#') + 1));
            }
        return uploads;
    }
    // Registers first..first+3 hold m transposed, one column each.
    static void ExpectMatrixAt(const std::vector<float>& registers, UINT first, const D3DMATRIX& m) {
        for (UINT column = 0; column < 4; ++column)
            for (UINT row = 0; row < 4; ++row)
                EXPECT_FLOAT_EQ(registers[(first + column) * 4 + row], m.m[row][column])
                    << "register " << first + column << " row " << row;
    }

    VertexProfile profile;
    Shader* shader = nullptr;
    MessageBoxCapture boxes;
};

std::string Vs(UINT r) { return "SetVertexShaderConstantF(" + std::to_string(r) + ","; }
std::string Ps(UINT r) { return "SetPixelShaderConstantF(" + std::to_string(r) + ","; }

}  // namespace

TEST_F(ShaderParams, ApplyUploadsEngineValuesThenParamsNewestFirst) {
    Build(kLitVertex, kLitPixel);
    auto vs = RegistersOf(kLitVertex, "vs_3_0");
    auto ps = RegistersOf(kLitPixel, "ps_3_0");

    D3DMATRIX view, projection, object;
    D3DXMatrixTranslation(&view, 1, 2, 3);
    D3DXMatrixScaling(&projection, 2, 3, 4);
    D3DXMatrixRotationZ(&object, 0.5f);
    g_graphics->device->SetTransform(D3DTS_VIEW, &view);
    g_graphics->device->SetTransform(D3DTS_PROJECTION, &projection);
    g_graphics->objectMatrix = object;
    zkAddLight(1, 2, 3, 1, 0.5f, 0.5f, 0.5f, 1);
    zkAddLight(4, 5, 6, 0, 1, 1, 1, 1);
    const D3DMATRIX bones[2] = {object, view};
    zkShaderBindMatrixArray(shader, "zk_BoneMatrix", 2, bones);
    zkShaderBind1f(shader, "u_val", 0.25f);
    zkShaderBind4f(shader, "settings", 1, 2, 3, 4);  // pixel stage only
    EXPECT_TRUE(boxes.boxes.empty());
    ASSERT_EQ(shader->params.size(), 3u);
    EXPECT_EQ(shader->params[0]->kind, PARAM_FLOATS | PARAM_PIXEL);
    EXPECT_EQ(shader->params[1]->kind, PARAM_FLOATS | PARAM_VERTEX);
    EXPECT_EQ(shader->params[2]->kind, PARAM_MATRICES | PARAM_VERTEX);
    log.clear();

    zkApplyShader(shader);
    const std::vector<std::string> expected = {
        Vs(vs["zk_ModelViewMatrix"]), Vs(vs["zk_ModelViewProjectionMatrix"]), Vs(vs["zk_NormalMatrix"]),
        Vs(vs["zk_ObjectMatrix"]), Vs(vs["zk_MaterialDiffuse"]), Vs(vs["zk_MaterialAmbient"]),
        Vs(vs["zk_LightPosition"]), Vs(vs["zk_LightColor"]), Vs(vs["zk_LightCount"]),
        Ps(ps["zk_MaterialDiffuse"]), Ps(ps["zk_LightPosition"]), Ps(ps["zk_LightCount"]),
        Ps(ps["settings"]), Vs(vs["u_val"]), Vs(vs["zk_BoneMatrix"]),
        "SetVertexDeclaration(declaration#", "SetVertexShader(vertexshader#", "SetPixelShader(pixelshader#"};
    EXPECT_EQ(Uploads(), expected);

    D3DMATRIX mvp, inverse, normal;
    D3DXMatrixMultiply(&mvp, &view, &projection);
    D3DXMatrixInverse(&inverse, nullptr, &view);
    D3DXMatrixTranspose(&normal, &inverse);
    const std::vector<float>& v = Device().vertexConstants;
    ExpectMatrixAt(v, vs["zk_ModelViewProjectionMatrix"], mvp);
    ExpectMatrixAt(v, vs["zk_NormalMatrix"], normal);
    ExpectMatrixAt(v, vs["zk_BoneMatrix"] + 4, view);
    EXPECT_EQ(std::vector<float>(v.begin() + vs["zk_LightColor"] * 4, v.begin() + vs["zk_LightColor"] * 4 + 12),
              (std::vector<float>{0.5f, 0.5f, 0.5f, 1, 1, 1, 1, 1, 0, 0, 0, 0}));
    EXPECT_EQ(v[vs["zk_LightCount"] * 4], 2.0f);
    EXPECT_EQ(Device().pixelConstants[ps["settings"] * 4 + 3], 4.0f);
}

TEST_F(ShaderParams, DiffuseGatesEachStageAndNoLightsUploadsZeroFloats) {
    Build(kUngatedVertex, kLitPixel);
    auto vs = RegistersOf(kUngatedVertex, "vs_3_0");
    auto ps = RegistersOf(kLitPixel, "ps_3_0");
    g_graphics->lightList->count = 0;

    zkApplyShader(shader);
    // No vertex diffuse: neither ambient nor light count reach the vertex stage.
    EXPECT_EQ(CallsStartingWith(Vs(vs["zk_NormalMatrix"])).size(), 1u);
    EXPECT_EQ(CallsStartingWith("SetVertexShaderConstantF").size(), 1u);
    // The pixel stage has diffuse; an empty light list writes no positions and a count of 0.
    const auto pixel = CallsStartingWith("SetPixelShaderConstantF");
    ASSERT_EQ(pixel.size(), 2u);
    EXPECT_EQ(pixel[0], Ps(ps["zk_MaterialDiffuse"]) + " [1 1 1 1], 1)");
    EXPECT_EQ(pixel[1], Ps(ps["zk_LightCount"]) + " [0 0 0 0], 1)");
}

TEST_F(ShaderParams, UnknownNamesWarnOncePerNameAndUploadNothing) {
    Build(kLitVertex, kLitPixel);
    zkAddLight(1, 2, 3, 1, 1, 1, 1, 1);
    D3DMATRIX identity;
    D3DXMatrixIdentity(&identity);
    zkShaderBind4f(shader, "missing", 1, 2, 3, 4);
    zkShaderBind4f(shader, "missing", 5, 6, 7, 8);
    zkShaderBind1f(shader, "zk_NormalMatrix_typo", 1);
    zkShaderBindMatrixArray(shader, "noBones", 1, &identity);
    ASSERT_EQ(boxes.boxes.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(boxes.boxes[i].text, "Variable not found in shader, or not in use!");
        EXPECT_EQ(boxes.boxes[i].type, MB_OK);
        EXPECT_EQ(boxes.boxes[i].caption, i == 1 ? "zkShaderBind1f" : "zkShaderBind4f");
    }
    ASSERT_EQ(shader->params.size(), 3u);
    EXPECT_EQ(shader->params[2]->kind, PARAM_FLOATS | PARAM_PIXEL);
    EXPECT_EQ(shader->params[2]->values, (std::vector<float>{5, 6, 7, 8}));

    // Null shaders and slots bind nothing.
    Shader* none = nullptr;
    zkShaderBind4f(none, std::string("settings"), 1, 2, 3, 4);
    zkShaderBind1f(nullptr, "settings", 1);
    EXPECT_EQ(boxes.boxes.size(), 3u);

    log.clear();
    zkApplyShader(shader);
    const size_t engineUploads = CallsStartingWith("SetVertexShaderConstantF").size() +
                                 CallsStartingWith("SetPixelShaderConstantF").size();
    EXPECT_EQ(engineUploads, 12u);  // nine vertex and three pixel engine values, nothing for the unknown names
}

TEST_F(ShaderParams, RebindingWithAnotherKindOrMoreMatricesReallocates) {
    Build(kLitVertex, kLitPixel);
    auto vs = RegistersOf(kLitVertex, "vs_3_0");
    D3DMATRIX m[3];
    for (int k = 0; k < 3; ++k) D3DXMatrixTranslation(&m[k], static_cast<float>(k + 1), 0, 0);

    zkShaderBind1f(shader, "u_val", 0.5f);
    zkShaderBind4f(shader, "u_val", 1, 2, 3, 4);  // four floats into a one-float record
    zkShaderBindMatrixArray(shader, "u_val", 2, m);
    zkShaderBindMatrixArray(shader, "zk_BoneMatrix", 1, m);
    zkShaderBindMatrixArray(shader, "zk_BoneMatrix", 3, m);  // longer than the first bind
    zkShaderBindMatrixArray(shader, "zk_BoneMatrix", 2, m + 1);  // shorter: overwrites the front
    zkShaderBindMatrixArray(shader, "ignored", 0, m);
    zkShaderBindMatrixArray(shader, "ignored", -3, m);
    EXPECT_TRUE(boxes.boxes.empty());

    ASSERT_EQ(shader->params.size(), 2u);
    const ShaderParam* bones = shader->params[0];
    const ShaderParam* value = shader->params[1];
    EXPECT_EQ(bones->count, 3);
    ASSERT_EQ(bones->values.size(), 48u);
    EXPECT_EQ((std::vector<float>{bones->values[12], bones->values[28], bones->values[44]}),
              (std::vector<float>{2, 3, 3}));
    EXPECT_EQ(value->kind, PARAM_MATRICES | PARAM_VERTEX);  // stage and handle of the first bind
    EXPECT_EQ(value->count, 2);

    zkShaderBind1f(shader, "u_val", 0.75f);
    EXPECT_EQ(value->kind, PARAM_FLOATS | PARAM_VERTEX);
    EXPECT_EQ(value->count, 1);

    log.clear();
    zkApplyShader(shader);
    // Three bound matrices, two in the array.
    const auto boneUploads = CallsStartingWith(Vs(vs["zk_BoneMatrix"]));
    ASSERT_EQ(boneUploads.size(), 1u);
    EXPECT_EQ(boneUploads[0].substr(boneUploads[0].rfind(", ")), ", 8)");
    EXPECT_EQ(Device().vertexConstants[vs["u_val"] * 4], 0.75f);
}

TEST_F(ShaderParams, VertexOnlyShaderSelectsFixedPixelStageAndSingularViewGivesIdentityNormals) {
    Build(kUngatedVertex, "");
    auto vs = RegistersOf(kUngatedVertex, "vs_3_0");
    D3DMATRIX flat;
    D3DXMatrixScaling(&flat, 1, 0, 1);
    g_graphics->device->SetTransform(D3DTS_VIEW, &flat);

    zkApplyShader(shader);
    EXPECT_EQ(log.calls.back(), "SetPixelShader(null)");
    D3DMATRIX identity;
    D3DXMatrixIdentity(&identity);
    ExpectMatrixAt(Device().vertexConstants, vs["zk_NormalMatrix"], identity);
}
