#include "gltf_accessors.h"
#include "gltf_export_parts.h"
#include "gltf_extras.h"
#include "gltf_space.h"
#include "mesh_builder.h"

namespace cf = compound_file;

namespace {

std::vector<float> Flatten(const std::vector<Vec3>& values) {
    std::vector<float> out;
    for (const Vec3& v : values) out.insert(out.end(), {v.x, v.y, v.z});
    return out;
}

std::vector<float> Flatten(const std::vector<Quaternion>& values) {
    std::vector<float> out;
    for (const Quaternion& q : values) out.insert(out.end(), {q.x, q.y, q.z, q.w});
    return out;
}

// Each joint's rest: at its parent's tail plus its offset, unturned, so
// that the inverse bind matrix is the step back from its rest head.
void ExportSkin(const cf::Armature& armature, int armatureNode, tinygltf::Model& out) {
    tinygltf::Skin skin;
    skin.name = armature.name;
    skin.skeleton = armatureNode;
    const int first = static_cast<int>(out.nodes.size());
    std::vector<float> inverseBinds;
    for (size_t b = 0; b < armature.bones.size(); ++b) {
        const cf::Bone& bone = armature.bones[b];
        tinygltf::Node joint;
        joint.name = bone.name;
        // Parents come first; a later one cannot be a parent node yet.
        const bool hasParent = bone.parent >= 0 && static_cast<size_t>(bone.parent) < b;
        const Vec3 at = hasParent ? bone.offset + armature.bones[bone.parent].tail : bone.offset;
        joint.translation = {at.x, at.y, at.z};
        joint.extras = tinygltf::Value(Extras{{"tail", Numbers({bone.tail.x, bone.tail.y, bone.tail.z})}});
        const int index = static_cast<int>(out.nodes.size());
        out.nodes.push_back(joint);
        out.nodes[hasParent ? first + bone.parent : armatureNode].children.push_back(index);
        skin.joints.push_back(index);
        inverseBinds.insert(inverseBinds.end(), {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, -bone.restHead.x,
                                                 -bone.restHead.y, -bone.restHead.z, 1});
    }
    skin.inverseBindMatrices = AddFloatAccessor(out, inverseBinds, TINYGLTF_TYPE_MAT4);
    out.skins.push_back(skin);
}

struct Channel {
    int node;
    std::string path;
    std::vector<float> times;    // seconds
    std::vector<float> outputs;  // in-tangent, value, out-tangent per key
    int components;
};

void AddChannel(const Channel& channel, tinygltf::Animation& animation, tinygltf::Model& out) {
    tinygltf::AnimationSampler sampler;
    sampler.input = AddFloatAccessor(out, channel.times, TINYGLTF_TYPE_SCALAR, true);
    sampler.output =
        AddFloatAccessor(out, channel.outputs, channel.components == 3 ? TINYGLTF_TYPE_VEC3 : TINYGLTF_TYPE_VEC4);
    sampler.interpolation = "CUBICSPLINE";
    animation.samplers.push_back(sampler);
    tinygltf::AnimationChannel target;
    target.sampler = static_cast<int>(animation.samplers.size() - 1);
    target.target_node = channel.node;
    target.target_path = channel.path;
    animation.channels.push_back(target);
}

// A Bezier segment is a cubic Hermite one whose tangents are three times the
// handle's step, per second of the segment.
template <typename T>
std::vector<float> HermiteOutputs(const std::vector<float>& seconds, const std::vector<T>& in,
                                  const std::vector<T>& value, const std::vector<T>& out) {
    const size_t n = value.size();
    const auto tangent = [](const T& from, const T& to, float span) {
        std::vector<float> a = Flatten(std::vector<T>{from}), b = Flatten(std::vector<T>{to});
        for (size_t c = 0; c < a.size(); ++c) a[c] = span > 0 ? 3 * (b[c] - a[c]) / span : 0;
        return a;
    };
    std::vector<float> outputs;
    for (size_t k = 0; k < n; ++k) {
        // The first key's in-handle and the last key's out-handle use the neighbouring span.
        const float before = k > 0 ? seconds[k] - seconds[k - 1] : (n > 1 ? seconds[1] - seconds[0] : 1);
        const float after = k + 1 < n ? seconds[k + 1] - seconds[k] : before;
        const std::vector<float> a = tangent(in[k], value[k], before), b = tangent(value[k], out[k], after);
        const std::vector<float> v = Flatten(std::vector<T>{value[k]});
        outputs.insert(outputs.end(), a.begin(), a.end());
        outputs.insert(outputs.end(), v.begin(), v.end());
        outputs.insert(outputs.end(), b.begin(), b.end());
    }
    return outputs;
}

void ExportTrack(int node, const std::vector<NodeKey>& keys, float framesPerSecond, tinygltf::Animation& animation,
                 tinygltf::Model& out) {
    std::vector<float> seconds;
    std::vector<Vec3> pIn, p, pOut;
    std::vector<Quaternion> rIn, r, rOut;
    for (const NodeKey& key : keys) {
        seconds.push_back(key.time / framesPerSecond);
        pIn.push_back(gltf_space::ToGltf(key.positionIn));
        p.push_back(gltf_space::ToGltf(key.position));
        pOut.push_back(gltf_space::ToGltf(key.positionOut));
        rIn.push_back(gltf_space::ToGltf(key.rotationIn));
        r.push_back(gltf_space::ToGltf(key.rotation));
        rOut.push_back(gltf_space::ToGltf(key.rotationOut));
    }
    AddChannel({node, "translation", seconds, HermiteOutputs(seconds, pIn, p, pOut), 3}, animation, out);
    AddChannel({node, "rotation", seconds, HermiteOutputs(seconds, rIn, r, rOut), 4}, animation, out);
}

// Flat tangents: the Hermite blend is then 3u^2 - 2u^3 between keys, the
// weight the engine blends pose keys with.
void ExportPoses(const cf::Armature& armature, int firstJoint, float framesPerSecond, tinygltf::Animation& animation,
                 tinygltf::Model& out) {
    if (armature.keys.empty()) return;
    std::vector<float> seconds;
    for (const cf::ArmatureKey& key : armature.keys) seconds.push_back(key.time / framesPerSecond);
    for (size_t b = 0; b < armature.bones.size(); ++b) {
        std::vector<float> outputs;
        for (const cf::ArmatureKey& key : armature.keys) {
            const Quaternion q = b < key.rotations.size() ? key.rotations[b] : Quaternion{};
            outputs.insert(outputs.end(), {0, 0, 0, 0, q.x, q.y, q.z, q.w, 0, 0, 0, 0});
        }
        AddChannel({firstJoint + static_cast<int>(b), "rotation", seconds, outputs, 4}, animation, out);
    }
}

}  // namespace

void ExportSkins(const cf::File& file, const std::vector<int>& armatureNodes, tinygltf::Model& out) {
    for (size_t a = 0; a < file.armatures.size(); ++a) ExportSkin(file.armatures[a], armatureNodes[a], out);
    if (file.armatures.empty()) return;
    // The file does not say which armature a model follows: the first does.
    for (size_t i = 0; i < file.nodes.size(); ++i) {
        const tinygltf::Node& node = out.nodes[i];
        if (node.mesh >= 0 && IsSkinned(file.models[node.mesh])) out.nodes[i].skin = 0;
    }
}

void ExportAnimation(const cf::File& file, float framesPerSecond, tinygltf::Model& out) {
    tinygltf::Animation animation;
    animation.name = "Compound";
    for (size_t i = 0; i < file.nodes.size(); ++i)
        if (file.nodes[i].track && !file.nodes[i].track->empty())
            ExportTrack(static_cast<int>(i), *file.nodes[i].track, framesPerSecond, animation, out);
    for (size_t a = 0; a < out.skins.size(); ++a)
        ExportPoses(file.armatures[a], out.skins[a].joints.empty() ? 0 : out.skins[a].joints[0], framesPerSecond,
                    animation, out);
    if (!animation.channels.empty()) out.animations.push_back(animation);
}
