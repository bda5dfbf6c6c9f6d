// Textures loaded from PNG files on the OpenGL device carry the box-filtered
// levels D3DX builds, read back level by level with tex2Dlod.
#include <gtest/gtest.h>

#include "backend/d3dx9_texture.h"
#include "hlsl_corpus_fixture.h"
#include "temp_dir.h"
#include "test_png.h"

namespace {

class FileTextureLevels : public HlslCorpus {
protected:
    void SetUp() override {
        HlslCorpus::SetUp();
        pixel = PixelShader(R"(
sampler2D picture;
float level;
float4 main(float2 uv : TEXCOORD0) : COLOR { return tex2Dlod(picture, float4(uv, 0, level)); }
)");
        ASSERT_NE(pixel.table, nullptr);
        device->SetSamplerState(0, D3DSAMP_MIPFILTER, D3DTEXF_POINT);
    }

    // Writes width x height texels of red 40 x, green 50 y, blue 128 and loads them.
    IDirect3DTexture9* Load(const char* name, UINT width, UINT height, bool ownSize) {
        std::vector<uint32_t> pixels;
        for (UINT y = 0; y < height; ++y)
            for (UINT x = 0; x < width; ++x) pixels.push_back(0xFF000080u | (40 * x) << 16 | (50 * y) << 8);
        const std::string path = (dir.path() / name).string();
        EXPECT_TRUE(WriteTestPng(path, width, height, pixels));
        IDirect3DTexture9* texture = nullptr;
        const HRESULT loaded =
            ownSize ? D3DXCreateTextureFromFileExA(device, path.c_str(), D3DX_DEFAULT_NONPOW2, D3DX_DEFAULT_NONPOW2,
                                                   D3DX_DEFAULT, 0, D3DFMT_FROM_FILE, D3DPOOL_DEFAULT, D3DX_DEFAULT,
                                                   D3DX_DEFAULT, 0xFF000000, nullptr, nullptr, &texture)
                    : D3DXCreateTextureFromFileA(device, path.c_str(), &texture);
        EXPECT_EQ(loaded, D3D_OK);
        if (texture) owned.push_back(texture);
        return texture;
    }

    void DrawLevel(IDirect3DTexture9* texture, float level) {
        device->SetTexture(0, texture);
        pixel.table->SetFloatArray(device, pixel["level"], &level, 1);
        DrawQuad();
    }

    ::testing::AssertionResult TexelIs(int x, int y, int red, int green) {
        return PixelIs(x, y, red / 255.0f, green / 255.0f, 128 / 255.0f);
    }

    Stage pixel;
    TempDir dir;
};

}  // namespace

TEST_F(FileTextureLevels, OddSizesKeepTheirOwnLevelsAndDropTheLastRowAndColumn) {
    // 6 x 5 -> 3 x 2 -> 1 x 1. Level 1 texel (i, j): red 80 i + 20, green 100 j + 25.
    IDirect3DTexture9* texture = Load("tex2dnpt_odd.png", 6, 5, true);
    ASSERT_NE(texture, nullptr);
    ASSERT_EQ(texture->GetLevelCount(), 3u);
    DrawLevel(texture, 1);
    EXPECT_TRUE(TexelIs(2, 3, 20, 25));
    EXPECT_TRUE(TexelIs(8, 3, 100, 25));
    EXPECT_TRUE(TexelIs(13, 3, 180, 25));
    EXPECT_TRUE(TexelIs(2, 12, 20, 125));
    EXPECT_TRUE(TexelIs(13, 12, 180, 125));
    // The 1 x 1 level averages level 1's first two columns only.
    DrawLevel(texture, 2);
    EXPECT_TRUE(TexelIs(8, 8, 60, 75));
}

TEST_F(FileTextureLevels, PowerOfTwoChainsEndInTheMeanOfThePicture) {
    // 4 x 4 -> 2 x 2 -> 1 x 1.
    IDirect3DTexture9* texture = Load("plain.png", 4, 4, false);
    ASSERT_NE(texture, nullptr);
    ASSERT_EQ(texture->GetLevelCount(), 3u);
    DrawLevel(texture, 1);
    EXPECT_TRUE(TexelIs(3, 3, 20, 25));
    EXPECT_TRUE(TexelIs(12, 12, 100, 125));
    DrawLevel(texture, 2);
    EXPECT_TRUE(TexelIs(8, 8, 60, 75));
}
