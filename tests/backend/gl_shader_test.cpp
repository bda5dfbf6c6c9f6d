// Compiled HLSL stages on the OpenGL device: what the device refuses, and
// cube textures sampled by a pixel shader.
#include <gtest/gtest.h>

#include <cstring>

#include "backend/d3dx9_math.h"
#include "backend/hlsl_compiler.h"
#include "gfx2d/immediate_batch.h"
#include "gfx2d/matrix_helpers.h"
#include "gfx2d/screen_quad.h"
#include "gfx2d/texture_data.h"
#include "gl_fixture.h"

namespace {

constexpr const char* kPassThroughVertex = "float4 main(float4 p : POSITION) : POSITION { return p; }";

class GlShader : public GlShell {
protected:
    void SetUp() override {
        OpenIn2D(32, 32);
    }
    void TearDown() override {
        device->SetVertexShader(nullptr);
        device->SetPixelShader(nullptr);
        for (IDirect3DResource9* shader : shaders) shader->Release();
        GlShell::TearDown();
    }

    const ShaderConstant& Constant(const CompiledShader& compiled, const std::string& name) {
        for (const ShaderConstant& constant : compiled.constants)
            if (constant.name == name) return constant;
        ADD_FAILURE() << name << " is not a constant";
        static const ShaderConstant none;
        return none;
    }
    IDirect3DPixelShader9* PixelShader(const char* source, CompiledShader* compiled) {
        std::string errors;
        EXPECT_TRUE(CompileHlsl(source, std::strlen(source), "ps_3_0", compiled, &errors)) << errors;
        IDirect3DPixelShader9* shader = nullptr;
        EXPECT_EQ(device->CreatePixelShader(reinterpret_cast<const DWORD*>(compiled), &shader), D3D_OK);
        if (shader) shaders.push_back(shader);
        return shader;
    }
    std::vector<IDirect3DResource9*> shaders;
};

}  // namespace

TEST_F(GlShader, RefusesCodeOfTheWrongStageAndRegistersOutOfRange) {
    CompiledShader vertex;
    std::string errors;
    ASSERT_TRUE(CompileHlsl(kPassThroughVertex, std::strlen(kPassThroughVertex), "vs_3_0", &vertex, &errors));
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

    CompiledShader compiled;
    device->SetPixelShader(PixelShader(kCubeLookup, &compiled));
    zkSet2D(32, 32);
    zkBindTexture(cube, 0);
    const UINT directionRegister = Constant(compiled, "direction").firstRegister;
    auto Look = [&](float x, float y, float z) {
        const float direction[4] = {x, y, z, 0};
        device->SetPixelShaderConstantF(directionRegister, direction, 1);
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
