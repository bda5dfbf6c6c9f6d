// Conformance corpus, what passes between and out of the stages: varyings
// whose widths differ by semantic, pixel inputs no vertex output writes,
// VPOS, VFACE, clip and the alpha test on a pixel shader's colour.
#include <gtest/gtest.h>

#include "hlsl_corpus_fixture.h"

namespace {

class CorpusStages : public HlslCorpus {};

// Texture coordinates 0 and 1 at two widths each, and a colour.
constexpr const char* kNarrowVertex = R"(
struct VS_OUTPUT {
    float4 position : POSITION;
    float2 uv : TEXCOORD0;
    float4 wide : TEXCOORD1;
    float3 colour : COLOR0;
};
VS_OUTPUT main(float3 p : POSITION, float2 uv : TEXCOORD0) {
    VS_OUTPUT o;
    o.position = float4(p, 1.0);
    o.uv = float2(0.25, 0.5);
    o.wide = float4(0.125, 0.375, 0.625, 0.875);
    o.colour = float3(0.75, 0.5, 0.25);
    return o;
}
)";

}  // namespace

TEST_F(CorpusStages, WiderPixelInputsReadZeroAndOneWhereTheVertexWroteNothing) {
    VertexShader(kNarrowVertex);
    Stage pixel = PixelShader(R"(
int part;
float4 main(float4 uv : TEXCOORD0, float4 colour : COLOR0) : COLOR {
    if (part == 0) return float4(uv.xyz, 1) + float4(0, 0, uv.w * 0.5, 0);  // (0.25, 0.5, 0 + 0.5)
    return float4(colour.rgb, 1) * colour.a;
}
)");
    ASSERT_NE(pixel.table, nullptr);
    DrawQuad();
    EXPECT_TRUE(PixelIs(8, 8, 0.25f, 0.5f, 0.5f));
    pixel.table->SetInt(device, pixel["part"], 1);
    DrawQuad();
    EXPECT_TRUE(PixelIs(8, 8, 0.75f, 0.5f, 0.25f));
}

TEST_F(CorpusStages, NarrowerPixelInputsDropTheExtraComponents) {
    VertexShader(kNarrowVertex);
    PixelShader("float4 main(float2 wide : TEXCOORD1, float c : COLOR0) : COLOR { return float4(wide, c, 1); }");
    DrawQuad();
    EXPECT_TRUE(PixelIs(8, 8, 0.125f, 0.375f, 0.75f));
}

TEST_F(CorpusStages, InputsNoVertexOutputWritesReadDirect3DDefaults) {
    VertexShader(kNarrowVertex);
    Stage pixel = PixelShader(R"(
int part;
float4 main(float4 missing : TEXCOORD5, float4 specular : COLOR1, float4 diffuse : COLOR0) : COLOR {
    if (part == 0) return float4(missing.xyz, 1) + float4(0, 0, missing.w * 0.5, 0);
    return float4(specular.rgb, 1) + specular.a * 0.5;
}
)");
    ASSERT_NE(pixel.table, nullptr);
    DrawQuad();
    EXPECT_TRUE(PixelIs(8, 8, 0, 0, 0.5f));  // texture coordinates (0, 0, 0, 1)
    pixel.table->SetInt(device, pixel["part"], 1);
    DrawQuad();
    EXPECT_TRUE(PixelIs(8, 8, 0, 0, 0));  // specular black, alpha 0
}

TEST_F(CorpusStages, FixedFunctionVertexColourIntoAWiderPixelInput) {
    device->SetVertexShader(nullptr);
    device->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1);
    D3DMATRIX identity{};
    identity.m[0][0] = identity.m[1][1] = identity.m[2][2] = identity.m[3][3] = 1;
    for (D3DTRANSFORMSTATETYPE state : {D3DTS_WORLD, D3DTS_VIEW, D3DTS_PROJECTION}) device->SetTransform(state, &identity);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    PixelShader("float4 main(float2 uv : TEXCOORD0, float3 c : COLOR0) : COLOR { return float4(c.r, c.g, uv.y, 1); }");
    struct {
        float x, y, z;
        D3DCOLOR colour;
        float u, v;
    } corners[4] = {{-1, 1, 0.5f, 0xFFFF8000, 0, 0.5f}, {1, 1, 0.5f, 0xFFFF8000, 1, 0.5f},
                    {-1, -1, 0.5f, 0xFFFF8000, 0, 0.5f}, {1, -1, 0.5f, 0xFFFF8000, 1, 0.5f}};
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, corners, sizeof corners[0]), D3D_OK);
    EXPECT_TRUE(PixelIs(8, 8, 1, 0.5f, 0.5f, 1, 2));
}

TEST_F(CorpusStages, VposIsThePixelsIntegerPosition) {
    PixelShader("float4 main(float2 p : VPOS) : COLOR { return float4(p.x / 16, p.y / 16, 0, 1); }");
    DrawQuad();
    EXPECT_TRUE(PixelIs(3, 5, 3 / 16.0f, 5 / 16.0f, 0));
    EXPECT_TRUE(PixelIs(0, 0, 0, 0, 0));
    EXPECT_TRUE(PixelIs(15, 1, 15 / 16.0f, 1 / 16.0f, 0));
}

TEST_F(CorpusStages, VfaceIsPositiveForClockwiseTriangles) {
    PixelShader("float4 main(float face : VFACE) : COLOR { return face > 0 ? float4(0, 1, 0, 1) : float4(1, 0, 0, 1); }");
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    DrawQuad(true);
    EXPECT_TRUE(PixelIs(8, 8, 0, 1, 0));
    DrawQuad(false);
    EXPECT_TRUE(PixelIs(8, 8, 1, 0, 0));
    // Culling keeps its meaning: counter-clockwise is culled by default.
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
    DrawQuad(false);
    EXPECT_TRUE(PixelIs(8, 8, 0, 0, 0));
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
    DrawQuad(false);
    EXPECT_TRUE(PixelIs(8, 8, 1, 0, 0));
}

TEST_F(CorpusStages, ClipDiscardsWhereTheValueIsNegative) {
    PixelShader("float4 main(float2 uv : TEXCOORD0) : COLOR { clip(uv.x - 0.5); return float4(1, 1, 1, 1); }");
    DrawQuad();
    EXPECT_TRUE(PixelIs(3, 8, 0, 0, 0));
    EXPECT_TRUE(PixelIs(12, 8, 1, 1, 1));
}

TEST_F(CorpusStages, AlphaTestComparesThePixelShadersAlphaWithTheReference) {
    Stage pixel = PixelShader("float alpha; float4 main() : COLOR { return float4(1, 1, 1, alpha); }");
    ASSERT_NE(pixel.table, nullptr);
    const float alpha = 0.5f;  // 128 of 255
    pixel.table->SetFloatArray(device, pixel["alpha"], &alpha, 1);
    device->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    const struct {
        DWORD func, reference;
        bool drawn;
    } cases[] = {
        {D3DCMP_GREATER, 127, true},   {D3DCMP_GREATER, 128, false}, {D3DCMP_GREATEREQUAL, 128, true},
        {D3DCMP_LESS, 128, false},     {D3DCMP_LESS, 129, true},     {D3DCMP_EQUAL, 128, true},
        {D3DCMP_NOTEQUAL, 128, false}, {D3DCMP_NEVER, 0, false},     {D3DCMP_ALWAYS, 255, true},
    };
    for (const auto& test : cases) {
        device->SetRenderState(D3DRS_ALPHAFUNC, test.func);
        device->SetRenderState(D3DRS_ALPHAREF, test.reference);
        DrawQuad();
        EXPECT_TRUE(PixelIs(8, 8, test.drawn, test.drawn, test.drawn)) << test.func << " " << test.reference;
    }
    device->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
    device->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_NEVER);
    DrawQuad();
    EXPECT_TRUE(PixelIs(8, 8, 1, 1, 1));
}
