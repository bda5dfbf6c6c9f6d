#include <algorithm>
#include <cstring>
#include <map>

#include "gltf_accessors.h"
#include "gltf_export_parts.h"
#include "gltf_extras.h"

namespace cf = compound_file;

namespace {

// Where the skinning shader reads bone numbers and weights.
constexpr uint32_t kBoneSet = 1, kWeightSet = 2;

const cf::VertexElement* FindElement(const cf::Model& model, uint32_t kind, uint32_t usageIndex, uint32_t components) {
    for (const cf::VertexElement& e : model.elements)
        if (e.kind == kind && e.usageIndex == usageIndex && e.components == components) return &e;
    return nullptr;
}

uint32_t Stride(const cf::Model& model) {
    return model.vertexCount ? static_cast<uint32_t>(model.vertices.size() / model.vertexCount) : 0;
}

std::vector<float> Floats(const cf::Model& model, const cf::VertexElement& e, int components) {
    std::vector<float> values(size_t{model.vertexCount} * components, 0.0f);
    const uint32_t stride = Stride(model), stored = std::min<uint32_t>(e.components, components);
    for (size_t v = 0; v < model.vertexCount; ++v)
        std::memcpy(&values[v * components], model.vertices.data() + v * stride + e.offset, stored * sizeof(float));
    return values;
}

int FloatType(uint32_t components) {
    static const int kTypes[] = {TINYGLTF_TYPE_SCALAR, TINYGLTF_TYPE_VEC2, TINYGLTF_TYPE_VEC3, TINYGLTF_TYPE_VEC4};
    return kTypes[components - 1];
}

// glTF's name for a texture coordinate set: skinned meshes give sets 1 and 2
// to the bones, so their later sets move down two.
std::string TexcoordName(uint32_t usageIndex, bool skinned) {
    return "TEXCOORD_" + std::to_string(skinned && usageIndex > kWeightSet ? usageIndex - 2 : usageIndex);
}

// skinned: bones and weights go to JOINTS_0 and WEIGHTS_0 for a skin to use.
std::map<std::string, int> ExportAttributes(const cf::Model& model, bool skinned, tinygltf::Model& out) {
    std::map<std::string, int> attributes;
    for (const cf::VertexElement& e : model.elements) {
        if (e.kind == cf::kPosition || e.kind == cf::kNormal) {
            const bool position = e.kind == cf::kPosition;
            attributes[position ? "POSITION" : "NORMAL"] =
                AddFloatAccessor(out, Floats(model, e, 3), TINYGLTF_TYPE_VEC3, position, TINYGLTF_TARGET_ARRAY_BUFFER);
        } else if (e.kind == cf::kTexcoord && skinned && e.usageIndex == kBoneSet) {
            std::vector<uint16_t> joints;
            for (float f : Floats(model, e, 4)) joints.push_back(static_cast<uint16_t>(f + 0.5f));
            attributes["JOINTS_0"] = AddAccessor(out, joints.data(), model.vertexCount,
                                                 TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT, TINYGLTF_TYPE_VEC4,
                                                 TINYGLTF_TARGET_ARRAY_BUFFER);
        } else if (e.kind == cf::kTexcoord && skinned && e.usageIndex == kWeightSet) {
            attributes["WEIGHTS_0"] =
                AddFloatAccessor(out, Floats(model, e, 4), TINYGLTF_TYPE_VEC4, false, TINYGLTF_TARGET_ARRAY_BUFFER);
        } else if (e.kind == cf::kTexcoord) {
            // glTF texture coordinates are pairs; other sizes keep their set under an application name.
            const std::string name =
                e.components == 2 ? TexcoordName(e.usageIndex, skinned) : "_TEXCOORD" + std::to_string(e.usageIndex);
            attributes[name] = AddFloatAccessor(out, Floats(model, e, e.components), FloatType(e.components), false,
                                                TINYGLTF_TARGET_ARRAY_BUFFER);
        } else if (e.kind == cf::kColour) {
            // The engine's colours are bytes B, G, R, A.
            std::vector<uint8_t> rgba;
            const uint32_t stride = Stride(model);
            for (size_t v = 0; v < model.vertexCount; ++v) {
                const uint8_t* c = model.vertices.data() + v * stride + e.offset;
                rgba.insert(rgba.end(), {c[2], c[1], c[0], c[3]});
            }
            const int accessor = AddAccessor(out, rgba.data(), model.vertexCount, TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE,
                                             TINYGLTF_TYPE_VEC4, TINYGLTF_TARGET_ARRAY_BUFFER);
            out.accessors[accessor].normalized = true;
            attributes["COLOR_" + std::to_string(e.usageIndex)] = accessor;
        }
    }
    return attributes;
}

}  // namespace

bool IsSkinned(const cf::Model& model) {
    return FindElement(model, cf::kTexcoord, kBoneSet, 4) && FindElement(model, cf::kTexcoord, kWeightSet, 4);
}

void ExportMeshes(const cf::File& file, tinygltf::Model& out, std::vector<std::string>* warnings) {
    for (const cf::Model& model : file.models) {
        tinygltf::Mesh mesh;
        mesh.name = model.name;
        // Import keeps the layout as it is: no normals are made for a model that has none.
        mesh.extras = tinygltf::Value(Extras{{"keepLayout", Number(1)}});
        // Without an armature there is no skin: the sets stay texture coordinates.
        const std::map<std::string, int> attributes =
            ExportAttributes(model, IsSkinned(model) && !file.armatures.empty(), out);
        for (const cf::Subset& subset : model.subsets) {
            tinygltf::Primitive primitive;
            primitive.attributes = attributes;
            primitive.material = static_cast<int>(subset.material);
            primitive.mode = TINYGLTF_MODE_TRIANGLES;
            primitive.indices = AddAccessor(out, subset.indices.data(), subset.indices.size(),
                                            TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT, TINYGLTF_TYPE_SCALAR,
                                            TINYGLTF_TARGET_ELEMENT_ARRAY_BUFFER);
            mesh.primitives.push_back(primitive);
        }
        if (mesh.primitives.empty()) warnings->push_back("model \"" + model.name + "\" has no faces: its mesh is empty");
        out.meshes.push_back(mesh);
    }
}
