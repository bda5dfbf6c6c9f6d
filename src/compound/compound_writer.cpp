#include "compound/compound_writer.h"

#include <cstring>

namespace compound_file {

namespace {

class Bytes {
public:
    void U32(uint32_t value) {
        for (int shift = 0; shift < 32; shift += 8) out_.push_back(static_cast<char>(value >> shift & 0xFF));
    }
    void I32(int32_t value) { U32(static_cast<uint32_t>(value)); }
    void F32(float value) {
        uint32_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        U32(bits);
    }
    void Floats(const float* values, size_t count) {
        for (size_t i = 0; i < count; ++i) F32(values[i]);
    }
    void Put(const Vec3& v) {
        F32(v.x);
        F32(v.y);
        F32(v.z);
    }
    void Put(const Quaternion& q) {
        F32(q.x);
        F32(q.y);
        F32(q.z);
        F32(q.w);
    }
    void Raw(const void* data, size_t size) { out_.append(static_cast<const char*>(data), size); }
    void String(const std::string& text) {
        Count(text.size());
        Raw(text.data(), text.size());
    }
    void Count(size_t count) { U32(static_cast<uint32_t>(count)); }

    std::string Take() { return std::move(out_); }

private:
    std::string out_;
};

void Put(Bytes& out, const Material& material) {
    out.String(material.name);
    out.Floats(material.diffuse.data(), 4);
    out.U32(material.flags);
    out.U32(material.blendMode);
    out.U32(material.cullMode);
    out.Count(material.textures.size());
    for (uint32_t index : material.textures) out.U32(index);
}

void Put(Bytes& out, const Model& model) {
    out.String(model.name);
    out.U32(model.vertexCount);
    out.Count(model.subsets.size());
    out.Put(model.firstExtent);
    out.Put(model.secondExtent);
    out.Count(model.elements.size());
    for (const VertexElement& element : model.elements) {
        out.U32(element.components);
        out.U32(element.kind);
        out.U32(element.offset);
        out.U32(element.usageIndex);
    }
    out.Raw(model.vertices.data(), model.vertices.size());
    for (const Subset& subset : model.subsets) {
        const size_t faces = subset.indices.size() / 3;
        out.Count(faces);
        out.U32(subset.material);
        for (size_t i = 0; i < faces * 3; ++i) out.U32(subset.indices[i]);
    }
}

void Put(Bytes& out, const Camera& camera) {
    out.String(camera.name);
    out.F32(camera.value);
}

void Put(Bytes& out, const Light& light) {
    out.String(light.name);
    out.U32(light.kind);
    out.F32(light.colourW);
    out.Floats(light.colour.data(), 4);
    out.F32(light.positionW);
}

void Put(Bytes& out, const Armature& armature) {
    out.String(armature.name);
    out.Count(armature.bones.size());
    out.Count(armature.keys.size());
    for (const Bone& bone : armature.bones) {
        out.String(bone.name);
        out.Put(bone.offset);
        out.Put(bone.tail);
        out.Put(bone.restHead);
        out.I32(bone.parent);
    }
    for (const ArmatureKey& key : armature.keys) {
        out.F32(key.time);
        for (size_t b = 0; b < armature.bones.size(); ++b)
            out.Put(b < key.rotations.size() ? key.rotations[b] : Quaternion());
    }
}

void Put(Bytes& out, const Node& node) {
    out.String(node.name);
    out.Put(node.position);
    out.Put(node.rotation);
    out.Put(node.scale);
    uint32_t flags = node.flags & ~(NODE_HAS_PARENT | NODE_ANIMATED);
    if (node.parent) flags |= NODE_HAS_PARENT;
    if (node.track) flags |= NODE_ANIMATED;
    out.U32(flags);
    if (node.parent) out.U32(*node.parent);
    if (node.track) {
        out.Count(node.track->size());
        for (const NodeKey& key : *node.track) {
            out.F32(key.time);
            out.Put(key.positionIn);
            out.Put(key.position);
            out.Put(key.positionOut);
            out.Put(key.rotationIn);
            out.Put(key.rotation);
            out.Put(key.rotationOut);
        }
    }
    out.U32(node.datablock);
    out.U32(node.spare);
}

template <typename Record>
void PutAll(Bytes& out, const std::vector<Record>& records) {
    for (const Record& record : records) Put(out, record);
}

}  // namespace

void Model::AddFloats(std::initializer_list<float> values) {
    for (float value : values) {
        uint8_t bytes[4];
        std::memcpy(bytes, &value, sizeof bytes);
        vertices.insert(vertices.end(), bytes, bytes + 4);
    }
}

void Model::AddBytes(std::initializer_list<uint8_t> values) { vertices.insert(vertices.end(), values); }

std::string Write(const File& file) {
    Bytes out;
    out.Raw(file.tag, sizeof file.tag);
    for (size_t count : {file.textures.size(), file.materials.size(), file.models.size(), file.cameras.size(),
                         file.lights.size(), file.armatures.size(), file.nodes.size()})
        out.Count(count);
    for (const std::string& texture : file.textures) out.String(texture);
    PutAll(out, file.materials);
    PutAll(out, file.models);
    PutAll(out, file.cameras);
    PutAll(out, file.lights);
    PutAll(out, file.armatures);
    PutAll(out, file.nodes);
    return out.Take();
}

}  // namespace compound_file
