#include "hlsl_corpus_fixture.h"

#include <cmath>
#include <cstring>

#include "backend/box_mip_chain.h"

namespace {

// Positions already in clip space, with the texture coordinate of each corner.
constexpr const char* kPassThroughVertex = R"(
struct VS_OUTPUT { float4 position : POSITION; float2 uv : TEXCOORD0; };
VS_OUTPUT main(float3 p : POSITION, float2 uv : TEXCOORD0) {
    VS_OUTPUT o;
    o.position = float4(p, 1.0);
    o.uv = uv;
    return o;
}
)";

struct CornerVertex {
    float x, y, z, u, v;
};

}  // namespace

void HlslCorpus::SetUp() {
    Open(16, 16);
    const D3DVERTEXELEMENT9 elements[] = {
        {0, 0, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITION, 0},
        {0, 12, D3DDECLTYPE_FLOAT2, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TEXCOORD, 0},
        D3DDECL_END(),
    };
    ASSERT_EQ(device->CreateVertexDeclaration(elements, &declaration), D3D_OK);
    device->SetVertexDeclaration(declaration);
    device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    VertexShader(kPassThroughVertex);
}

void HlslCorpus::TearDown() {
    if (device) {
        device->SetVertexShader(nullptr);
        device->SetPixelShader(nullptr);
        device->SetVertexDeclaration(nullptr);
        for (DWORD stage = 0; stage < 8; ++stage) device->SetTexture(stage, nullptr);
    }
    for (IDirect3DResource9* resource : owned) resource->Release();
    for (ID3DXConstantTable* table : tables) table->Release();
    if (declaration) declaration->Release();
    GlShell::TearDown();
}

HlslCorpus::Stage HlslCorpus::MakeCurrent(const char* source, const char* profile, const char* entry,
                                          const D3DXMACRO* defines, DWORD flags) {
    Stage stage;
    ID3DXBuffer *code = nullptr, *errors = nullptr;
    const HRESULT result = D3DXCompileShader(source, static_cast<UINT>(std::strlen(source)), defines, nullptr, entry,
                                             profile, flags, &code, &errors, &stage.table);
    if (errors) stage.errors = static_cast<const char*>(errors->GetBufferPointer()), errors->Release();
    EXPECT_EQ(result, D3D_OK) << entry << " " << profile << ": " << stage.errors << "\n" << source;
    if (stage.table) tables.push_back(stage.table);
    if (!code) return stage;
    const bool vertex = profile[0] == 'v';
    const DWORD* function = static_cast<const DWORD*>(code->GetBufferPointer());
    if (vertex) {
        IDirect3DVertexShader9* shader = nullptr;
        EXPECT_EQ(device->CreateVertexShader(function, &shader), D3D_OK);
        if (shader) owned.push_back(shader), device->SetVertexShader(shader);
    } else {
        IDirect3DPixelShader9* shader = nullptr;
        EXPECT_EQ(device->CreatePixelShader(function, &shader), D3D_OK);
        if (shader) owned.push_back(shader), device->SetPixelShader(shader);
    }
    code->Release();
    return stage;
}

void HlslCorpus::DrawQuad(bool clockwise) {
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    // Strip order top left, top right, bottom left, bottom right is clockwise on screen.
    CornerVertex corners[4] = {{-1, 1, 0.5f, 0, 0}, {1, 1, 0.5f, 1, 0}, {-1, -1, 0.5f, 0, 1}, {1, -1, 0.5f, 1, 1}};
    if (!clockwise) std::swap(corners[1], corners[2]);
    EXPECT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, corners, sizeof(CornerVertex)), D3D_OK);
}

::testing::AssertionResult HlslCorpus::PixelIs(int x, int y, float r, float g, float b, float a, int tolerance) {
    auto byte = [](float value) { return static_cast<uint32_t>(std::lround(std::fmin(std::fmax(value, 0.0f), 1.0f) * 255)); };
    return ColourNear(Pixel(x, y), byte(a) << 24 | byte(r) << 16 | byte(g) << 8 | byte(b), tolerance);
}

IDirect3DTexture9* MakeTexture(IDirect3DDevice9* device, UINT width, UINT height, UINT levels,
                               const std::vector<uint32_t>& pixels) {
    IDirect3DTexture9* texture = nullptr;
    if (device->CreateTexture(width, height, levels, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr) != D3D_OK)
        return nullptr;
    std::vector<MipLevel> chain = BuildBoxMipChain(pixels, width, height, texture->GetLevelCount());
    chain.insert(chain.begin(), MipLevel{width, height, pixels});
    for (UINT level = 0; level < chain.size(); ++level) {
        const MipLevel& from = chain[level];
        D3DLOCKED_RECT locked;
        if (texture->LockRect(level, &locked, nullptr, 0) != D3D_OK) continue;
        for (UINT y = 0; y < from.height; ++y)
            std::memcpy(static_cast<uint8_t*>(locked.pBits) + y * locked.Pitch, &from.pixels[y * from.width],
                        from.width * 4);
        texture->UnlockRect(level);
    }
    return texture;
}
