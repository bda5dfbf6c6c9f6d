#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "compound/compound_load_records.h"
#include "platform/graphics_context.h"
#include "shader/shader.h"
#include "shader/shader_reader.h"

namespace {

constexpr uint32_t kKindPosition = 1, kKindNormal = 2, kKindTexcoord = 4, kKindColour = 8;
constexpr uint32_t kMaxElements = MAX_FVF_DECL_SIZE - 1;  // the end marker takes the last place
constexpr uint32_t kMaxUsageIndex = 255;

struct VertexLayout {
    std::vector<D3DVERTEXELEMENT9> declaration;  // end marker included
    uint32_t stride = 0;
};

// What one element adds to the stride: positions and normals always take
// three floats, colours one byte per component.
uint32_t StrideShare(uint32_t kind, uint32_t components) {
    if (kind == kKindPosition || kind == kKindNormal) return 12;
    if (kind == kKindTexcoord) return 4 * components;
    return components;
}

// What the device reads for one declared element.
uint32_t DeclaredSize(const D3DVERTEXELEMENT9& element) {
    return element.Type == D3DDECLTYPE_D3DCOLOR ? 4 : 4 * (element.Type - D3DDECLTYPE_FLOAT1 + 1);
}

VertexLayout ReadLayout(LoadCursor& in) {
    const uint32_t count = in.U32();
    if (count > kMaxElements)
        in.Fail("has " + std::to_string(count) + " vertex elements, more than " + std::to_string(kMaxElements));
    VertexLayout layout;
    std::vector<uint32_t> offsets;
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t components = in.U32(), kind = in.U32(), offset = in.U32(), usageIndex = in.U32();
        const std::string element = "vertex element " + std::to_string(i);
        const VertexProfileElement asProfile{static_cast<int32_t>(offset), static_cast<int32_t>(components),
                                             static_cast<int32_t>(kind), static_cast<int32_t>(usageIndex)};
        D3DVERTEXELEMENT9 out;
        std::string problem;
        if (!zkVertexElementOf(asProfile, &out, &problem)) in.Fail(element + " has " + problem);
        if (kind == kKindColour && components != 4)
            in.Fail(element + " is a colour of " + std::to_string(components) + " components, not 4");
        if (usageIndex > kMaxUsageIndex)
            in.Fail(element + " has usage index " + std::to_string(usageIndex) + ", more than " +
                    std::to_string(kMaxUsageIndex));
        layout.declaration.push_back(out);
        offsets.push_back(offset);
        layout.stride += StrideShare(kind, components);
    }
    // The stride is known only once every element is read.
    for (uint32_t i = 0; i < count; ++i) {
        const uint64_t end = uint64_t{offsets[i]} + DeclaredSize(layout.declaration[i]);
        if (end > layout.stride)
            in.Fail("vertex element " + std::to_string(i) + " ends at byte " + std::to_string(end) +
                    ", past the stride of " + std::to_string(layout.stride));
    }
    layout.declaration.push_back(D3DDECL_END());
    return layout;
}

// Vertices as read, indices subset after subset, each face's attribute its subset's ordinal.
void FillMesh(LoadCursor& in, Model& model, const VertexLayout& layout, const uint8_t* vertices,
              const std::vector<uint32_t>& indices) {
    ID3DXMesh* mesh = nullptr;
    if (D3DXCreateMesh(model.totalFaces, model.vertexCount, D3DXMESH_32BIT | D3DXMESH_MANAGED,
                       layout.declaration.data(), g_graphics->device, &mesh) != D3D_OK ||
        !mesh)
        in.Fail("mesh of " + std::to_string(model.totalFaces) + " faces and " + std::to_string(model.vertexCount) +
                " vertices could not be created");
    model.mesh = mesh;  // from here the model releases it, whatever fails next
    const auto expectLocked = [&in](HRESULT result) {
        if (result != D3D_OK) in.Fail("mesh buffers could not be locked");
    };
    void* data = nullptr;
    expectLocked(mesh->LockVertexBuffer(0, &data));
    // The mesh's vertices end with the last element's bytes; any padding the file keeps after it stays behind.
    const size_t meshStride = std::min<size_t>(mesh->GetNumBytesPerVertex(), layout.stride);
    for (size_t v = 0; v < model.vertexCount; ++v)
        std::memcpy(static_cast<uint8_t*>(data) + v * meshStride, vertices + v * layout.stride, meshStride);
    mesh->UnlockVertexBuffer();
    expectLocked(mesh->LockIndexBuffer(0, &data));
    std::memcpy(data, indices.data(), indices.size() * sizeof indices[0]);
    mesh->UnlockIndexBuffer();
    DWORD* attributes = nullptr;
    expectLocked(mesh->LockAttributeBuffer(0, &attributes));
    for (size_t s = 0; s < model.subsets.size(); ++s)
        attributes = std::fill_n(attributes, model.subsets[s].faceCount, static_cast<DWORD>(s));
    mesh->UnlockAttributeBuffer();
}

}  // namespace

void ReadModel(LoadCursor& in, DatablockLists& lists) {
    // Listed first, so that whatever fails later frees it with the lists.
    lists.models.push_back(std::make_unique<Model>());
    Model& model = *lists.models.back();
    model.name = in.String();
    model.vertexCount = in.U32();
    const uint32_t subsetCount = in.U32();
    in.ExpectRecords(subsetCount, 8, "subsets");
    model.firstExtent = in.ReadVec3();
    model.secondExtent = in.ReadVec3();
    const VertexLayout layout = ReadLayout(in);
    in.ExpectRecords(model.vertexCount, layout.stride, "vertices of " + std::to_string(layout.stride) + " bytes");
    const uint8_t* vertices = in.Bytes(uint64_t{model.vertexCount} * layout.stride);

    std::vector<uint32_t> indices;
    uint64_t totalFaces = 0;
    for (uint32_t s = 0; s < subsetCount; ++s) {
        const std::string subset = "subset " + std::to_string(s);
        const uint32_t faces = in.U32(), material = in.U32();
        in.ExpectIndex(material, lists.materials.size(), "material", subset);
        in.ExpectRecords(faces, 12, "faces in " + subset);
        for (uint64_t i = 0; i < uint64_t{faces} * 3; ++i) {
            const uint32_t index = in.U32();
            in.ExpectIndex(index, model.vertexCount, "vertex", subset);
            indices.push_back(index);
        }
        model.subsets.push_back({lists.materials[material].get(), faces});
        totalFaces += faces;
    }
    if (totalFaces > UINT32_MAX) in.Fail("has " + std::to_string(totalFaces) + " faces, more than a mesh holds");
    model.totalFaces = static_cast<uint32_t>(totalFaces);
    // Without vertices no face can pass the index check, so no faces covers both.
    if (model.totalFaces != 0) FillMesh(in, model, layout, vertices, indices);
}
