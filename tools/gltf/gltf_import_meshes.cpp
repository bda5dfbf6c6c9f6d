#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <map>

#include "gltf_extras.h"
#include "gltf_import_parts.h"
#include "mesh_builder.h"

namespace cf = compound_file;

namespace {

constexpr uint32_t kBoneSet = 1, kWeightSet = 2;  // where the skinning shader reads them
constexpr size_t kWeightsPerVertex = 4;
// Exporters round weights to bytes or shorts: only a sum further from 1 is worth a word.
constexpr float kWeightSumTolerance = 0.01f;

// One vertex element and the glTF attribute that fills it.
struct Source {
    std::string attribute;
    cf::VertexElement element;
};

std::string Quoted(const std::string& name) { return "\"" + name + "\""; }

bool HasAttribute(const tinygltf::Primitive& p, const std::string& name) { return p.attributes.count(name) > 0; }

// The set number of an attribute named prefix + digits, or -1.
int SetNumber(const std::string& name, const std::string& prefix) {
    constexpr size_t kMostDigits = 3;  // the engine's sets go to 255
    if (name.rfind(prefix, 0) != 0 || name.size() == prefix.size() || name.size() > prefix.size() + kMostDigits)
        return -1;
    int set = 0;
    for (size_t i = prefix.size(); i < name.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(name[i]))) return -1;
        set = set * 10 + (name[i] - '0');
    }
    return set <= 255 - 2 ? set : -1;
}

int AccessorComponents(const tinygltf::Model& in, int accessor) {
    if (accessor < 0 || static_cast<size_t>(accessor) >= in.accessors.size()) return 0;
    switch (in.accessors[accessor].type) {
        case TINYGLTF_TYPE_SCALAR: return 1;
        case TINYGLTF_TYPE_VEC2: return 2;
        case TINYGLTF_TYPE_VEC3: return 3;
        case TINYGLTF_TYPE_VEC4: return 4;
    }
    return 0;
}

// Position, normal, then the sets in glTF's order; a skinned mesh takes
// texture set 0, bones and weights where the skinning shader reads them.
std::vector<Source> Layout(const tinygltf::Model& in, const std::vector<const tinygltf::Primitive*>& primitives,
                           bool skinned, bool keepLayout) {
    std::map<std::string, int> named;  // attribute -> accessor of its first primitive
    for (const tinygltf::Primitive* p : primitives)
        for (const auto& [name, accessor] : p->attributes) named.emplace(name, accessor);
    std::vector<Source> layout;
    uint32_t offset = 0;
    const auto add = [&](const std::string& attribute, uint32_t kind, uint32_t components, uint32_t usage) {
        layout.push_back({attribute, {components, kind, offset, usage}});
        offset += kind == cf::kTexcoord ? 4 * components : kind == cf::kColour ? components : 12;
    };
    add("POSITION", cf::kPosition, 3, 0);
    // The engine's lit shaders need normals: missing ones are made from the faces.
    if (named.count("NORMAL") || skinned || !keepLayout) add("NORMAL", cf::kNormal, 3, 0);
    if (skinned) {
        add("TEXCOORD_0", cf::kTexcoord, 2, 0);
        add("JOINTS_0", cf::kTexcoord, 4, kBoneSet);
        add("WEIGHTS_0", cf::kTexcoord, 4, kWeightSet);
    }
    for (const auto& [name, accessor] : named) {
        if (const int set = SetNumber(name, "TEXCOORD_"); set >= 0) {
            if (skinned && set == 0) continue;
            add(name, cf::kTexcoord, 2, skinned ? set + 2 : set);
        } else if (const int kept = SetNumber(name, "_TEXCOORD"); kept >= 0) {
            const int components = AccessorComponents(in, accessor);
            if (components >= 1 && components <= 4) add(name, cf::kTexcoord, static_cast<uint32_t>(components), kept);
        } else if (const int colour = SetNumber(name, "COLOR_"); colour >= 0) {
            add(name, cf::kColour, 4, colour);
        }
    }
    return layout;
}

// Keeps the largest four of a vertex's weights, summing to one.
void KeepFourWeights(std::vector<std::pair<float, float>>& weights) {  // (weight, bone)
    std::stable_sort(weights.begin(), weights.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    weights.resize(kWeightsPerVertex, {0.0f, 0.0f});
    float sum = 0;
    for (const auto& w : weights) sum += w.first;
    if (sum > 0)
        for (auto& w : weights) w.first /= sum;
    else
        weights[0].first = 1;
}

class ModelMaker {
public:
    ModelMaker(ImportContext& c, int meshIndex) : c_(c), mesh_(c.in.meshes[meshIndex]) {
        what_ = "mesh " + Quoted(mesh_.name);
        const int skin = c.skinOfMesh[meshIndex];
        if (skin >= 0) {
            boneOfJoint_ = BoneOfJoint(c, skin);
            jointCount_ = c.in.skins[skin].joints.size();
            prefix_ = BindPrefix(c, skin);
        }
    }

    cf::Model Make() {
        model_.name = mesh_.name;
        std::vector<const tinygltf::Primitive*> triangles;
        for (size_t i = 0; i < mesh_.primitives.size(); ++i) {
            const tinygltf::Primitive& p = mesh_.primitives[i];
            if (!p.targets.empty()) morphs_ = true;
            if (p.mode != TINYGLTF_MODE_TRIANGLES && p.mode != -1)
                c_.Warn(what_ + " primitive " + std::to_string(i) + " is not made of triangles: it is left out");
            else if (!HasAttribute(p, "POSITION"))
                c_.Warn(what_ + " primitive " + std::to_string(i) + " has no positions: it is left out");
            else
                triangles.push_back(&p);
        }
        if (morphs_) c_.Warn(what_ + " has morph targets, which a compound cannot hold: it keeps its base shape");
        const bool skinned = !boneOfJoint_.empty() && std::any_of(triangles.begin(), triangles.end(), [](auto* p) {
            return HasAttribute(*p, "JOINTS_0") && HasAttribute(*p, "WEIGHTS_0");
        });
        if (!boneOfJoint_.empty() && !skinned) boneOfJoint_.clear(), prefix_.reset();
        layout_ = Layout(c_.in, triangles, skinned, ExtraNumber(mesh_.extras, "keepLayout", 0) != 0);
        for (const tinygltf::Primitive* p : triangles) AddPrimitive(*p);
        for (Source& s : layout_) model_.elements.push_back(s.element);
        if (manyWeights_)
            c_.Warn(what_ + " gives vertices more than 4 weights: the 4 largest are kept");
        if (unevenWeights_ > 0)
            c_.Warn(what_ + " has " + std::to_string(unevenWeights_) +
                    " vertices whose weights do not sum to 1: they are scaled to sum to 1");
        return std::move(model_);
    }

private:
    uint32_t Stride() const {
        const cf::VertexElement& last = layout_.back().element;
        return last.offset + (last.kind == cf::kTexcoord ? 4 * last.components : last.kind == cf::kColour ? 4 : 12);
    }

    // Primitives that share their attributes share their vertices.
    uint32_t VerticesOf(const tinygltf::Primitive& p) {
        const std::optional<std::array<float, 6>> transform = BaseColourTransform(c_, p.material);
        const auto shared = std::make_pair(p.attributes, transform ? p.material : -1);
        const auto known = firstVertex_.find(shared);
        if (known != firstVertex_.end()) return known->second;
        const uint32_t first = model_.vertexCount;
        const size_t count = PositionCount(p);
        const uint32_t stride = Stride();
        model_.vertices.resize(model_.vertices.size() + count * stride, 0);
        uint8_t* base = model_.vertices.data() + size_t{first} * stride;
        for (Source& s : layout_) {
            const auto found = p.attributes.find(s.attribute);
            // Bones and weights are written together, from every set the primitive has.
            if (found == p.attributes.end() || s.attribute == "JOINTS_0" || s.attribute == "WEIGHTS_0") continue;
            const int components = s.element.kind == cf::kColour ? AccessorComponents(c_.in, found->second)
                                                                 : static_cast<int>(s.element.components);
            if (s.element.kind == cf::kColour && components != 3 && components != 4)
                throw ImportError{what_ + " " + s.attribute + " has " + std::to_string(components) +
                                  " components: colours have 3 or 4"};
            std::vector<float> values = Read(found->second, components, s.attribute, count);
            if (prefix_ && (s.attribute == "POSITION" || s.attribute == "NORMAL"))
                for (size_t v = 0; v < count; ++v) {
                    Vec3 p{values[3 * v], values[3 * v + 1], values[3 * v + 2]};
                    p = s.attribute == "POSITION" ? mesh::TransformPoint(p, *prefix_) : mesh::TransformNormal(p, *prefix_);
                    values[3 * v] = p.x, values[3 * v + 1] = p.y, values[3 * v + 2] = p.z;
                }
            if (transform && s.attribute == "TEXCOORD_0")
                for (size_t v = 0; v < count; ++v) {
                    const float u = values[2 * v], w = values[2 * v + 1];
                    const std::array<float, 6>& t = *transform;
                    values[2 * v] = t[0] * u + t[1] * w + t[2];
                    values[2 * v + 1] = t[3] * u + t[4] * w + t[5];
                }
            for (size_t v = 0; v < count; ++v) {
                uint8_t* at = base + v * stride + s.element.offset;
                if (s.element.kind == cf::kColour) {
                    // Bytes B, G, R, A; a colour of three parts is opaque.
                    const float* rgba = &values[v * components];
                    const auto byte = [](float f) { return static_cast<uint8_t>(std::clamp(f, 0.0f, 1.0f) * 255 + 0.5f); };
                    const uint8_t bgra[4] = {byte(rgba[2]), byte(rgba[1]), byte(rgba[0]), components == 4 ? byte(rgba[3]) : uint8_t{255}};
                    std::memcpy(at, bgra, 4);
                } else {
                    std::memcpy(at, &values[v * components], components * sizeof(float));
                }
            }
        }
        if (!boneOfJoint_.empty()) WriteSkin(p, count, base, stride);
        if (!HasAttribute(p, "NORMAL") && ElementOffset(cf::kNormal, 0) != kNone)
            WriteNormals(IndicesOf(p, count), count, base, stride, ElementOffset(cf::kNormal, 0));
        for (size_t v = 0; v < count; ++v) Extend(base + v * stride);
        model_.vertexCount += static_cast<uint32_t>(count);
        firstVertex_[shared] = first;
        return first;
    }

    // Each vertex's normal is the sum of its faces' normals, each as large as
    // its face: smooth where faces share vertices, flat where none do.
    static void WriteNormals(const std::vector<uint32_t>& indices, size_t count, uint8_t* base, uint32_t stride,
                             uint32_t at) {
        std::vector<Vec3> sums(count);
        const auto position = [&](uint32_t v) {
            Vec3 p;
            std::memcpy(&p, base + size_t{v} * stride, sizeof p);
            return p;
        };
        for (size_t f = 0; f + 2 < indices.size(); f += 3) {
            const uint32_t a = indices[f], b = indices[f + 1], d = indices[f + 2];
            const Vec3 face = mesh::Cross(position(b) - position(a), position(d) - position(a));
            for (uint32_t v : {a, b, d}) sums[v] = sums[v] + face;
        }
        for (size_t v = 0; v < count; ++v) {
            const float length = std::sqrt(mesh::Dot(sums[v], sums[v]));
            const Vec3 normal = length > 0 && std::isfinite(length) ? sums[v] * (1 / length) : Vec3{0, 0, 1};
            std::memcpy(base + v * stride + at, &normal, sizeof normal);
        }
    }

    // The primitive's vertex indices, each checked against its vertex count.
    std::vector<uint32_t> IndicesOf(const tinygltf::Primitive& p, size_t count) const {
        std::vector<uint32_t> indices;
        if (p.indices >= 0) {
            indices = ReadIntegers(c_.in, p.indices, 1, what_ + " indices");
        } else {
            for (uint32_t i = 0; i < count; ++i) indices.push_back(i);
        }
        for (uint32_t index : indices)
            if (index >= count)
                throw ImportError{what_ + " index " + std::to_string(index) + " is past its " + std::to_string(count) +
                                  " vertices"};
        indices.resize(indices.size() / 3 * 3);
        return indices;
    }

    size_t PositionCount(const tinygltf::Primitive& p) const {
        const int accessor = p.attributes.at("POSITION");
        // Read once to check that the count fits the buffer before room is made for it.
        return ReadFloats(c_.in, accessor, 3, what_ + " POSITION").size() / 3;
    }

    std::vector<float> Read(int accessor, int components, const std::string& attribute, size_t count) const {
        const std::vector<float> values = ReadFloats(c_.in, accessor, components, what_ + " " + attribute);
        if (values.size() != count * components)
            throw ImportError{what_ + " " + attribute + " has " + std::to_string(values.size() / components) +
                              " values for " + std::to_string(count) + " vertices"};
        return values;
    }

    void WriteSkin(const tinygltf::Primitive& p, size_t count, uint8_t* base, uint32_t stride) {
        if (!HasAttribute(p, "JOINTS_0") || !HasAttribute(p, "WEIGHTS_0")) return;
        std::vector<std::pair<int, int>> sets = {{p.attributes.at("JOINTS_0"), p.attributes.at("WEIGHTS_0")}};
        if (HasAttribute(p, "JOINTS_1") && HasAttribute(p, "WEIGHTS_1")) {
            sets.push_back({p.attributes.at("JOINTS_1"), p.attributes.at("WEIGHTS_1")});
            manyWeights_ = true;
        }
        std::vector<std::vector<std::pair<float, float>>> weights(count);
        for (const auto& [jointsAccessor, weightsAccessor] : sets) {
            const std::vector<uint32_t> joints = ReadIntegers(c_.in, jointsAccessor, 4, what_ + " joints");
            const std::vector<float> w = Read(weightsAccessor, 4, "weights", count);
            if (joints.size() != count * 4) throw ImportError{what_ + " has joints and weights for different vertices"};
            for (size_t i = 0; i < joints.size(); ++i) {
                if (joints[i] >= jointCount_)
                    throw ImportError{what_ + " refers to joint " + std::to_string(joints[i]) + " of a skin of " +
                                      std::to_string(jointCount_)};
                weights[i / 4].push_back({w[i], static_cast<float>(boneOfJoint_[joints[i]])});
            }
        }
        const uint32_t bonesAt = ElementOffset(cf::kTexcoord, kBoneSet), weightsAt = ElementOffset(cf::kTexcoord, kWeightSet);
        for (size_t v = 0; v < count; ++v) {
            // Four weights stay in their order; more keep the largest four.
            if (weights[v].size() > kWeightsPerVertex) {
                KeepFourWeights(weights[v]);
            } else {
                float sum = 0;
                for (const auto& w : weights[v]) sum += w.first;
                if (std::fabs(sum - 1) > kWeightSumTolerance) ++unevenWeights_;
                if (sum > 0 && std::isfinite(sum))
                    for (auto& w : weights[v]) w.first /= sum;
                else
                    weights[v] = {{1.0f, weights[v][0].second}, {0, 0}, {0, 0}, {0, 0}};
            }
            for (size_t k = 0; k < kWeightsPerVertex; ++k) {
                std::memcpy(base + v * stride + bonesAt + 4 * k, &weights[v][k].second, 4);
                std::memcpy(base + v * stride + weightsAt + 4 * k, &weights[v][k].first, 4);
            }
        }
    }

    static constexpr uint32_t kNone = UINT32_MAX;
    uint32_t ElementOffset(uint32_t kind, uint32_t set) const {
        for (const Source& s : layout_)
            if (s.element.kind == kind && s.element.usageIndex == set) return s.element.offset;
        return kNone;
    }

    void Extend(const uint8_t* vertex) {
        Vec3 p;
        std::memcpy(&p, vertex, sizeof p);
        if (!anyVertex_) {
            model_.firstExtent = model_.secondExtent = p;
            anyVertex_ = true;
            return;
        }
        Vec3& low = model_.firstExtent;
        Vec3& high = model_.secondExtent;
        low = {std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z)};
        high = {std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z)};
    }

    void AddPrimitive(const tinygltf::Primitive& p) {
        const uint32_t first = VerticesOf(p);
        const uint32_t count = static_cast<uint32_t>(PositionCount(p));
        cf::Subset subset;
        subset.indices = IndicesOf(p, count);
        for (uint32_t& index : subset.indices) index += first;
        if (p.material >= static_cast<int>(c_.in.materials.size()))
            throw ImportError{what_ + " refers to material " + std::to_string(p.material) + " of " +
                              std::to_string(c_.in.materials.size())};
        subset.material = p.material >= 0 ? static_cast<uint32_t>(p.material) : DefaultMaterial();
        model_.subsets.push_back(std::move(subset));
    }

    // glTF's default material: white, one-sided.
    uint32_t DefaultMaterial() {
        for (size_t i = c_.in.materials.size(); i < c_.file.materials.size(); ++i)
            if (c_.file.materials[i].name == "Default") return static_cast<uint32_t>(i);
        cf::Material material;
        material.name = "Default";
        material.textures.push_back(WhiteTexture(c_));
        c_.file.materials.push_back(material);
        return static_cast<uint32_t>(c_.file.materials.size() - 1);
    }

    ImportContext& c_;
    const tinygltf::Mesh& mesh_;
    std::string what_;
    std::vector<uint32_t> boneOfJoint_;
    std::optional<Matrix> prefix_;  // what the skin's bind matrices do to positions first
    size_t jointCount_ = 0;
    std::vector<Source> layout_;
    // Primitives share vertices by attributes and, where it moves their texture coordinates, by material.
    std::map<std::pair<std::map<std::string, int>, int>, uint32_t> firstVertex_;
    cf::Model model_;
    bool morphs_ = false, manyWeights_ = false, anyVertex_ = false;
    size_t unevenWeights_ = 0;
};

}  // namespace

void ImportMeshes(ImportContext& c) {
    for (size_t m = 0; m < c.in.meshes.size(); ++m) c.file.models.push_back(ModelMaker(c, static_cast<int>(m)).Make());
}
