// Conformance corpus, samplers: registers as D3DX gives them (explicit
// register(sN) first, the others in order of use), each bound to its own
// texture stage; tex2D, tex2Dlod and texCUBE.
#include <gtest/gtest.h>

#include "hlsl_corpus_fixture.h"

namespace {

constexpr uint32_t kRed = 0xFFFF0000, kGreen = 0xFF00FF00, kBlue = 0xFF0000FF, kWhite = 0xFFFFFFFF;

class CorpusSamplers : public HlslCorpus {
protected:
    // A 1 x 1 texture of one colour on a stage.
    void Solid(DWORD stage, uint32_t colour) {
        IDirect3DTexture9* texture = MakeTexture(device, 1, 1, 1, {colour});
        ASSERT_NE(texture, nullptr);
        owned.push_back(texture);
        device->SetTexture(stage, texture);
    }
};

}  // namespace

TEST_F(CorpusSamplers, UnregisteredSamplersTakeRegistersInOrderOfUse) {
    Stage pixel = PixelShader(R"(
sampler2D declaredFirst;
sampler2D declaredSecond;
sampler2D neverUsed;
float4 main(float2 uv : TEXCOORD0) : COLOR {
    float4 b = tex2D(declaredSecond, uv);
    float4 a = tex2D(declaredFirst, uv);
    return float4(b.r, a.g, 0, 1);
}
)");
    ASSERT_NE(pixel.table, nullptr);
    EXPECT_EQ(pixel.table->GetSamplerIndex(pixel["declaredSecond"]), 0u);
    EXPECT_EQ(pixel.table->GetSamplerIndex(pixel["declaredFirst"]), 1u);
    EXPECT_EQ(pixel["neverUsed"], nullptr);
    Solid(0, kRed);
    Solid(1, kGreen);
    DrawQuad();
    EXPECT_TRUE(PixelIs(8, 8, 1, 1, 0));
}

TEST_F(CorpusSamplers, ExplicitRegistersComeFirstAndTheRestFillTheGaps) {
    Stage pixel = PixelShader(R"(
sampler2D loose;
sampler2D fixedOne : register(s0);
sampler2D fixedTwo : register(s2);
sampler2D alsoLoose;
float4 main(float2 uv : TEXCOORD0) : COLOR {
    return float4(tex2D(loose, uv).r, tex2D(fixedOne, uv).g, tex2D(fixedTwo, uv).b, 1) + tex2D(alsoLoose, uv) * 0.25;
}
)");
    ASSERT_NE(pixel.table, nullptr);
    EXPECT_EQ(pixel.table->GetSamplerIndex(pixel["fixedOne"]), 0u);
    EXPECT_EQ(pixel.table->GetSamplerIndex(pixel["fixedTwo"]), 2u);
    EXPECT_EQ(pixel.table->GetSamplerIndex(pixel["loose"]), 1u);
    EXPECT_EQ(pixel.table->GetSamplerIndex(pixel["alsoLoose"]), 3u);
    Solid(0, kGreen);
    Solid(1, kRed);
    Solid(2, kBlue);
    Solid(3, 0xFF000000);
    DrawQuad();
    EXPECT_TRUE(PixelIs(8, 8, 1, 1, 1));
    Solid(3, kWhite);  // a quarter of white on top, clamped
    DrawQuad();
    EXPECT_TRUE(PixelIs(8, 8, 1, 1, 1));
    Solid(0, 0xFF000000);
    DrawQuad();
    EXPECT_TRUE(PixelIs(8, 8, 1, 0.25f, 1));
}

TEST_F(CorpusSamplers, Tex2DSamplesEachTexelAtItsCentre) {
    PixelShader(R"(
sampler2D picture;
float4 main(float2 uv : TEXCOORD0) : COLOR { return tex2D(picture, uv); }
)");
    IDirect3DTexture9* texture = MakeTexture(device, 2, 2, 1, {kRed, kGreen, kBlue, kWhite});
    owned.push_back(texture);
    device->SetTexture(0, texture);
    DrawQuad();
    EXPECT_TRUE(PixelIs(3, 3, 1, 0, 0));
    EXPECT_TRUE(PixelIs(12, 3, 0, 1, 0));
    EXPECT_TRUE(PixelIs(3, 12, 0, 0, 1));
    EXPECT_TRUE(PixelIs(12, 12, 1, 1, 1));
}

TEST_F(CorpusSamplers, Tex2DLodPicksTheMipLevel) {
    Stage pixel = PixelShader(R"(
sampler2D picture;
float level;
float4 main(float2 uv : TEXCOORD0) : COLOR { return tex2Dlod(picture, float4(uv, 0, level)); }
)");
    ASSERT_NE(pixel.table, nullptr);
    // Level 1 of red, green, blue and white is their mean.
    IDirect3DTexture9* texture = MakeTexture(device, 2, 2, 2, {kRed, kGreen, kBlue, kWhite});
    owned.push_back(texture);
    device->SetTexture(0, texture);
    device->SetSamplerState(0, D3DSAMP_MIPFILTER, D3DTEXF_POINT);
    const float zero = 0.0f, one = 1.0f;
    pixel.table->SetFloatArray(device, pixel["level"], &zero, 1);
    DrawQuad();
    EXPECT_TRUE(PixelIs(3, 3, 1, 0, 0));
    pixel.table->SetFloatArray(device, pixel["level"], &one, 1);
    DrawQuad();
    EXPECT_TRUE(PixelIs(3, 3, 0.5f, 0.5f, 0.5f, 1.0f, 2));
    EXPECT_TRUE(PixelIs(12, 12, 0.5f, 0.5f, 0.5f, 1.0f, 2));
}

TEST_F(CorpusSamplers, TexCubeReadsTheFaceOfTheDirectionOnItsOwnRegister) {
    Stage pixel = PixelShader(R"(
sampler2D flat : register(s0);
samplerCUBE environment;
float4 direction;
float4 main(float2 uv : TEXCOORD0) : COLOR { return texCUBE(environment, direction.xyz) * tex2D(flat, uv); }
)");
    ASSERT_NE(pixel.table, nullptr);
    ASSERT_EQ(pixel.table->GetSamplerIndex(pixel["environment"]), 1u);
    IDirect3DCubeTexture9* cube = nullptr;
    ASSERT_EQ(device->CreateCubeTexture(4, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &cube, nullptr),
              D3D_OK);
    owned.push_back(cube);
    const uint32_t faces[6] = {kRed, kGreen, kBlue, 0xFFFFFF00, 0xFF00FFFF, 0xFFFF00FF};
    IDirect3DSurface9* backBuffer = nullptr;
    device->GetRenderTarget(0, &backBuffer);
    for (UINT face = 0; face < 6; ++face) {
        IDirect3DSurface9* surface = nullptr;
        cube->GetCubeMapSurface(static_cast<D3DCUBEMAP_FACES>(face), 0, &surface);
        device->SetRenderTarget(0, surface);
        device->Clear(0, nullptr, D3DCLEAR_TARGET, faces[face], 1.0f, 0);
        surface->Release();
    }
    device->SetRenderTarget(0, backBuffer);
    backBuffer->Release();
    Solid(0, kWhite);
    device->SetTexture(1, cube);
    const float directions[6][4] = {{1, 0, 0, 0}, {-1, 0, 0, 0}, {0, 1, 0, 0}, {0, -1, 0, 0}, {0, 0, 1, 0}, {0, 0, -1, 0}};
    for (int face = 0; face < 6; ++face) {
        pixel.table->SetFloatArray(device, pixel["direction"], directions[face], 4);
        DrawQuad();
        EXPECT_EQ(Pixel(8, 8), faces[face]) << face;
    }
}
