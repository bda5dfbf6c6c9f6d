// Shader files drawn on the OpenGL device through the engine path: file,
// reader, D3DX constant tables, binders and zkApplyShader, read back as pixels.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "backend/d3dx9_math.h"
#include "gfx2d/immediate_batch.h"
#include "gfx2d/matrix_helpers.h"
#include "gfx2d/screen_quad.h"
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

// Vertex half only: the fixed-function pixel half takes its colour.
constexpr const char* kPlacedFile = R"(#pragma HLSL_VS
float4x4 zk_ModelViewProjectionMatrix;
struct VS_OUTPUT { float4 position : POSITION; float4 colour : COLOR0; };
VS_OUTPUT main(float3 p : POSITION, float4 c : COLOR0) {
    VS_OUTPUT o;
    o.position = mul(float4(p, 1.0), zk_ModelViewProjectionMatrix);
    o.colour = c;
    return o;
}
)";

// The bone is chosen by the first texture coordinate.
constexpr const char* kSkinnedFile = R"(#pragma HLSL_VS
float4x4 zk_ModelViewProjectionMatrix;
float4x4 zk_BoneMatrix[2];
struct VS_OUTPUT { float4 position : POSITION; float4 colour : COLOR0; };
VS_OUTPUT main(float3 p : POSITION, float4 c : COLOR0, float2 bone : TEXCOORD0) {
    VS_OUTPUT o;
    o.position = mul(mul(float4(p, 1.0), zk_BoneMatrix[(int)bone.x]), zk_ModelViewProjectionMatrix);
    o.colour = c;
    return o;
}
)";

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
