#include "compound_reading.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "backend/recording_device.h"
#include "backend/win32.h"
#include "compound/compound.h"
#include "platform/graphics_context.h"

namespace cf = compound_file;

namespace {

// Meshes are built on a device; nothing is drawn, so the recording device does.
class RecordingContext {
public:
    RecordingContext() {
        SetDirect3DFactory([this] { return new RecordingDirect3D(&log_); });
        g_graphics = zkCreateDevice(nullptr, 64, 64, 0);
    }
    ~RecordingContext() {
        zkDestroyDevice(g_graphics);
        g_graphics = nullptr;
        SetDirect3DFactory(nullptr);
    }

private:
    RecordedCalls log_;
};

// The engine echoes every message box on stderr; a tool reports the
// loader's own message itself, and a texture that does not load is no fault
// of the compound, so the echo is held back while the file loads.
class QuietStderr {
public:
    QuietStderr() : saved_(dup(STDERR_FILENO)) {
        std::fflush(stderr);
        const int null = open("/dev/null", O_WRONLY);
        if (null >= 0) dup2(null, STDERR_FILENO), close(null);
    }
    ~QuietStderr() {
        std::fflush(stderr);
        if (saved_ >= 0) dup2(saved_, STDERR_FILENO), close(saved_);
    }
    QuietStderr(const QuietStderr&) = delete;
    QuietStderr& operator=(const QuietStderr&) = delete;

private:
    int saved_;
};

template <typename T>
uint32_t IndexOf(const std::vector<std::unique_ptr<T>>& list, const T* item) {
    const auto at = std::find_if(list.begin(), list.end(), [item](const auto& p) { return p.get() == item; });
    return static_cast<uint32_t>(at - list.begin());
}

cf::VertexElement ElementOf(const D3DVERTEXELEMENT9& d) {
    cf::VertexElement e;
    e.kind = d.Usage == D3DDECLUSAGE_POSITION ? cf::kPosition
             : d.Usage == D3DDECLUSAGE_NORMAL ? cf::kNormal
             : d.Usage == D3DDECLUSAGE_TEXCOORD ? cf::kTexcoord
                                                : cf::kColour;
    e.components = d.Type == D3DDECLTYPE_D3DCOLOR ? 4 : d.Type - D3DDECLTYPE_FLOAT1 + 1;
    e.offset = d.Offset;
    e.usageIndex = d.UsageIndex;
    return e;
}

uint32_t FileStride(const std::vector<cf::VertexElement>& elements) {
    uint32_t stride = 0;
    for (const cf::VertexElement& e : elements)
        stride += e.kind == cf::kPosition || e.kind == cf::kNormal ? 12
                  : e.kind == cf::kTexcoord                        ? 4 * e.components
                                                                   : e.components;
    return stride;
}

cf::Model ModelOf(const Model& model, const DatablockLists& lists) {
    cf::Model out;
    out.name = model.name;
    out.firstExtent = model.firstExtent;
    out.secondExtent = model.secondExtent;
    if (!model.mesh) return out;  // a model without faces keeps nothing else
    ID3DXMesh* mesh = model.mesh;
    D3DVERTEXELEMENT9 declaration[MAX_FVF_DECL_SIZE];
    mesh->GetDeclaration(declaration);
    for (const D3DVERTEXELEMENT9* d = declaration; d->Stream != 0xFF; ++d) out.elements.push_back(ElementOf(*d));
    // The mesh drops the padding a file may keep after the last element.
    const uint32_t meshStride = mesh->GetNumBytesPerVertex(), fileStride = FileStride(out.elements);
    out.vertexCount = model.vertexCount;
    out.vertices.assign(size_t{fileStride} * model.vertexCount, 0);
    void* data = nullptr;
    if (mesh->LockVertexBuffer(0, &data) == D3D_OK) {
        for (size_t v = 0; v < model.vertexCount; ++v)
            std::copy_n(static_cast<const uint8_t*>(data) + v * meshStride, std::min(meshStride, fileStride),
                        out.vertices.data() + v * fileStride);
        mesh->UnlockVertexBuffer();
    }
    if (mesh->LockIndexBuffer(0, &data) != D3D_OK) return out;
    const uint32_t* index = static_cast<const uint32_t*>(data);
    for (const MeshSubset& subset : model.subsets) {
        cf::Subset s;
        s.material = IndexOf(lists.materials, subset.material);
        s.indices.assign(index, index + size_t{subset.faceCount} * 3);
        index += size_t{subset.faceCount} * 3;
        out.subsets.push_back(std::move(s));
    }
    mesh->UnlockIndexBuffer();
    return out;
}

cf::Armature ArmatureOf(const Armature& armature) {
    cf::Armature out;
    out.name = armature.name;
    for (const Bone& bone : armature.bones)
        out.bones.push_back({bone.name, bone.offset, bone.tail, bone.restHead,
                             bone.parent ? static_cast<int32_t>(bone.parent - armature.bones.data()) : -1});
    for (const ArmatureKey& key : armature.keys) out.keys.push_back({key.time, key.rotations});
    return out;
}

// The datablock a node places, from the instance list of its kind.
uint32_t DatablockOf(const Compound& compound, const Node* node) {
    const DatablockLists& lists = *compound.datablocks;
    for (const ModelInstance& i : compound.modelInstances)
        if (i.node == node) return IndexOf(lists.models, i.model);
    for (const CameraInstance& i : compound.cameraInstances)
        if (i.node == node) return IndexOf(lists.cameras, i.camera);
    for (const LightInstance& i : compound.lightInstances)
        if (i.node == node) return IndexOf(lists.lights, i.light);
    for (const ArmatureInstance& i : compound.armatureInstances)
        if (i.node == node) return IndexOf(lists.armatures, i.armature);
    return 0;
}

cf::File Describe(const Compound& compound) {
    const DatablockLists& lists = *compound.datablocks;
    cf::File file;
    for (const auto& texture : lists.textures) file.textures.push_back(texture->name);
    for (const auto& material : lists.materials) {
        cf::Material m;
        m.name = material->name;
        std::copy_n(material->diffuse, 4, m.diffuse.begin());
        m.flags = material->flags;
        m.blendMode = material->blendMode;
        m.cullMode = material->cullMode;
        for (const NamedTexture* texture : material->textures) {
            if (!texture) break;  // a file fills the slots from the first on
            m.textures.push_back(IndexOf(lists.textures, texture));
        }
        file.materials.push_back(m);
    }
    for (const auto& model : lists.models) file.models.push_back(ModelOf(*model, lists));
    for (const auto& camera : lists.cameras) file.cameras.push_back({camera->name, camera->value});
    for (const auto& light : lists.lights) {
        cf::Light l;
        l.name = light->name;
        l.kind = light->kind;
        l.colourW = light->colourW;
        std::copy_n(light->colour, 4, l.colour.begin());
        l.positionW = light->positionW;
        file.lights.push_back(l);
    }
    for (const auto& armature : lists.armatures) file.armatures.push_back(ArmatureOf(*armature));
    for (const auto& node : lists.nodes) {
        cf::Node n;
        n.name = node->name;
        n.position = node->position;
        n.rotation = node->rotation;
        n.scale = node->scale;
        n.flags = node->flags;
        if (node->parent) n.parent = IndexOf(lists.nodes, node->parent);
        if (node->track) n.track = node->track->keys;
        n.datablock = DatablockOf(compound, node.get());
        file.nodes.push_back(std::move(n));
    }
    return file;
}

}  // namespace

bool ReadCompound(const std::string& path, cf::File* file, std::string* error) {
    RecordingContext context;
    std::string loaderMessage;
    SetMessageBoxObserver([&loaderMessage](const std::string& text, const std::string& caption, UINT) {
        if (caption == "Compound::Load(...)") loaderMessage = text;
    });
    Compound compound;
    bool loaded;
    {
        QuietStderr quiet;
        // Absolute, so that the loader's "models\" attempt cannot find another file.
        loaded = compound.Load(std::filesystem::absolute(path).string());
    }
    SetMessageBoxObserver(nullptr);
    if (!loaded) {
        *error = loaderMessage;
        return false;
    }
    *file = Describe(compound);
    return true;  // the compound and its meshes go before the device
}
