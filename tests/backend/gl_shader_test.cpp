// Compiled HLSL stages on the OpenGL device: what the device refuses, and
// cube textures sampled by a pixel shader.
#include <gtest/gtest.h>

#include "compiled_shader_lookup.h"
#include "gfx2d/immediate_batch.h"
#include "gfx2d/matrix_helpers.h"
#include "gfx2d/screen_quad.h"
#include "gfx2d/texture_data.h"
#include "gl_fixture.h"

namespace {

constexpr const char* kPassThroughVertex = "float4 main(float4 p : POSITION) : POSITION { return p; }";

class GlShader : public GlShell {
protected:
    void SetUp() override { OpenIn2D(32, 32); }
    void TearDown() override {
        device->SetVertexShader(nullptr);
        device->SetPixelShader(nullptr);
        for (IDirect3DResource9* shader : shaders) shader->Release();
        GlShell::TearDown();
    }

    std::vector<IDirect3DResource9*> shaders;
};

}  // namespace

TEST_F(GlShader, RefusesCodeOfTheWrongStageAndRegistersOutOfRange) {
    CompiledShader vertex;
    std::string errors;
    ASSERT_TRUE(CompileText(kPassThroughVertex, "vs_3_0", &vertex, &errors));
    IDirect3DPixelShader9* wrong = nullptr;
    EXPECT_EQ(device->CreatePixelShader(reinterpret_cast<const DWORD*>(&vertex), &wrong), D3DERR_INVALIDCALL);
    EXPECT_EQ(wrong, nullptr);
    const DWORD garbage[4] = {1, 2, 3, 4};
    IDirect3DVertexShader9* none = nullptr;
    EXPECT_EQ(device->CreateVertexShader(garbage, &none), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->CreateVertexShader(nullptr, &none), D3DERR_INVALIDCALL);

    const float values[8] = {};
    EXPECT_EQ(device->SetVertexShaderConstantF(255, values, 2), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->SetVertexShaderConstantF(255, values, 1), D3D_OK);
    EXPECT_EQ(device->SetPixelShaderConstantF(224, values, 1), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->SetPixelShaderConstantF(0xFFFFFFFFu, values, 2), D3DERR_INVALIDCALL);
}

TEST_F(GlShader, CubeTargetFacesEachHoldTheirOwnPictureUpright) {
    constexpr const char* kCubeLookup = R"(
samplerCUBE environment;
float4 direction;
float4 main(float4 c : COLOR0) : COLOR { return texCUBE(environment, direction.xyz); }
)";
    CompiledShader compiled;
    std::string errors;
    ASSERT_TRUE(CompileText(kCubeLookup, "ps_3_0", &compiled, &errors)) << errors;
    const ShaderConstant* direction = FindConstant(compiled, "direction");
    ASSERT_NE(direction, nullptr);
    IDirect3DPixelShader9* shader = nullptr;
    ASSERT_EQ(device->CreatePixelShader(reinterpret_cast<const DWORD*>(&compiled), &shader), D3D_OK);
    shaders.push_back(shader);

    TextureData* cube = zkCreateTexture(kTextureRenderTarget | kTextureCube | kTextureA8R8G8B8, 16, 16);
    ASSERT_NE(cube, nullptr);
    const D3DCOLOR faceColours[6] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFF00, 0xFF00FFFF, 0xFFFF00FF};
    for (int face = 0; face < 6; ++face) {
        zkBeginRenderTarget(cube, face);
        device->Clear(0, nullptr, D3DCLEAR_TARGET, faceColours[face], 1.0f, 0);
        if (face == 0) {  // the top half of +X white
            zkSet2D(16, 16);
            device->SetTexture(0, nullptr);
            zkColor4f(1, 1, 1, 1);
            zkBegin(BATCH_QUADS);
            zkVertex3f(0, 0, 0), zkVertex3f(16, 0, 0), zkVertex3f(16, 8, 0), zkVertex3f(0, 8, 0);
        }
        cube->renderToSurface->EndScene(0);
    }

    device->SetPixelShader(shader);
    zkSet2D(32, 32);
    zkBindTexture(cube, 0);
    auto Look = [&](float x, float y, float z) {
        const float vector[4] = {x, y, z, 0};
        device->SetPixelShaderConstantF(direction->firstRegister, vector, 1);
        zkDrawQuad(0, 0, 32, 32, 0xFFFFFFFF);
        return Pixel(16, 16);
    };
    EXPECT_EQ(Look(1, 0.5f, 0), 0xFFFFFFFFu);  // +X above the horizon: the top half
    EXPECT_EQ(Look(1, -0.5f, 0), faceColours[0]);
    EXPECT_EQ(Look(-1, 0, 0), faceColours[1]);
    EXPECT_EQ(Look(0, 1, 0), faceColours[2]);
    EXPECT_EQ(Look(0, -1, 0), faceColours[3]);
    EXPECT_EQ(Look(0, 0, 1), faceColours[4]);
    EXPECT_EQ(Look(0, 0, -1), faceColours[5]);
    device->SetTexture(0, nullptr);
    zkReleaseTexture(cube);
    delete cube;
}
