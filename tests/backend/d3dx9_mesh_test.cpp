// D3DX meshes on the recording device: the buffers they make, the calls
// DrawSubset makes per attribute run, and what they refuse.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "backend/d3dx9_mesh.h"
#include "backend/recording_device.h"

namespace {

// Position, then a colour: 16 bytes a vertex.
const D3DVERTEXELEMENT9 kDeclaration[] = {
    {0, 0, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITION, 0},
    {0, 12, D3DDECLTYPE_D3DCOLOR, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_COLOR, 0},
    D3DDECL_END(),
};

class MeshOnRecordingDevice : public ::testing::Test {
protected:
    void TearDown() override { device.Release(); }

    // Three faces on four vertices.
    ID3DXMesh* Make() {
        ID3DXMesh* mesh = nullptr;
        EXPECT_EQ(D3DXCreateMesh(3, 4, D3DXMESH_32BIT | D3DXMESH_MANAGED, kDeclaration, &device, &mesh), D3D_OK);
        return mesh;
    }
    static void Fill(ID3DXMesh* mesh, const std::vector<DWORD>& indices, const std::vector<DWORD>& attributes) {
        void* indexData = nullptr;
        ASSERT_EQ(mesh->LockIndexBuffer(0, &indexData), D3D_OK);
        std::copy(indices.begin(), indices.end(), static_cast<DWORD*>(indexData));
        ASSERT_EQ(mesh->UnlockIndexBuffer(), D3D_OK);
        DWORD* attributeData = nullptr;
        ASSERT_EQ(mesh->LockAttributeBuffer(0, &attributeData), D3D_OK);
        std::copy(attributes.begin(), attributes.end(), attributeData);
        ASSERT_EQ(mesh->UnlockAttributeBuffer(), D3D_OK);
    }
    std::vector<std::string> DrawsOf(ID3DXMesh* mesh, DWORD attribute) {
        log.clear();
        EXPECT_EQ(mesh->DrawSubset(attribute), D3D_OK);
        std::vector<std::string> draws;
        for (const std::string& call : log.calls)
            if (call.rfind("DrawIndexedPrimitive(", 0) == 0) draws.push_back(call);
        return draws;
    }

    RecordedCalls log;
    RecordingDevice& device = *new RecordingDevice(&log);  // Release deletes it
};

}  // namespace

TEST_F(MeshOnRecordingDevice, DrawSubsetBindsTheMeshAndDrawsEachRunOfItsAttribute) {
    const int aliveBefore = log.resourcesAlive;
    log.clear();
    ID3DXMesh* mesh = Make();
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(log.calls, (std::vector<std::string>{
                             "CreateVertexBuffer(64, 8, 0x00000000, 1) = vertexbuffer#3",
                             "CreateIndexBuffer(36, 8, 102, 1) = indexbuffer#4",
                             "CreateVertexDeclaration([0 2 0 0 | 12 4 10 0]) = declaration#5",
                         }));
    EXPECT_EQ(log.resourcesAlive, aliveBefore + 3);
    EXPECT_EQ(mesh->GetNumBytesPerVertex(), 16u);
    D3DVERTEXELEMENT9 elements[MAX_FVF_DECL_SIZE] = {};
    ASSERT_EQ(mesh->GetDeclaration(elements), D3D_OK);
    EXPECT_EQ(elements[1].Offset, 12);
    EXPECT_EQ(elements[2].Stream, 0xFF);

    Fill(mesh, {0, 1, 2, 0, 2, 3, 1, 2, 3}, {0, 0, 1});
    log.clear();
    EXPECT_EQ(mesh->DrawSubset(1), D3D_OK);
    EXPECT_EQ(log.calls, (std::vector<std::string>{
                             "SetVertexDeclaration(declaration#5)",
                             "SetStreamSource(0, vertexbuffer#3, 0, 16)",
                             "SetIndices(indexbuffer#4)",
                             "DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 1, 3, 6, 1)",
                         }));
    EXPECT_EQ(DrawsOf(mesh, 0), std::vector<std::string>{"DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4, 0, 2)"});
    EXPECT_EQ(DrawsOf(mesh, 2), std::vector<std::string>{});
    EXPECT_TRUE(log.calls.empty());  // an unknown attribute sets nothing either

    // Runs apart are drawn apart.
    Fill(mesh, {0, 1, 2, 0, 2, 3, 1, 2, 3}, {1, 0, 1});
    EXPECT_EQ(DrawsOf(mesh, 1), (std::vector<std::string>{
                                    "DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 3, 0, 1)",
                                    "DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 1, 3, 6, 1)",
                                }));

    EXPECT_EQ(mesh->AddRef(), 2u);
    EXPECT_EQ(mesh->Release(), 1u);
    EXPECT_EQ(log.resourcesAlive, aliveBefore + 3);
    EXPECT_EQ(mesh->Release(), 0u);
    EXPECT_EQ(log.resourcesAlive, aliveBefore);
}

TEST_F(MeshOnRecordingDevice, AnIndexPastTheVerticesSilencesOnlyItsRun) {
    ID3DXMesh* mesh = Make();
    ASSERT_NE(mesh, nullptr);
    Fill(mesh, {0, 1, 4, 0, 2, 3, 1, 2, 3}, {0, 1, 0});
    EXPECT_EQ(DrawsOf(mesh, 0), std::vector<std::string>{"DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 1, 3, 6, 1)"});
    EXPECT_EQ(DrawsOf(mesh, 1), std::vector<std::string>{"DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4, 3, 1)"});

    Fill(mesh, {0, 1, 2, 0, 2, 3, 1, 2, 0xFFFFFFFFu}, {0, 0, 0});
    EXPECT_EQ(DrawsOf(mesh, 0), std::vector<std::string>{});
    EXPECT_TRUE(log.calls.empty());

    // Repaired indices draw again.
    Fill(mesh, {0, 1, 2, 0, 2, 3, 1, 2, 3}, {0, 0, 0});
    EXPECT_EQ(DrawsOf(mesh, 0), std::vector<std::string>{"DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4, 0, 3)"});
    mesh->Release();
}

TEST_F(MeshOnRecordingDevice, RefusedCreationsLeaveNoMeshAndNoResources) {
    const int aliveBefore = log.resourcesAlive;
    D3DVERTEXELEMENT9 endless[MAX_FVF_DECL_SIZE];
    std::fill(std::begin(endless), std::end(endless), kDeclaration[0]);
    const D3DVERTEXELEMENT9 empty[] = {D3DDECL_END()};
    const D3DVERTEXELEMENT9 unsized[] = {{0, 0, D3DDECLTYPE_UNUSED, 0, D3DDECLUSAGE_POSITION, 0}, D3DDECL_END()};
    auto Refused = [&](DWORD faces, DWORD vertices, DWORD options, const D3DVERTEXELEMENT9* declaration,
                       IDirect3DDevice9* on) {
        ID3DXMesh* mesh = reinterpret_cast<ID3DXMesh*>(uintptr_t{1});  // must be cleared
        const HRESULT result = D3DXCreateMesh(faces, vertices, options, declaration, on, &mesh);
        return result == D3DERR_INVALIDCALL && mesh == nullptr;
    };
    log.clear();
    EXPECT_TRUE(Refused(3, 4, D3DXMESH_MANAGED, kDeclaration, &device));  // 16-bit indices
    EXPECT_TRUE(Refused(3, 4, D3DXMESH_32BIT, nullptr, &device));
    EXPECT_TRUE(Refused(3, 4, D3DXMESH_32BIT, kDeclaration, nullptr));
    EXPECT_TRUE(Refused(0, 4, D3DXMESH_32BIT, kDeclaration, &device));
    EXPECT_TRUE(Refused(3, 0, D3DXMESH_32BIT, kDeclaration, &device));
    EXPECT_TRUE(Refused(3, 0x10000000u, D3DXMESH_32BIT, kDeclaration, &device));  // 2^32 vertex bytes
    EXPECT_TRUE(Refused(0x15555556u, 4, D3DXMESH_32BIT, kDeclaration, &device));  // over 2^32 index bytes
    EXPECT_TRUE(Refused(3, 4, D3DXMESH_32BIT, endless, &device));
    EXPECT_TRUE(Refused(3, 4, D3DXMESH_32BIT, empty, &device));
    EXPECT_TRUE(Refused(3, 4, D3DXMESH_32BIT, unsized, &device));
    EXPECT_EQ(D3DXCreateMesh(3, 4, D3DXMESH_32BIT, kDeclaration, &device, nullptr), D3DERR_INVALIDCALL);
    EXPECT_TRUE(log.calls.empty());

    log.refuseBuffers = true;
    EXPECT_TRUE(Refused(3, 4, D3DXMESH_32BIT, kDeclaration, &device));
    EXPECT_EQ(log.calls, std::vector<std::string>{"CreateVertexBuffer(64, 8, 0x00000000, 0) = refused"});
    EXPECT_EQ(log.resourcesAlive, aliveBefore);
}
