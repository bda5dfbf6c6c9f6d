#include "gltf_sample_files.h"

#include <cmath>

#include "backend/d3dx9_math.h"
#include "gltf_accessors.h"
#include "gltf_extras.h"
#include "mesh_builder.h"

namespace samples {

namespace {

constexpr float kPi = 3.14159265f;

std::vector<double> Doubles(const Quaternion& q) { return {q.x, q.y, q.z, q.w}; }

Quaternion Slerp(const Quaternion& a, Quaternion b, float s) {
    float dot = a.x * b.x + a.y * b.y + a.z * b.z + a.w * b.w;
    if (dot < 0) b = {-b.x, -b.y, -b.z, -b.w}, dot = -dot;
    const float angle = std::acos(std::fmin(dot, 1.0f));
    if (angle < 1e-5f) return a;
    const float wa = std::sin((1 - s) * angle) / std::sin(angle), wb = std::sin(s * angle) / std::sin(angle);
    return {wa * a.x + wb * b.x, wa * a.y + wb * b.y, wa * a.z + wb * b.z, wa * a.w + wb * b.w};
}

// The rotation of linear keys at seconds.
Quaternion LinearAt(const std::vector<float>& times, const std::vector<Quaternion>& values, float seconds) {
    if (seconds <= times.front()) return values.front();
    for (size_t k = 0; k + 1 < times.size(); ++k)
        if (seconds <= times[k + 1]) return Slerp(values[k], values[k + 1], (seconds - times[k]) / (times[k + 1] - times[k]));
    return values.back();
}

const Quaternion kRootRest = mesh::AxisAngle({1, 0, 0}, kPi / 6);
const std::vector<float> kRootTimes = {0, 2};
const std::vector<Quaternion> kRootKeys = {kRootRest, mesh::AxisAngle({0, 1, 0}, kPi / 3)};
const std::vector<float> kTipTimes = {0, 1, 2};
const std::vector<Quaternion> kTipKeys = {{}, mesh::AxisAngle({0, 0, 1}, kPi / 2), mesh::AxisAngle({0, 0, 1}, kPi * 17 / 18)};
const Vec3 kArmatureAt{1, 0, 0}, kTipAt{0, 1, 0};

std::vector<float> Flat(const std::vector<Quaternion>& values) {
    std::vector<float> flat;
    for (const Quaternion& q : values) flat.insert(flat.end(), {q.x, q.y, q.z, q.w});
    return flat;
}

int AddPositions(tinygltf::Model& m, const std::vector<Vec3>& positions) {
    std::vector<float> flat;
    for (const Vec3& p : positions) flat.insert(flat.end(), {p.x, p.y, p.z});
    return AddFloatAccessor(m, flat, TINYGLTF_TYPE_VEC3, true);
}

int AddIndices(tinygltf::Model& m, const std::vector<uint32_t>& indices) {
    return AddAccessor(m, indices.data(), indices.size(), TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT, TINYGLTF_TYPE_SCALAR);
}

tinygltf::Model Begin() {
    tinygltf::Model m;
    m.asset.version = "2.0";
    m.scenes.emplace_back();
    m.defaultScene = 0;
    return m;
}

int AddNode(tinygltf::Model& m, const std::string& name, Vec3 at, bool top = true) {
    tinygltf::Node node;
    node.name = name;
    node.translation = {at.x, at.y, at.z};
    m.nodes.push_back(node);
    const int index = static_cast<int>(m.nodes.size() - 1);
    if (top) m.scenes[0].nodes.push_back(index);
    return index;
}

// Two triangles in the plane z = 0, counter-clockwise seen from +z.
int AddQuadMesh(tinygltf::Model& m, const std::string& name, int material, bool withUv) {
    tinygltf::Primitive primitive;
    primitive.attributes["POSITION"] = AddPositions(m, {{-1, -1, 0}, {1, -1, 0}, {1, 1, 0}, {-1, 1, 0}});
    if (withUv) primitive.attributes["TEXCOORD_0"] = AddFloatAccessor(m, {0, 1, 1, 1, 1, 0, 0, 0}, TINYGLTF_TYPE_VEC2);
    primitive.indices = AddIndices(m, {0, 1, 2, 0, 2, 3});
    primitive.material = material;
    primitive.mode = TINYGLTF_MODE_TRIANGLES;
    tinygltf::Mesh mesh;
    mesh.name = name;
    mesh.primitives.push_back(primitive);
    m.meshes.push_back(mesh);
    return static_cast<int>(m.meshes.size() - 1);
}

Matrix InverseOf(const Matrix& m) {
    Matrix out;
    float determinant;
    D3DXMatrixInverse(&out, &determinant, &m);
    return out;
}

// Joint frames relative to the armature at seconds; bind frames at rest.
void JointFrames(float seconds, Matrix* root, Matrix* tip) {
    *root = mesh::Place({}, LinearAt(kRootTimes, kRootKeys, seconds));
    *tip = mesh::Place(kTipAt, LinearAt(kTipTimes, kTipKeys, seconds)) * *root;
}

}  // namespace

void AddChannel(tinygltf::Model& m, tinygltf::Animation& animation, int node, const std::string& path,
                const std::vector<float>& times, const std::vector<float>& values, bool timeBounds) {
    tinygltf::AnimationSampler sampler;
    sampler.input = AddFloatAccessor(m, times, TINYGLTF_TYPE_SCALAR, timeBounds);
    sampler.output = AddFloatAccessor(m, values, path == "rotation" ? TINYGLTF_TYPE_VEC4 : TINYGLTF_TYPE_VEC3);
    animation.samplers.push_back(sampler);
    tinygltf::AnimationChannel channel;
    channel.sampler = static_cast<int>(animation.samplers.size() - 1);
    channel.target_node = node;
    channel.target_path = path;
    animation.channels.push_back(channel);
}

Figure SkinnedFigure() {
    Figure figure;
    tinygltf::Model& m = figure.model;
    m = Begin();
    const int armature = AddNode(m, "Armature", kArmatureAt);
    const int body = AddNode(m, "Arm", {}, false);
    const int root = AddNode(m, "Root", {}, false);
    const int tip = AddNode(m, "Tip", kTipAt, false);
    m.nodes[root].rotation = Doubles(kRootRest);
    m.nodes[armature].children = {body, root};
    m.nodes[root].children = {tip};

    // The arm at rest lies along the root's turned y axis.
    Matrix restRoot, restTip;
    JointFrames(0, &restRoot, &restTip);
    std::vector<uint8_t> joints;
    std::vector<float> weights;
    std::vector<uint32_t> indices;
    for (int row = 0; row < 5; ++row) {
        const float y = row * 0.5f, tipShare = row < 2 ? 0.0f : row == 2 ? 0.5f : 1.0f;
        for (float x : {-0.1f, 0.1f}) {
            figure.positions.push_back(mesh::TransformPoint({x, y, 0}, restRoot));
            figure.weights.push_back({1 - tipShare, tipShare});
            joints.insert(joints.end(), {0, 1, 0, 0});
            weights.insert(weights.end(), {1 - tipShare, tipShare, 0, 0});
        }
        if (row > 0) {
            const uint32_t a = (row - 1) * 2;
            indices.insert(indices.end(), {a, a + 1, a + 3, a, a + 3, a + 2});
        }
    }
    tinygltf::Primitive primitive;
    primitive.attributes["POSITION"] = AddPositions(m, figure.positions);
    primitive.attributes["JOINTS_0"] =
        AddAccessor(m, joints.data(), joints.size() / 4, TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE, TINYGLTF_TYPE_VEC4);
    primitive.attributes["WEIGHTS_0"] = AddFloatAccessor(m, weights, TINYGLTF_TYPE_VEC4);
    primitive.indices = AddIndices(m, indices);
    primitive.mode = TINYGLTF_MODE_TRIANGLES;
    tinygltf::Mesh mesh;
    mesh.name = "Arm";
    mesh.primitives.push_back(primitive);
    m.meshes.push_back(mesh);
    m.nodes[body].mesh = 0;
    m.nodes[body].skin = 0;

    tinygltf::Skin skin;
    skin.name = "Arm.Rig";
    skin.joints = {root, tip};
    skin.skeleton = root;
    std::vector<float> binds;
    for (const Matrix& rest : {restRoot, restTip}) {
        const Matrix inverse = InverseOf(rest);
        for (int i = 0; i < 16; ++i) binds.push_back(inverse.m[i / 4][i % 4]);
    }
    skin.inverseBindMatrices = AddFloatAccessor(m, binds, TINYGLTF_TYPE_MAT4);
    m.skins.push_back(skin);

    tinygltf::Animation animation;
    animation.name = "Wave";
    AddChannel(m, animation, root, "rotation", kRootTimes, Flat(kRootKeys));
    AddChannel(m, animation, tip, "rotation", kTipTimes, Flat(kTipKeys));
    m.animations.push_back(animation);
    return figure;
}

Vec3 FigureVertexAt(const Figure& figure, size_t vertex, float seconds) {
    Matrix restRoot, restTip, root, tip;
    JointFrames(0, &restRoot, &restTip);
    JointFrames(seconds, &root, &tip);
    const Matrix armature = mesh::Place(kArmatureAt);
    const Vec3 p = figure.positions[vertex];
    const Vec3 byRoot = mesh::TransformPoint(p, InverseOf(restRoot) * root * armature);
    const Vec3 byTip = mesh::TransformPoint(p, InverseOf(restTip) * tip * armature);
    const float a = figure.weights[vertex][0], b = figure.weights[vertex][1];
    return {a * byRoot.x + b * byTip.x, a * byRoot.y + b * byTip.y, a * byRoot.z + b * byTip.z};
}

tinygltf::Model TexturedQuad(const std::string& imageUri, const std::string& alphaMode, bool doubleSided) {
    tinygltf::Model m = Begin();
    tinygltf::Image image;
    image.uri = imageUri;
    m.images.push_back(image);
    tinygltf::Texture texture;
    texture.source = 0;
    m.textures.push_back(texture);
    tinygltf::Material material;
    material.name = "Glass";
    material.pbrMetallicRoughness.baseColorFactor = {1, 1, 1, 0.5};
    material.pbrMetallicRoughness.baseColorTexture.index = 0;
    material.alphaMode = alphaMode;
    material.doubleSided = doubleSided;
    m.materials.push_back(material);
    const int node = AddNode(m, "Pane", {});
    m.nodes[node].mesh = AddQuadMesh(m, "Pane", 0, true);
    return m;
}

tinygltf::Model CameraAndLight() {
    tinygltf::Model m = Begin();
    const int box = AddNode(m, "Box", {});
    m.nodes[box].mesh = AddQuadMesh(m, "Box", -1, false);
    tinygltf::Camera camera;
    camera.name = "Eye";
    camera.type = "perspective";
    camera.perspective.yfov = 36 * kPi / 180;
    camera.perspective.znear = 0.2;
    camera.perspective.zfar = 1000;
    m.cameras.push_back(camera);
    m.nodes[AddNode(m, "Eye", {0, 1, 5})].camera = 0;
    tinygltf::Light light;
    light.name = "Lamp";
    light.type = "point";
    light.color = {1, 0.5, 0.25};
    light.intensity = 2000 * 683 / (4 * kPi);  // Blender's point light of 2000 W, in candela
    m.lights.push_back(light);
    m.extensionsUsed.push_back("KHR_lights_punctual");
    const int lamp = AddNode(m, "Lamp", {2, 3, 0});
    m.nodes[lamp].extensions["KHR_lights_punctual"] =
        tinygltf::Value(Extras{{"light", tinygltf::Value(0)}});
    return m;
}

tinygltf::Model WithSkin(size_t jointCount, bool jointTranslationKeys, bool morphTargets, bool eightWeights) {
    tinygltf::Model m = Begin();
    const int body = AddNode(m, "Body", {});
    m.nodes[body].mesh = AddQuadMesh(m, "Blob", -1, false);
    tinygltf::Primitive& primitive = m.meshes[0].primitives[0];
    if (morphTargets)
        primitive.targets.push_back({{"POSITION", AddPositions(m, {{0, 0, 1}, {0, 0, 1}, {0, 0, 1}, {0, 0, 1}})}});
    if (jointCount == 0) return m;
    tinygltf::Skin skin;
    skin.name = "Rig";
    for (size_t j = 0; j < jointCount; ++j) {
        const int joint = AddNode(m, "Bone" + std::to_string(j), {0, 0.1f, 0}, j == 0);
        if (j > 0) m.nodes[joint - 1].children.push_back(joint);
        skin.joints.push_back(joint);
    }
    m.skins.push_back(skin);
    m.nodes[body].skin = 0;
    const std::vector<uint16_t> joints(16, 0);
    const std::vector<float> weights = {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};
    const int sets = eightWeights ? 2 : 1;
    for (int set = 0; set < sets; ++set) {
        primitive.attributes["JOINTS_" + std::to_string(set)] =
            AddAccessor(m, joints.data(), 4, TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT, TINYGLTF_TYPE_VEC4);
        primitive.attributes["WEIGHTS_" + std::to_string(set)] = AddFloatAccessor(m, weights, TINYGLTF_TYPE_VEC4);
    }
    if (jointTranslationKeys) {
        tinygltf::Animation animation;
        AddChannel(m, animation, skin.joints[0], "translation", {0, 1}, {0, 0, 0, 0, 1, 0});
        m.animations.push_back(animation);
    }
    return m;
}

}  // namespace samples
