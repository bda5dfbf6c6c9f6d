// ID3DXMesh over the device's buffer calls. The mesh keeps its own copy of
// the indices, so the attribute table is built from what was written even
// though the device buffers are write-only.
#include "backend/d3dx9_mesh.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <utility>
#include <vector>

namespace {

constexpr DWORD kVertexBufferManaged = 0x020;  // D3DXMESH_VB_MANAGED
constexpr DWORD kIndexBufferManaged = 0x200;   // D3DXMESH_IB_MANAGED

// Bytes of an element of this type; 0 for types the devices cannot feed.
UINT TypeSize(uint8_t type) {
    switch (type) {
        case D3DDECLTYPE_FLOAT1: return 4;
        case D3DDECLTYPE_FLOAT2: return 8;
        case D3DDECLTYPE_FLOAT3: return 12;
        case D3DDECLTYPE_FLOAT4: return 16;
        case D3DDECLTYPE_D3DCOLOR: return 4;
    }
    return 0;
}

// The elements up to and including the end marker, and the vertex size they
// span; false when there is no end marker within MAX_FVF_DECL_SIZE elements
// or an element cannot be sized.
bool ReadDeclaration(const D3DVERTEXELEMENT9* declaration, std::vector<D3DVERTEXELEMENT9>* elements,
                     UINT* stride) {
    *stride = 0;
    for (UINT i = 0; i < MAX_FVF_DECL_SIZE; ++i) {
        elements->push_back(declaration[i]);
        if (declaration[i].Stream == 0xFF) return *stride != 0;
        const UINT size = TypeSize(declaration[i].Type);
        if (!size || declaration[i].Stream != 0) return false;
        *stride = std::max(*stride, declaration[i].Offset + size);
    }
    return false;
}

// Consecutive faces of one attribute id, and the vertices they index.
struct AttributeRun {
    DWORD attribute, firstFace, faceCount;
    DWORD minVertex, maxVertex;
    bool drawable;  // every index names a vertex of the mesh
};

class Mesh : public ID3DXMesh {
public:
    // The device must outlive the mesh; the mesh owns the other resources.
    Mesh(IDirect3DDevice9* device, DWORD faces, DWORD vertices, UINT stride,
         std::vector<D3DVERTEXELEMENT9> elements, IDirect3DVertexDeclaration9* declaration,
         IDirect3DVertexBuffer9* vertexBuffer, IDirect3DIndexBuffer9* indexBuffer)
        : device_(device),
          faces_(faces),
          vertices_(vertices),
          stride_(stride),
          elements_(std::move(elements)),
          declaration_(declaration),
          vertexBuffer_(vertexBuffer),
          indexBuffer_(indexBuffer),
          indices_(static_cast<size_t>(faces) * 3),
          attributes_(faces) {
        RebuildAttributeTable();
    }

    ULONG AddRef() override { return ++references_; }

    ULONG Release() override {
        if (--references_) return references_;
        declaration_->Release();
        vertexBuffer_->Release();
        indexBuffer_->Release();
        delete this;
        return 0;
    }

    DWORD GetNumFaces() override { return faces_; }
    DWORD GetNumVertices() override { return vertices_; }
    DWORD GetNumBytesPerVertex() override { return stride_; }

    HRESULT GetDeclaration(D3DVERTEXELEMENT9* elements) override {
        if (!elements) return D3DERR_INVALIDCALL;
        std::copy(elements_.begin(), elements_.end(), elements);
        return D3D_OK;
    }

    HRESULT LockVertexBuffer(DWORD flags, void** data) override { return vertexBuffer_->Lock(0, 0, data, flags); }
    HRESULT UnlockVertexBuffer() override { return vertexBuffer_->Unlock(); }

    HRESULT LockIndexBuffer(DWORD, void** data) override {
        if (!data || indicesLocked_) return D3DERR_INVALIDCALL;
        indicesLocked_ = true;
        *data = indices_.data();
        return D3D_OK;
    }

    HRESULT UnlockIndexBuffer() override {
        if (!indicesLocked_) return D3DERR_INVALIDCALL;
        indicesLocked_ = false;
        void* device = nullptr;
        const HRESULT locked = indexBuffer_->Lock(0, 0, &device, 0);
        if (locked != D3D_OK) return locked;
        std::memcpy(device, indices_.data(), indices_.size() * sizeof(DWORD));
        RebuildAttributeTable();
        return indexBuffer_->Unlock();
    }

    HRESULT LockAttributeBuffer(DWORD, DWORD** data) override {
        if (!data || attributesLocked_) return D3DERR_INVALIDCALL;
        attributesLocked_ = true;
        *data = attributes_.data();
        return D3D_OK;
    }

    HRESULT UnlockAttributeBuffer() override {
        if (!attributesLocked_) return D3DERR_INVALIDCALL;
        attributesLocked_ = false;
        RebuildAttributeTable();
        return D3D_OK;
    }

    HRESULT DrawSubset(DWORD attribute) override {
        bool bound = false;
        for (const AttributeRun& run : table_) {
            if (run.attribute != attribute || !run.drawable) continue;
            if (!bound) {
                device_->SetVertexDeclaration(declaration_);
                device_->SetStreamSource(0, vertexBuffer_, 0, stride_);
                device_->SetIndices(indexBuffer_);
                bound = true;
            }
            const HRESULT drawn = device_->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, run.minVertex,
                                                                run.maxVertex - run.minVertex + 1,
                                                                run.firstFace * 3, run.faceCount);
            if (drawn != D3D_OK) return drawn;
        }
        return D3D_OK;
    }

private:
    void RebuildAttributeTable() {
        table_.clear();
        for (DWORD face = 0; face < faces_; ++face) {
            const DWORD* corners = &indices_[static_cast<size_t>(face) * 3];
            const DWORD low = std::min({corners[0], corners[1], corners[2]});
            const DWORD high = std::max({corners[0], corners[1], corners[2]});
            if (table_.empty() || table_.back().attribute != attributes_[face]) {
                table_.push_back({attributes_[face], face, 1, low, high, true});
            } else {
                AttributeRun& run = table_.back();
                ++run.faceCount;
                run.minVertex = std::min(run.minVertex, low);
                run.maxVertex = std::max(run.maxVertex, high);
            }
            if (high >= vertices_) table_.back().drawable = false;
        }
    }

    IDirect3DDevice9* device_;
    DWORD faces_, vertices_;
    UINT stride_;
    std::vector<D3DVERTEXELEMENT9> elements_;  // end marker included
    IDirect3DVertexDeclaration9* declaration_;
    IDirect3DVertexBuffer9* vertexBuffer_;
    IDirect3DIndexBuffer9* indexBuffer_;
    std::vector<DWORD> indices_;  // what the index buffer holds
    std::vector<DWORD> attributes_;
    std::vector<AttributeRun> table_;
    bool indicesLocked_ = false, attributesLocked_ = false;
    ULONG references_ = 1;
};

}  // namespace

HRESULT D3DXCreateMesh(DWORD faceCount, DWORD vertexCount, DWORD options, const D3DVERTEXELEMENT9* declaration,
                       IDirect3DDevice9* device, ID3DXMesh** mesh) {
    if (!mesh) return D3DERR_INVALIDCALL;
    *mesh = nullptr;
    std::vector<D3DVERTEXELEMENT9> elements;
    UINT stride = 0;
    constexpr uint64_t kMaxBytes = std::numeric_limits<UINT>::max();
    if (!(options & D3DXMESH_32BIT) || !declaration || !device || !faceCount || !vertexCount ||
        !ReadDeclaration(declaration, &elements, &stride) || uint64_t{vertexCount} * stride > kMaxBytes ||
        uint64_t{faceCount} * 3 * sizeof(DWORD) > kMaxBytes)
        return D3DERR_INVALIDCALL;

    IDirect3DVertexBuffer9* vertexBuffer = nullptr;
    IDirect3DIndexBuffer9* indexBuffer = nullptr;
    IDirect3DVertexDeclaration9* vertexDeclaration = nullptr;
    const D3DPOOL vertexPool = options & kVertexBufferManaged ? D3DPOOL_MANAGED : D3DPOOL_DEFAULT;
    const D3DPOOL indexPool = options & kIndexBufferManaged ? D3DPOOL_MANAGED : D3DPOOL_DEFAULT;
    const UINT indexBytes = static_cast<UINT>(faceCount * 3 * sizeof(DWORD));
    if (device->CreateVertexBuffer(vertexCount * stride, D3DUSAGE_WRITEONLY, 0, vertexPool, &vertexBuffer,
                                   nullptr) != D3D_OK ||
        device->CreateIndexBuffer(indexBytes, D3DUSAGE_WRITEONLY, D3DFMT_INDEX32, indexPool, &indexBuffer,
                                  nullptr) != D3D_OK ||
        device->CreateVertexDeclaration(elements.data(), &vertexDeclaration) != D3D_OK) {
        auto release = [](IDirect3DResource9* made) {
            if (made) made->Release();
        };
        release(vertexBuffer);
        release(indexBuffer);
        release(vertexDeclaration);
        return D3DERR_INVALIDCALL;
    }
    *mesh = new Mesh(device, faceCount, vertexCount, stride, std::move(elements), vertexDeclaration, vertexBuffer,
                     indexBuffer);
    return D3D_OK;
}
