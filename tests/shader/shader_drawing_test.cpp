// Shader files drawn on the OpenGL device through the engine path: file,
// reader, D3DX constant tables, binders and zkApplyShader, read back as pixels.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "backend/d3dx9_math.h"
#include "gfx2d/immediate_batch.h"
#include "gfx2d/matrix_helpers.h"
#include "gfx2d/screen_quad.h"
#include "gfx2d/texture_data.h"
#include "gl_fixture.h"
#include "recording_fixture.h"
#include "shader/shader.h"
#include "shader/shader_params.h"
#include "temp_dir.h"

namespace {

// The batch's vertex layout (position, normal, colour, one texture set).
constexpr const char* kBatchConfig = R"(#pragma Config
#define POSITION 1
#define NORMAL 2
#define TEXCOORD 4
#define COLOR 8
VertexProfileCreate(4)
VertexProfileSet(0,0,3,POSITION,0)
VertexProfileSet(1,12,3,NORMAL,0)
VertexProfileSet(2,24,1,COLOR,0)
VertexProfileSet(3,28,2,TEXCOORD,0)
#end
)";

// A vertex half that places p by the expression given and passes the colour
// on to the fixed-function pixel half; the bone is the first texture coordinate.
std::string VertexHalf(const std::string& declarations, const std::string& placed) {
    return "#pragma HLSL_VS\n" + declarations +
           "struct VS_OUTPUT { float4 position : POSITION; float4 colour : COLOR0; };\n"
           "VS_OUTPUT main(float3 p : POSITION, float4 c : COLOR0, float2 bone : TEXCOORD0) {\n"
           "    VS_OUTPUT o;\n    o.position = " + placed + ";\n    o.colour = c;\n    return o;\n}\n";
}
const std::string kPlacedFile =
    VertexHalf("float4x4 zk_ModelViewProjectionMatrix;\n", "mul(float4(p, 1.0), zk_ModelViewProjectionMatrix)");
// row_major: the table must upload it untransposed for mul(v, M) to give v x M.
const std::string kRowMajorPlacedFile = VertexHalf("row_major float4x4 zk_ModelViewProjectionMatrix;\n",
                                                   "mul(float4(p, 1.0), zk_ModelViewProjectionMatrix)");
const std::string kSkinnedFile =
    VertexHalf("float4x4 zk_ModelViewProjectionMatrix;\nfloat4x4 zk_BoneMatrix[2];\n",
               "mul(mul(float4(p, 1.0), zk_BoneMatrix[(int)bone.x]), zk_ModelViewProjectionMatrix)");
// 4x3 bones, the usual way to save registers: the last row is the translation.
const std::string kFourByThreeSkinnedFile =
    VertexHalf("float4x4 zk_ModelViewProjectionMatrix;\nfloat4x3 zk_BoneMatrix[2];\n",
               "mul(float4(mul(float4(p, 1.0), zk_BoneMatrix[(int)bone.x]), 1.0), zk_ModelViewProjectionMatrix)");

// Pixel half only; the lights reach it because it reads zk_MaterialDiffuse.
constexpr const char* kLitFile = R"(#pragma HLSL_PS
float4 zk_MaterialDiffuse;
float4 zk_LightColor[3];
int zk_LightCount;
float4 main(float4 c : COLOR0) : COLOR {
    float3 sum = float3(0, 0, 0);
    for (int i = 0; i < zk_LightCount; i++) sum += zk_LightColor[i].rgb;
    return float4(sum * zk_MaterialDiffuse.rgb, 1.0);
}
)";

// Two samplers without registers: D3DX gives them s0 and s1 in order of use.
constexpr const char* kTwoSamplersFile = R"(#pragma HLSL_PS
sampler2D first;
sampler2D second;
float4 main(float2 uv : TEXCOORD0) : COLOR {
    return float4(tex2D(first, uv).r, tex2D(second, uv).g, 0.0, 1.0);
}
)";

// A pixel input wider than the vertex output of its semantic: the missing
// components read as Direct3D's texture coordinate defaults, z 0 and w 1.
constexpr const char* kWidenedTexcoordFile = R"(#pragma HLSL_VS
float4x4 zk_ModelViewProjectionMatrix;
struct VS_OUTPUT { float4 position : POSITION; float2 uv : TEXCOORD0; };
VS_OUTPUT main(float3 p : POSITION, float2 uv : TEXCOORD0) {
    VS_OUTPUT o;
    o.position = mul(float4(p, 1.0), zk_ModelViewProjectionMatrix);
    o.uv = uv;
    return o;
}
#pragma HLSL_PS
float4 main(float4 uv : TEXCOORD0) : COLOR { return float4(uv.x, uv.y, uv.z, 1.0) * uv.w; }
)";

// The fixed-function vertex stage's COLOR0 read as a float3.
constexpr const char* kColourAsFloat3File = R"(#pragma HLSL_PS
float4 main(float3 c : COLOR0) : COLOR { return float4(c, 1.0); }
)";

// Alpha 0.25 out of the pixel shader, for the alpha test.
constexpr const char* kQuarterAlphaFile = R"(#pragma HLSL_PS
float4 main(float4 c : COLOR0) : COLOR { return float4(c.rgb, 0.25); }
)";

// HLSL that glslang takes but GL 3.3 refuses: a sampler array indexed by a uniform.
constexpr const char* kSamplerIndexedByAConstantFile = R"(#pragma HLSL_PS
sampler2D pictures[2];
int pick;
float4 main(float2 uv : TEXCOORD0) : COLOR { return tex2D(pictures[pick], uv); }
)";

class ShaderDrawing : public GlShell {
protected:
    void SetUp() override {
        OpenIn2D(32, 32);
        inData = std::make_unique<WorkingDirectory>(data.path());
    }
    void TearDown() override {
        device->SetVertexShader(nullptr);
        device->SetPixelShader(nullptr);
        zkReleaseShader(shader);
        inData.reset();
        GlShell::TearDown();
    }
    void Load(const std::string& name, const std::string& sections) {
        data.Write("shaders/" + name + ".fx", sections + kBatchConfig);
        ASSERT_TRUE(zkLoadShader(shader, name));
        EXPECT_TRUE(boxes.boxes.empty());
    }
    // A white triangle in the upper left.
    std::vector<uint32_t> Triangle(float bone = 0.0f) {
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
        zkColor4f(1, 1, 1, 1);
        g_batch.current.u = bone;
        zkBegin(BATCH_TRIANGLES);
        zkVertex3f(2, 2, 0), zkVertex3f(14, 2, 0), zkVertex3f(2, 14, 0);
        return Pixels();
    }
    // Over the whole target, in the batch's current colour and texture coordinate.
    void CoveringQuad() {
        device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
        zkBegin(BATCH_QUADS);
        zkVertex3f(0, 0, 0), zkVertex3f(32, 0, 0), zkVertex3f(32, 32, 0), zkVertex3f(0, 32, 0);
    }

    TempDir data;
    std::unique_ptr<WorkingDirectory> inData;
    MessageBoxCapture boxes;
    Shader* shader = nullptr;
};

}  // namespace

TEST_F(ShaderDrawing, ModelViewProjectionPlacesLikeTheFixedFunctionPath) {
    zkTranslate(3, 4, 0);  // a model-view that is not identity
    const std::vector<uint32_t> fixedFunction = Triangle();
    Load("placed", kPlacedFile);
    zkApplyShader(shader);
    const std::vector<uint32_t> shaded = Triangle();
    EXPECT_EQ(shaded, fixedFunction);
    EXPECT_EQ(shaded[8 * 32 + 8], 0xFFFFFFFFu);
}

TEST_F(ShaderDrawing, BoundBoneMatrixMovesTheSkinnedTriangle) {
    Load("skinned", kSkinnedFile);
    D3DMATRIX bones[2];
    D3DXMatrixIdentity(&bones[0]);
    D3DXMatrixTranslation(&bones[1], 16, 16, 0);
    zkShaderBindMatrixArray(shader, "zk_BoneMatrix", 2, bones);
    zkApplyShader(shader);

    std::vector<uint32_t> pixels = Triangle(1.0f);
    EXPECT_EQ(pixels[5 * 32 + 5], 0xFF000000u);
    EXPECT_EQ(pixels[21 * 32 + 21], 0xFFFFFFFFu);
    pixels = Triangle(0.0f);
    EXPECT_EQ(pixels[5 * 32 + 5], 0xFFFFFFFFu);
}

TEST_F(ShaderDrawing, LightArrayAndCountReachThePixelStage) {
    Load("lit", kLitFile);
    LightList& lights = *g_graphics->lightList;
    lights.count = 0;
    zkAddLight(0, 0, 0, 1, 0.25f, 0, 0, 1);
    zkAddLight(0, 0, 0, 1, 0, 0.5f, 0, 1);
    zkAddLight(0, 0, 0, 1, 0, 0, 1, 1);
    const float halfBlue[4] = {1, 1, 0.5f, 1}, none[4] = {};
    zkSetMaterialColours(halfBlue, none, none);

    zkApplyShader(shader);
    zkDrawQuad(0, 0, 32, 32, 0xFFFFFFFF);
    EXPECT_TRUE(ColourNear(Pixel(16, 16), 0xFF408080));

    lights.count = 2;
    zkApplyShader(shader);
    zkDrawQuad(0, 0, 32, 32, 0xFFFFFFFF);
    EXPECT_TRUE(ColourNear(Pixel(16, 16), 0xFF408000));
}

TEST_F(ShaderDrawing, RowMajorModelViewProjectionPlacesLikeTheFixedFunctionPath) {
    zkTranslate(3, 4, 0);
    const std::vector<uint32_t> fixedFunction = Triangle();
    Load("placed", kRowMajorPlacedFile);
    zkApplyShader(shader);
    EXPECT_EQ(Triangle(), fixedFunction);
}

TEST_F(ShaderDrawing, FourByThreeBoneArrayKeepsEachBonesTranslation) {
    Load("skinned", kFourByThreeSkinnedFile);
    D3DMATRIX bones[2];
    D3DXMatrixTranslation(&bones[0], 0, 8, 0);
    D3DXMatrixTranslation(&bones[1], 16, 16, 0);
    zkShaderBindMatrixArray(shader, "zk_BoneMatrix", 2, bones);
    zkApplyShader(shader);

    std::vector<uint32_t> pixels = Triangle(1.0f);
    EXPECT_EQ(pixels[5 * 32 + 5], 0xFF000000u);
    EXPECT_EQ(pixels[21 * 32 + 21], 0xFFFFFFFFu);
    pixels = Triangle(0.0f);  // moved down by 8: (5, 13) inside, (5, 5) outside
    EXPECT_EQ(pixels[13 * 32 + 5], 0xFFFFFFFFu);
    EXPECT_EQ(pixels[5 * 32 + 5], 0xFF000000u);
}

TEST_F(ShaderDrawing, SamplersWithoutRegistersEachReadTheirOwnStage) {
    TextureData* red = zkCreateTexture(kTextureRenderTarget | kTexture2D | kTextureA8R8G8B8, 4, 4);
    TextureData* green = zkCreateTexture(kTextureRenderTarget | kTexture2D | kTextureA8R8G8B8, 4, 4);
    for (auto [texture, colour] : {std::pair{red, 0xFFFF0000u}, std::pair{green, 0xFF00FF00u}}) {
        zkBeginRenderTarget(texture, 0);
        device->Clear(0, nullptr, D3DCLEAR_TARGET, colour, 1.0f, 0);
        texture->renderToSurface->EndScene(0);
    }
    zkSet2D(32, 32);
    Load("samplers", kTwoSamplersFile);
    zkBindTexture(red, 0);
    zkBindTexture(green, 1);
    zkApplyShader(shader);
    zkDrawQuad(0, 0, 32, 32, 0xFFFFFFFF);
    EXPECT_EQ(Pixel(16, 16), 0xFFFFFF00u);
    device->SetTexture(0, nullptr);
    device->SetTexture(1, nullptr);
    for (TextureData* texture : {red, green}) zkReleaseTexture(texture), delete texture;
}

TEST_F(ShaderDrawing, PixelInputsWiderThanTheVertexOutputsReadDirect3DDefaults) {
    Load("widened", kWidenedTexcoordFile);
    zkApplyShader(shader);
    g_batch.current.u = 0.5f, g_batch.current.v = 0.25f;
    zkColor4f(1, 1, 1, 1);
    CoveringQuad();
    EXPECT_TRUE(ColourNear(Pixel(16, 16), 0xFF804000));
}

TEST_F(ShaderDrawing, FixedFunctionColourReadAsFloat3ByAPixelShader) {
    Load("colour3", kColourAsFloat3File);
    zkApplyShader(shader);
    zkColor4f(1, 0.5f, 0.25f, 0);
    CoveringQuad();
    EXPECT_TRUE(ColourNear(Pixel(16, 16), 0xFFFF8040));
}

TEST_F(ShaderDrawing, AlphaTestAppliesToPixelShaderOutput) {
    Load("quarter", kQuarterAlphaFile);
    zkApplyShader(shader);
    device->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    device->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATER);
    device->SetRenderState(D3DRS_ALPHAREF, 0x80);
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    zkDrawQuad(0, 0, 32, 32, 0xFFFFFFFF);
    EXPECT_EQ(Pixel(16, 16), 0xFF000000u);  // 0.25 is not above 128/255
    device->SetRenderState(D3DRS_ALPHAREF, 0x20);
    zkDrawQuad(0, 0, 32, 32, 0xFFFFFFFF);
    EXPECT_EQ(Pixel(16, 16), 0xFFFFFFFFu);
    device->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
}

TEST_F(ShaderDrawing, ProgramThatCannotLinkIsReportedLikeACompileFailure) {
    Load("indexed", kSamplerIndexedByAConstantFile);
    zkApplyShader(shader);
    zkDrawQuad(0, 0, 32, 32, 0xFFFFFFFF);
    zkDrawQuad(0, 0, 32, 32, 0xFFFFFFFF);
    ASSERT_EQ(boxes.boxes.size(), 1u);  // once, not on every draw
    EXPECT_EQ(boxes.boxes[0].caption, "HLSL PixelShader Compile Failure");
    EXPECT_NE(boxes.boxes[0].text.find("do not link"), std::string::npos) << boxes.boxes[0].text;
    EXPECT_NE(boxes.boxes[0].text.find("sampler arrays"), std::string::npos) << boxes.boxes[0].text;  // GL's own text
}
