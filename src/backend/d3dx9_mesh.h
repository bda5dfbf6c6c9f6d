// D3DX meshes: vertices, 32-bit triangle indices and one attribute id per
// face in device buffers; DrawSubset(i) draws the faces whose attribute is i.
#pragma once

#include "backend/d3d9.h"

constexpr DWORD D3DXMESH_32BIT = 0x001;
constexpr DWORD D3DXMESH_MANAGED = 0x220;  // vertex and index buffers managed

class ID3DXMesh {
public:
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;
    virtual DWORD GetNumFaces() = 0;
    virtual DWORD GetNumVertices() = 0;
    virtual DWORD GetNumBytesPerVertex() = 0;
    // Copies the declaration, end marker included (at most MAX_FVF_DECL_SIZE elements).
    virtual HRESULT GetDeclaration(D3DVERTEXELEMENT9* elements) = 0;
    // Vertex count x stride bytes; indices are three DWORDs per face; one DWORD per face.
    virtual HRESULT LockVertexBuffer(DWORD flags, void** data) = 0;
    virtual HRESULT UnlockVertexBuffer() = 0;
    virtual HRESULT LockIndexBuffer(DWORD flags, void** data) = 0;
    virtual HRESULT UnlockIndexBuffer() = 0;
    virtual HRESULT LockAttributeBuffer(DWORD flags, DWORD** data) = 0;
    virtual HRESULT UnlockAttributeBuffer() = 0;
    // Sets the mesh's declaration, stream and indices, then draws every run
    // of faces with attribute id attribute. Indices past the vertex count draw nothing.
    virtual HRESULT DrawSubset(DWORD attribute) = 0;

protected:
    virtual ~ID3DXMesh() = default;
};

constexpr UINT MAX_FVF_DECL_SIZE = 65;

// Only 32-bit indices are supported (options must hold D3DXMESH_32BIT).
HRESULT D3DXCreateMesh(DWORD faceCount, DWORD vertexCount, DWORD options, const D3DVERTEXELEMENT9* declaration,
                       IDirect3DDevice9* device, ID3DXMesh** mesh);
