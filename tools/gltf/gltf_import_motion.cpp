#include <algorithm>
#include <cmath>
#include <map>
#include <memory>

#include "backend/d3dx9_math.h"
#include "gltf_channels.h"
#include "gltf_extras.h"
#include "gltf_import_parts.h"
#include "gltf_space.h"
#include "mesh_builder.h"

namespace cf = compound_file;
using gltf_space::Multiply;
using gltf_space::Rotate;

namespace {

// Direct3D 9 vertex shaders have 256 constant registers: no shader can take more bone matrices than this.
constexpr size_t kMostBones = 64;
constexpr size_t kSkinningShaderBones = 32;  // zk_BoneMatrix in the data set's skinning shader

std::string Quoted(const std::string& name) { return "\"" + name + "\""; }

// Pose keys hold a rotation per bone: an animation that would need more is refused, not drawn out.
constexpr double kMostPoseRotations = 1 << 24;

struct NodeCurves {
    std::unique_ptr<ChannelCurve> translation, rotation;
};

// One animation's curves for one node; what the compound cannot hold is
// reported unless its keys never leave the node's resting value.
NodeCurves CurvesOf(const ImportContext& c, int node, bool joint, size_t animationIndex) {
    NodeCurves curves;
    const tinygltf::Animation& animation = c.in.animations[animationIndex];
    const std::string what = (joint ? "joint " : "node ") + Quoted(c.NodeName(node));
    const Placement& rest = c.local[node];
    for (const tinygltf::AnimationChannel& channel : animation.channels) {
        if (channel.target_node != node) continue;
        const std::string keys = what + " " + channel.target_path;
        if (channel.target_path == "rotation") {
            curves.rotation = std::make_unique<ChannelCurve>(c.in, animation, channel.sampler, 4, keys);
        } else if (channel.target_path == "translation") {
            auto curve = std::make_unique<ChannelCurve>(c.in, animation, channel.sampler, 3, keys);
            if (!joint)
                curves.translation = std::move(curve);
            else if (!curve->Constant({rest.translation.x, rest.translation.y, rest.translation.z}))
                c.Warn(what + " has translation keys, which a compound cannot hold: they are left out");
        } else if (channel.target_path == "scale") {
            const ChannelCurve curve(c.in, animation, channel.sampler, 3, keys);
            if (!curve.Constant({rest.scale.x, rest.scale.y, rest.scale.z}))
                c.Warn(what + " has scale keys, which a compound cannot hold: they are left out");
        } else {
            c.Warn(what + " has " + channel.target_path + " keys, which a compound cannot hold: they are left out");
        }
    }
    return curves;
}

std::vector<float> Union(std::initializer_list<const ChannelCurve*> curves) {
    std::vector<float> times;
    for (const ChannelCurve* curve : curves)
        if (curve) {
            const std::vector<float> own = curve->BezierTimes();
            times.insert(times.end(), own.begin(), own.end());
        }
    std::sort(times.begin(), times.end());
    times.erase(std::unique(times.begin(), times.end()), times.end());
    return times;
}

Vec3 AsVec3(const std::vector<float>& v) { return {v[0], v[1], v[2]}; }
Quaternion AsQuaternion(const std::vector<float>& v) { return {v[0], v[1], v[2], v[3]}; }

Vec3 TransformVector(Vec3 v, const Matrix& m) {
    return {v.x * m.m[0][0] + v.y * m.m[1][0] + v.z * m.m[2][0], v.x * m.m[0][1] + v.y * m.m[1][1] + v.z * m.m[2][1],
            v.x * m.m[0][2] + v.y * m.m[1][2] + v.z * m.m[2][2]};
}

Quaternion Scaled(const Quaternion& q, float s) { return {q.x * s, q.y * s, q.z * s, q.w * s}; }
Quaternion Sum(const Quaternion& a, const Quaternion& b) { return {a.x + b.x, a.y + b.y, a.z + b.z, a.w + b.w}; }

Matrix Inverse(const Matrix& m) {
    Matrix inverse;
    float determinant = 0;
    if (!D3DXMatrixInverse(&inverse, &determinant, &m)) return Matrix();
    return inverse;
}

bool Unscaled(Vec3 s) { return std::fabs(s.x - 1) < 1e-4f && std::fabs(s.y - 1) < 1e-4f && std::fabs(s.z - 1) < 1e-4f; }

}  // namespace

void PlaceActions(ImportContext& c) {
    const size_t count = c.in.animations.size();
    const double fps = c.options.framesPerSecond;
    c.actionStart.assign(count, 0);
    c.actionEnd.assign(count, 0);
    double next = 0;
    for (size_t a = 0; a < count; ++a) {
        const tinygltf::Animation& animation = c.in.animations[a];
        float end = 0;
        for (const tinygltf::AnimationSampler& sampler : animation.samplers) {
            const std::vector<float> times = KeyTimes(
                c.in, sampler.input, "animation " + (animation.name.empty() ? std::to_string(a) : Quoted(animation.name)));
            end = std::max(end, times.back());
        }
        c.actionStart[a] = static_cast<float>(next);
        c.actionEnd[a] = end;
        // The next one begins a second later, on a whole ten key units.
        next = std::ceil(((next + end) * fps + fps) / 10) * 10 / fps;
    }
}

namespace {

// The keys of one animation in engine space, its times moved to where the action begins.
void AppendTrack(const ImportContext& c, int node, const NodeCurves& curves, size_t animation,
                 std::vector<NodeKey>* keys) {
    std::vector<float> times = Union({curves.translation.get(), curves.rotation.get()});
    if (times.empty()) times = {0, c.actionEnd[animation]};  // still through an action that does not move it
    if (times.size() == 1 || times.back() == times.front())
        times = {times[0], times[0] + 1 / c.options.framesPerSecond};  // a track is a segment at least
    const Matrix parent = c.parent[node] >= 0 ? c.world[c.parent[node]] : Matrix();
    const Quaternion parentTurn = PlacementOf(parent).rotation;
    const Placement& rest = c.local[node];
    // Position and rotation in the engine's world, and their rates per second, on either side of a time.
    const auto position = [&](float t) {
        const Vec3 local = curves.translation ? AsVec3(curves.translation->Value(t)) : rest.translation;
        return gltf_space::ToEngine(mesh::TransformPoint(local, parent));
    };
    const auto positionRate = [&](float t, bool after) {
        if (!curves.translation) return Vec3{};
        return gltf_space::ToEngine(TransformVector(AsVec3(curves.translation->Rate(t, after)), parent));
    };
    const auto rotation = [&](float t) {
        const Quaternion local = curves.rotation ? AsQuaternion(curves.rotation->Value(t)) : rest.rotation;
        return gltf_space::ToEngine(Multiply(parentTurn, local));
    };
    const auto rotationRate = [&](float t, bool after) {
        if (!curves.rotation) return Quaternion{0, 0, 0, 0};
        return gltf_space::ToEngine(Multiply(parentTurn, AsQuaternion(curves.rotation->Rate(t, after))));
    };
    for (size_t k = 0; k < times.size(); ++k) {
        const float t = times[k];
        const float before = k > 0 ? t - times[k - 1] : times[1] - times[0];
        const float after = k + 1 < times.size() ? times[k + 1] - t : before;
        NodeKey key;
        key.time = (c.actionStart[animation] + t) * c.options.framesPerSecond;
        key.position = position(t);
        key.positionIn = key.position - positionRate(t, false) * (before / 3);
        key.positionOut = key.position + positionRate(t, true) * (after / 3);
        key.rotation = rotation(t);
        key.rotationIn = Sum(key.rotation, Scaled(rotationRate(t, false), -before / 3));
        key.rotationOut = Sum(key.rotation, Scaled(rotationRate(t, true), after / 3));
        keys->push_back(key);
    }
}

// The times of one animation at which a skin's pose keys stand: every
// rotation key, and key unit by key unit where the curves do not blend as pose keys do.
std::vector<float> PoseTimes(const ImportContext& c, const std::vector<NodeCurves>& curves, const std::string& what) {
    const double bones = static_cast<double>(curves.size());
    std::vector<float> times;
    bool exact = true;
    for (const NodeCurves& curve : curves)
        if (curve.rotation) {
            const std::vector<float>& own = curve.rotation->Times();
            times.insert(times.end(), own.begin(), own.end());
            exact = exact && curve.rotation->FlatCubic();
        }
    std::sort(times.begin(), times.end());
    times.erase(std::unique(times.begin(), times.end()), times.end());
    // Pose keys blend by 3u^2 - 2u^3: other curves are followed key unit by key unit.
    if (!exact && times.size() > 1) {
        const double step = 1.0 / c.options.framesPerSecond, first = times.front(), last = times.back();
        const double steps = std::ceil((last - first) / step);
        const double keys = steps + static_cast<double>(times.size());
        if (keys * bones > kMostPoseRotations)
            throw ImportError{what + " would need " + std::to_string(static_cast<long long>(keys)) + " pose keys of " +
                              std::to_string(curves.size()) + " bones, more than the " +
                              std::to_string(static_cast<int>(kMostPoseRotations)) + " rotations the import makes"};
        for (double i = 1; first + i * step < last; ++i) times.push_back(static_cast<float>(first + i * step));
        std::sort(times.begin(), times.end());
        times.erase(std::unique(times.begin(), times.end()), times.end());
    }
    return times;
}

}  // namespace

std::optional<std::vector<NodeKey>> ImportTrack(const ImportContext& c, int node) {
    std::vector<NodeCurves> curves;
    bool moves = false;
    for (size_t a = 0; a < c.in.animations.size(); ++a) {
        curves.push_back(CurvesOf(c, node, false, a));
        moves = moves || curves.back().translation || curves.back().rotation;
    }
    if (!moves) return std::nullopt;
    std::vector<NodeKey> keys;
    for (size_t a = 0; a < curves.size(); ++a) AppendTrack(c, node, curves[a], a, &keys);
    return keys;
}

namespace {

bool Near(const Matrix& a, const Matrix& b) {
    for (int i = 0; i < 16; ++i) {
        const float x = a.m[i / 4][i % 4], y = b.m[i / 4][i % 4];
        if (!(std::fabs(x - y) <= 1e-3f * std::max(1.0f, std::fabs(y)))) return false;
    }
    return true;
}

Matrix BindMatrix(const std::vector<float>& binds, size_t joint) {
    Matrix m;
    for (int i = 0; i < 16; ++i) m.m[i / 4][i % 4] = binds[joint * 16 + i];
    return m;
}

}  // namespace

std::optional<Matrix> BindPrefix(const ImportContext& c, int skinIndex) {
    const tinygltf::Skin& skin = c.in.skins[skinIndex];
    const int meshNode = c.meshNodeOfSkin[skinIndex];
    if (skin.inverseBindMatrices < 0 || meshNode < 0 || skin.joints.empty()) return std::nullopt;
    const std::vector<float> binds =
        ReadFloats(c.in, skin.inverseBindMatrices, 16, "skin " + Quoted(skin.name) + " inverse bind matrices");
    if (binds.size() != skin.joints.size() * 16) return std::nullopt;  // refused with the skin
    const Matrix toMesh = Inverse(c.world[meshNode]);
    // Inverse bind = prefix x (joint's rest frame in the mesh)^-1 for every joint.
    const Matrix prefix = BindMatrix(binds, 0) * (c.world[skin.joints[0]] * toMesh);
    for (size_t j = 1; j < skin.joints.size(); ++j)
        if (!Near(BindMatrix(binds, j) * (c.world[skin.joints[j]] * toMesh), prefix)) return std::nullopt;
    if (Near(prefix, Matrix())) return std::nullopt;
    return prefix;
}

std::vector<uint32_t> BoneOfJoint(const ImportContext& c, int skin) {
    const std::vector<int>& joints = c.in.skins[skin].joints;
    std::map<int, size_t> jointOfNode;
    for (size_t j = 0; j < joints.size(); ++j) jointOfNode.emplace(joints[j], j);
    std::vector<uint32_t> bone(joints.size(), UINT32_MAX);
    uint32_t next = 0;
    // Parents before children, depth first without recursion: a chain may be as long as the skin.
    const auto place = [&](size_t top) {
        std::vector<size_t> pending = {top};
        while (!pending.empty()) {
            const size_t j = pending.back();
            pending.pop_back();
            if (bone[j] != UINT32_MAX) continue;
            bone[j] = next++;
            const std::vector<int>& children = c.in.nodes[joints[j]].children;
            for (auto child = children.rbegin(); child != children.rend(); ++child) {
                const auto found = jointOfNode.find(*child);
                if (found != jointOfNode.end()) pending.push_back(found->second);
            }
        }
    };
    for (size_t j = 0; j < joints.size(); ++j)
        if (!jointOfNode.count(c.parent[joints[j]])) place(j);
    for (size_t j = 0; j < joints.size(); ++j) place(j);  // joints a non-joint separates from their parent
    return bone;
}

// A bone's frame is its joint's frame turned back by the joint's bind
// rotation, so that at the bind pose every skin matrix is the identity and
// the inverse bind matrix reduces to the step back from the rest head.
void ImportSkins(ImportContext& c) {
    for (size_t s = 0; s < c.in.skins.size(); ++s) {
        const tinygltf::Skin& skin = c.in.skins[s];
        const std::string what = "skin " + Quoted(skin.name);
        const size_t count = skin.joints.size();
        if (count > kMostBones)
            throw ImportError{what + " has " + std::to_string(count) + " joints; a skinning shader takes at most " +
                              std::to_string(kMostBones) + " bones"};
        if (count > kSkinningShaderBones) {
            const int drawn = c.meshNodeOfSkin[s];
            const std::string mesh = drawn >= 0 ? " (mesh " + Quoted(c.in.meshes[c.in.nodes[drawn].mesh].name) + ")" : "";
            c.Warn(what + mesh + " has " + std::to_string(count) + " joints, more than the " +
                   std::to_string(kSkinningShaderBones) + " bones of the data set's skinning shader");
        }
        std::vector<float> binds;
        if (skin.inverseBindMatrices >= 0) {
            binds = ReadFloats(c.in, skin.inverseBindMatrices, 16, what + " inverse bind matrices");
            if (binds.size() != count * 16) throw ImportError{what + " has not one inverse bind matrix per joint"};
        }
        const std::vector<uint32_t> boneOf = BoneOfJoint(c, static_cast<int>(s));
        std::map<int, size_t> jointOfNode;
        for (size_t j = 0; j < count; ++j) jointOfNode.emplace(skin.joints[j], j);
        const std::optional<Matrix> prefix = BindPrefix(c, static_cast<int>(s));
        const Matrix unprefix = prefix ? Inverse(*prefix) : Matrix();
        const int meshNode = c.meshNodeOfSkin[s] >= 0 ? c.meshNodeOfSkin[s] : c.armatureNodeOfSkin[s];
        const Matrix fromMesh = meshNode >= 0 ? Inverse(c.world[meshNode]) : Matrix();

        cf::Armature armature;
        const int armatureNode = c.armatureNodeOfSkin[s];
        armature.name = !skin.name.empty() ? skin.name : armatureNode >= 0 ? c.NodeName(armatureNode) : "Armature";
        armature.bones.resize(count);
        std::vector<Quaternion> bind(count), frameTurn(count);  // per joint
        const size_t animations = c.in.animations.size();
        std::vector<std::vector<NodeCurves>> curves(animations);  // per animation, joint
        for (std::vector<NodeCurves>& action : curves) action.resize(count);
        for (size_t j = 0; j < count; ++j) {
            const Matrix inverseBind = binds.empty() ? Matrix() : unprefix * BindMatrix(binds, j);
            const Placement atBind = PlacementOf(Inverse(inverseBind));
            bind[j] = atBind.rotation;
            cf::Bone& bone = armature.bones[boneOf[j]];
            bone.name = c.NodeName(skin.joints[j]);
            bone.restHead = atBind.translation;
            const std::vector<double> tail = ExtraNumbers(c.in.nodes[skin.joints[j]].extras, "tail");
            bone.tail = tail.size() == 3 ? Vec3{static_cast<float>(tail[0]), static_cast<float>(tail[1]),
                                                static_cast<float>(tail[2])}
                                         : Vec3{};
            for (size_t a = 0; a < animations; ++a) curves[a][j] = CurvesOf(c, skin.joints[j], true, a);
            if (!Unscaled(c.local[skin.joints[j]].scale) || !Unscaled(atBind.scale))
                c.Warn("joint " + Quoted(bone.name) + " is scaled, which a bone cannot be: the scale is left out");
        }
        // Offsets need the parents' tails and bind rotations, so a second pass.
        for (size_t j = 0; j < count; ++j) {
            const int node = skin.joints[j];
            const auto parentJoint = jointOfNode.find(c.parent[node]);
            cf::Bone& bone = armature.bones[boneOf[j]];
            Vec3 step = c.local[node].translation, base{};
            if (parentJoint != jointOfNode.end()) {
                bone.parent = static_cast<int32_t>(boneOf[parentJoint->second]);
                frameTurn[j] = bind[parentJoint->second];
                base = Vec3{} - armature.bones[bone.parent].tail;
            } else {
                // A root bone's frame is the joint's parent seen from the model it skins.
                const Placement parent = PlacementOf((c.parent[node] >= 0 ? c.world[c.parent[node]] : Matrix()) * fromMesh);
                frameTurn[j] = parent.rotation;
                base = parent.translation;
                step = Vec3{step.x * parent.scale.x, step.y * parent.scale.y, step.z * parent.scale.z};
            }
            bone.offset = Rotate(frameTurn[j], step) + base;
        }
        bool animated = false;
        for (const std::vector<NodeCurves>& action : curves)
            for (const NodeCurves& joint : action) animated = animated || joint.rotation;
        const auto addKey = [&](float time, const std::vector<NodeCurves>* action, float t) {
            cf::ArmatureKey key;
            key.time = time * c.options.framesPerSecond;
            key.rotations.resize(count);
            for (size_t j = 0; j < count; ++j) {
                const ChannelCurve* curve = action ? (*action)[j].rotation.get() : nullptr;
                const Quaternion turn = curve ? Normalised(AsQuaternion(curve->Value(t))) : c.local[skin.joints[j]].rotation;
                key.rotations[boneOf[j]] = Normalised(Multiply(frameTurn[j], Multiply(turn, gltf_space::Inverse(bind[j]))));
            }
            armature.keys.push_back(key);
        };
        for (size_t a = 0; animated && a < animations; ++a) {
            std::vector<float> times = PoseTimes(c, curves[a], what + " in animation " + std::to_string(a));
            // An action that does not move the skin holds it at rest.
            if (times.empty()) times = {0, c.actionEnd[a]};
            if (times.size() == 2 && times[0] == times[1]) times.pop_back();
            for (float t : times) addKey(c.actionStart[a] + t, &curves[a], t);
        }
        if (armature.keys.empty()) addKey(0, nullptr, 0);
        c.file.armatures.push_back(armature);
    }
}
