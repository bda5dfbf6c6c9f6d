// Vertex and index buffers on the OpenGL device, read back as pixels: D3DX
// meshes drawn by subset, through the fixed-function stage and a compiled
// vertex shader, and the indexed draws the device refuses.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "backend/d3dx9_math.h"
#include "backend/d3dx9_mesh.h"
#include "backend/d3dx9_shader.h"
#include "gfx2d/matrix_helpers.h"
#include "gl_fixture.h"

namespace {

// The colour first and the position after it, so neither sits where its
// input would be if inputs were bound by order.
struct Vertex {
    D3DCOLOR colour;
    float x, y, z;
};
const D3DVERTEXELEMENT9 kDeclaration[] = {
    {0, 0, D3DDECLTYPE_D3DCOLOR, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_COLOR, 0},
    {0, 4, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITION, 0},
    D3DDECL_END(),
};

constexpr D3DCOLOR kUpperLeft = 0xFFC04020, kLowerRight = 0xFF20C040;
constexpr uint32_t kBlack = 0xFF000000;

class GlMesh : public GlShell {
protected:
    void SetUp() override {
        OpenIn2D(32, 32);
        device->Clear(0, nullptr, D3DCLEAR_TARGET, kBlack, 1.0f, 0);
    }
    void TearDown() override {
        device->SetVertexShader(nullptr);
        device->SetStreamSource(0, nullptr, 0, 0);
        device->SetIndices(nullptr);
        for (IDirect3DResource9* resource : resources) resource->Release();
        if (mesh) mesh->Release();
        GlShell::TearDown();
    }

    // Face 0, attribute 0, in the upper left; face 1, attribute 1, in the lower right.
    void MakeTwoSubsetMesh() {
        ASSERT_EQ(D3DXCreateMesh(2, 6, D3DXMESH_32BIT | D3DXMESH_MANAGED, kDeclaration, device, &mesh), D3D_OK);
        ASSERT_EQ(mesh->GetNumBytesPerVertex(), sizeof(Vertex));
        const Vertex vertices[6] = {
            {kUpperLeft, 2, 2, 0},    {kUpperLeft, 14, 2, 0},   {kUpperLeft, 2, 14, 0},
            {kLowerRight, 30, 18, 0}, {kLowerRight, 30, 30, 0}, {kLowerRight, 18, 30, 0},
        };
        const DWORD indices[6] = {0, 1, 2, 3, 4, 5};
        const DWORD attributes[2] = {0, 1};
        void* data = nullptr;
        ASSERT_EQ(mesh->LockVertexBuffer(0, &data), D3D_OK);
        std::memcpy(data, vertices, sizeof vertices);
        ASSERT_EQ(mesh->UnlockVertexBuffer(), D3D_OK);
        ASSERT_EQ(mesh->LockIndexBuffer(0, &data), D3D_OK);
        std::memcpy(data, indices, sizeof indices);
        ASSERT_EQ(mesh->UnlockIndexBuffer(), D3D_OK);
        DWORD* attributeData = nullptr;
        ASSERT_EQ(mesh->LockAttributeBuffer(0, &attributeData), D3D_OK);
        std::memcpy(attributeData, attributes, sizeof attributes);
        ASSERT_EQ(mesh->UnlockAttributeBuffer(), D3D_OK);
    }

    // Pixels that are not black, all of which must have this colour.
    int LitPixels(uint32_t colour) {
        int lit = 0;
        for (uint32_t pixel : Pixels()) {
            if (pixel == kBlack) continue;
            EXPECT_EQ(pixel, colour);
            ++lit;
        }
        return lit;
    }

    template <typename Buffer>
    Buffer* Keep(Buffer* buffer) {
        if (buffer) resources.push_back(buffer);
        return buffer;
    }

    ID3DXMesh* mesh = nullptr;
    std::vector<IDirect3DResource9*> resources;
};

}  // namespace

TEST_F(GlMesh, DrawSubsetDrawsOnlyTheFacesOfItsAttribute) {
    MakeTwoSubsetMesh();
    ASSERT_EQ(mesh->DrawSubset(1), D3D_OK);
    EXPECT_EQ(Pixel(26, 26), kLowerRight);
    EXPECT_EQ(Pixel(19, 19), kBlack);  // the other side of the diagonal
    const std::vector<uint32_t> pixels = Pixels();
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            EXPECT_TRUE(pixels[y * 32 + x] == kBlack || (x >= 18 && y >= 18)) << x << ", " << y;
    EXPECT_GT(LitPixels(kLowerRight), 50);

    ASSERT_EQ(mesh->DrawSubset(0), D3D_OK);
    EXPECT_EQ(Pixel(4, 4), kUpperLeft);
}

TEST_F(GlMesh, ShaderInputsAreFedByTheirSemanticFromTheDeclaration) {
    constexpr const char* kSwizzling = R"(
float4x4 transform;
struct VS_OUTPUT { float4 position : POSITION; float4 colour : COLOR0; };
VS_OUTPUT main(float3 p : POSITION, float4 c : COLOR0) {
    VS_OUTPUT o;
    o.position = mul(float4(p, 1.0), transform);
    o.colour = c.bgra;
    return o;
}
)";
    MakeTwoSubsetMesh();
    ASSERT_EQ(mesh->DrawSubset(1), D3D_OK);
    const int fixedFunctionPixels = LitPixels(kLowerRight);

    ID3DXBuffer* code = nullptr;
    ID3DXBuffer* errors = nullptr;
    ID3DXConstantTable* table = nullptr;
    ASSERT_EQ(D3DXCompileShader(kSwizzling, static_cast<UINT>(std::strlen(kSwizzling)), nullptr, nullptr, "main",
                                "vs_3_0", 0, &code, &errors, &table),
              D3D_OK);
    IDirect3DVertexShader9* shader = nullptr;
    EXPECT_EQ(device->CreateVertexShader(static_cast<const DWORD*>(code->GetBufferPointer()), &shader), D3D_OK);
    code->Release();
    Keep(shader);
    D3DMATRIX world, view, projection, worldView, all;
    device->GetTransform(D3DTS_WORLD, &world);
    device->GetTransform(D3DTS_VIEW, &view);
    device->GetTransform(D3DTS_PROJECTION, &projection);
    D3DXMatrixMultiply(&worldView, &world, &view);
    D3DXMatrixMultiply(&all, &worldView, &projection);
    EXPECT_EQ(table->SetMatrix(device, table->GetConstantByName(nullptr, "transform"), &all), D3D_OK);
    table->Release();

    device->Clear(0, nullptr, D3DCLEAR_TARGET, kBlack, 1.0f, 0);
    device->SetVertexShader(shader);
    ASSERT_EQ(mesh->DrawSubset(1), D3D_OK);
    EXPECT_EQ(Pixel(26, 26), 0xFF40C020u);  // red and blue swapped by the shader
    EXPECT_EQ(LitPixels(0xFF40C020u), fixedFunctionPixels);
}

TEST_F(GlMesh, IndexedDrawsRefuseRangesPastTheirBuffers) {
    // Vertex 0 is never meant to be drawn; base vertex 1 makes indices 0..3 the quad.
    const Vertex vertices[5] = {
        {0xFFFF0000, 0, 0, 0}, {kLowerRight, 0, 0, 0}, {kLowerRight, 32, 0, 0},
        {kLowerRight, 32, 32, 0}, {kLowerRight, 0, 32, 0},
    };
    const uint16_t indices[6] = {0, 1, 2, 0, 2, 3};
    IDirect3DVertexBuffer9* vertexBuffer = nullptr;
    IDirect3DIndexBuffer9* indexBuffer = nullptr;
    IDirect3DVertexDeclaration9* declaration = nullptr;
    ASSERT_EQ(device->CreateVertexBuffer(sizeof vertices, D3DUSAGE_WRITEONLY, 0, D3DPOOL_MANAGED, &vertexBuffer,
                                         nullptr),
              D3D_OK);
    Keep(vertexBuffer);
    ASSERT_EQ(device->CreateIndexBuffer(sizeof indices, D3DUSAGE_WRITEONLY, D3DFMT_INDEX16, D3DPOOL_MANAGED,
                                        &indexBuffer, nullptr),
              D3D_OK);
    Keep(indexBuffer);
    ASSERT_EQ(device->CreateVertexDeclaration(kDeclaration, &declaration), D3D_OK);
    Keep(declaration);
    void* data = nullptr;
    ASSERT_EQ(vertexBuffer->Lock(0, 0, &data, 0), D3D_OK);
    std::memcpy(data, vertices, sizeof vertices);
    ASSERT_EQ(vertexBuffer->Unlock(), D3D_OK);
    ASSERT_EQ(indexBuffer->Lock(0, 0, &data, 0), D3D_OK);
    std::memcpy(data, indices, sizeof indices);
    ASSERT_EQ(indexBuffer->Unlock(), D3D_OK);
    device->SetVertexDeclaration(declaration);

    EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 1, 0, 4, 0, 2), D3DERR_INVALIDCALL);  // no stream
    ASSERT_EQ(device->SetStreamSource(0, vertexBuffer, 0, sizeof(Vertex)), D3D_OK);
    EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 1, 0, 4, 0, 2), D3DERR_INVALIDCALL);  // no indices
    ASSERT_EQ(device->SetIndices(indexBuffer), D3D_OK);

    EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 1, 0, 4, 1, 2), D3DERR_INVALIDCALL);  // 7 indices
    EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 1, 0, 4, 0, 3), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 2, 0, 4, 0, 2), D3DERR_INVALIDCALL);  // vertex 5
    EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 1, 0, 5, 0, 2), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, -1, 0, 4, 0, 2), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 1, 0, 3, 0, 2), D3DERR_INVALIDCALL);  // index 3
    EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 1, 4, 0, 2), D3DERR_INVALIDCALL);  // index 0
    EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLESTRIP, 1, 0, 4, 0, 2), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 1, 0, 4, 0, 0), D3DERR_INVALIDCALL);
    // The last vertex's position would end 4 bytes past the buffer.
    ASSERT_EQ(device->SetStreamSource(0, vertexBuffer, 4, sizeof(Vertex)), D3D_OK);
    EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 1, 0, 4, 0, 2), D3DERR_INVALIDCALL);
    ASSERT_EQ(device->SetStreamSource(0, vertexBuffer, 0, 12), D3D_OK);  // narrower than the declaration
    EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 1, 0, 4, 0, 2), D3DERR_INVALIDCALL);
    ASSERT_EQ(device->SetStreamSource(0, vertexBuffer, 0, sizeof(Vertex)), D3D_OK);
    ASSERT_EQ(indexBuffer->Lock(0, 0, &data, 0), D3D_OK);
    EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 1, 0, 4, 0, 2), D3DERR_INVALIDCALL);  // locked
    ASSERT_EQ(indexBuffer->Unlock(), D3D_OK);
    EXPECT_EQ(LitPixels(kLowerRight), 0);  // nothing was drawn

    ASSERT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 1, 0, 4, 0, 2), D3D_OK);
    EXPECT_EQ(LitPixels(kLowerRight), 32 * 32);
}

TEST_F(GlMesh, BuffersRefuseEmptySizesOtherFormatsAndLocksOutside) {
    IDirect3DVertexBuffer9* vertexBuffer = nullptr;
    IDirect3DIndexBuffer9* indexBuffer = nullptr;
    EXPECT_EQ(device->CreateVertexBuffer(0, 0, 0, D3DPOOL_MANAGED, &vertexBuffer, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(vertexBuffer, nullptr);
    EXPECT_EQ(device->CreateIndexBuffer(12, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &indexBuffer, nullptr),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(indexBuffer, nullptr);

    ASSERT_EQ(device->CreateVertexBuffer(64, 0, 0, D3DPOOL_MANAGED, &vertexBuffer, nullptr), D3D_OK);
    Keep(vertexBuffer);
    void* data = nullptr;
    EXPECT_EQ(vertexBuffer->Lock(60, 8, &data, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(vertexBuffer->Lock(64, 0, &data, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(vertexBuffer->Unlock(), D3DERR_INVALIDCALL);
    ASSERT_EQ(vertexBuffer->Lock(60, 0, &data, 0), D3D_OK);  // to the end
    EXPECT_EQ(vertexBuffer->Lock(0, 0, &data, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(vertexBuffer->Unlock(), D3D_OK);
    EXPECT_EQ(device->SetStreamSource(1, vertexBuffer, 0, 16), D3DERR_INVALIDCALL);
}
