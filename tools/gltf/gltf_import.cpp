#include "gltf_import.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "gltf_extras.h"
#include "gltf_import_parts.h"
#include "gltf_space.h"
#include "mesh_builder.h"

namespace cf = compound_file;

namespace {

constexpr double kSceneFieldOfViewDegrees = 36;
constexpr double kPi = 3.14159265358979323846;

std::string Quoted(const std::string& name) { return "\"" + name + "\""; }

void ExpectIndex(int index, size_t count, const std::string& what) {
    if (index < -1 || (index >= 0 && static_cast<size_t>(index) >= count))
        throw ImportError{what + " refers to " + std::to_string(index) + " of " + std::to_string(count)};
}

Placement LocalPlacement(const tinygltf::Node& node) {
    if (node.matrix.size() == 16) {
        Matrix m;  // glTF's column-major numbers read row by row are the row-vector matrix
        for (int i = 0; i < 16; ++i) m.m[i / 4][i % 4] = static_cast<float>(node.matrix[i]);
        return PlacementOf(m);
    }
    Placement p;
    if (node.translation.size() == 3)
        p.translation = {static_cast<float>(node.translation[0]), static_cast<float>(node.translation[1]),
                         static_cast<float>(node.translation[2])};
    if (node.rotation.size() == 4)
        p.rotation = Normalised({static_cast<float>(node.rotation[0]), static_cast<float>(node.rotation[1]),
                                 static_cast<float>(node.rotation[2]), static_cast<float>(node.rotation[3])});
    if (node.scale.size() == 3)
        p.scale = {static_cast<float>(node.scale[0]), static_cast<float>(node.scale[1]), static_cast<float>(node.scale[2])};
    return p;
}

// Walks the scene from its roots: parents, placements, and the checks a node's references need.
void ReadHierarchy(ImportContext& c) {
    const tinygltf::Model& in = c.in;
    const size_t n = in.nodes.size();
    c.inScene.assign(n, false);
    c.parent.assign(n, -1);
    c.local.assign(n, Placement());
    c.world.assign(n, Matrix());
    std::vector<int> roots;
    const int sceneIndex = in.defaultScene >= 0 ? in.defaultScene : 0;
    if (static_cast<size_t>(sceneIndex) < in.scenes.size()) {
        roots = in.scenes[sceneIndex].nodes;
    } else {
        // No scene: every node no other node holds.
        std::vector<bool> held(n, false);
        for (const tinygltf::Node& node : in.nodes)
            for (int child : node.children)
                if (child >= 0 && static_cast<size_t>(child) < n) held[child] = true;
        for (size_t i = 0; i < n; ++i)
            if (!held[i]) roots.push_back(static_cast<int>(i));
    }
    // Depth first without recursion: a chain of nodes may be as long as the file.
    std::vector<std::pair<int, int>> pending;  // node, parent
    for (auto root = roots.rbegin(); root != roots.rend(); ++root) pending.push_back({*root, -1});
    while (!pending.empty()) {
        const auto [index, parent] = pending.back();
        pending.pop_back();
        ExpectIndex(index, n, "the scene's node list");
        if (index < 0) throw ImportError{"a node list holds -1"};
        if (c.inScene[index]) throw ImportError{"node " + Quoted(c.NodeName(index)) + " appears twice in the scene"};
        const tinygltf::Node& node = in.nodes[index];
        const std::string what = "node " + Quoted(c.NodeName(index));
        ExpectIndex(node.mesh, in.meshes.size(), what + " mesh");
        ExpectIndex(node.camera, in.cameras.size(), what + " camera");
        ExpectIndex(node.skin, in.skins.size(), what + " skin");
        c.inScene[index] = true;
        c.parent[index] = parent;
        c.local[index] = LocalPlacement(node);
        c.world[index] = MatrixOf(c.local[index]);
        if (parent >= 0) c.world[index] = c.world[index] * c.world[parent];
        for (auto child = node.children.rbegin(); child != node.children.rend(); ++child)
            pending.push_back({*child, index});
    }
}

int LightOf(const tinygltf::Node& node) {
    const auto found = node.extensions.find("KHR_lights_punctual");
    if (found == node.extensions.end()) return -1;
    return ExtraIndex(found->second, "light");
}

void ImportCameras(ImportContext& c) {
    for (const tinygltf::Camera& camera : c.in.cameras) {
        const std::string what = "camera " + Quoted(camera.name);
        if (camera.type != "perspective")
            c.Warn(what + " is " + camera.type + ": the scenes draw every camera in perspective");
        else if (std::fabs(camera.perspective.yfov * 180 / kPi - kSceneFieldOfViewDegrees) > 0.5)
            c.Warn(what + " has a field of view of " + std::to_string(camera.perspective.yfov * 180 / kPi) +
                   " degrees: the scenes draw with 36");
        c.file.cameras.push_back({camera.name, static_cast<float>(ExtraNumber(camera.extras, "value", 0))});
    }
}

// glTF's intensities are photometric: candela for points and spots, lux for
// suns. Blender writes a light of P watts as P x 683 / 4pi candela and a sun
// of S W/m^2 as S x 683 lux; the engine's colour 1 is Blender's default
// point light of 1000 W, or a sun of strength 1. A compound's own export
// keeps its colour in colour x intensity and says so in its extras.
double EngineBrightness(const tinygltf::Light& light, bool fromCompound) {
    constexpr double kLumensPerWatt = 683, kDefaultPointWatts = 1000;
    if (fromCompound) return light.intensity;
    if (light.type == "directional") return light.intensity / kLumensPerWatt;
    return light.intensity * 4 * kPi / kLumensPerWatt / kDefaultPointWatts;
}

void ImportLights(ImportContext& c) {
    for (const tinygltf::Light& light : c.in.lights) {
        cf::Light l;
        l.name = light.name;
        const bool extrasSayHow = light.extras.IsObject() && light.extras.Has("positionW");
        const double brightness = EngineBrightness(light, extrasSayHow);
        if (!std::isfinite(brightness) || brightness < 0)
            throw ImportError{"light " + Quoted(light.name) + " has an intensity of " + std::to_string(light.intensity)};
        for (size_t i = 0; i < 3; ++i)
            l.colour[i] = static_cast<float>((i < light.color.size() ? light.color[i] : 1.0) * brightness);
        l.colour[3] = static_cast<float>(ExtraNumber(light.extras, "alpha", 1));
        l.kind = ExtraUnsigned(light.extras, "kind", 0);
        l.colourW = static_cast<float>(ExtraNumber(light.extras, "colourW", 0));
        l.positionW = static_cast<float>(ExtraNumber(light.extras, "positionW", 1));
        if (!extrasSayHow && light.type != "point")
            c.Warn("light " + Quoted(light.name) + " is a " + light.type +
                   " light: the engine's lights are points, shining from its node");
        c.file.lights.push_back(l);
    }
}

// Which skin's joints hang from each node, and where each skin is drawn.
void FindSkinRoles(ImportContext& c) {
    const tinygltf::Model& in = c.in;
    c.isJoint.assign(in.nodes.size(), false);
    c.skinOfMesh.assign(in.meshes.size(), -1);
    c.meshNodeOfSkin.assign(in.skins.size(), -1);
    c.armatureNodeOfSkin.assign(in.skins.size(), -1);
    for (size_t s = 0; s < in.skins.size(); ++s)
        for (int joint : in.skins[s].joints) {
            ExpectIndex(joint, in.nodes.size(), "skin " + Quoted(in.skins[s].name) + " joint");
            if (joint < 0 || !c.inScene[joint])
                throw ImportError{"skin " + Quoted(in.skins[s].name) + " has a joint outside the scene"};
            c.isJoint[joint] = true;
        }
    for (size_t s = 0; s < in.skins.size(); ++s)
        for (int joint : in.skins[s].joints) {
            const int parent = c.parent[joint];
            if (parent >= 0 && !c.isJoint[parent]) c.armatureNodeOfSkin[s] = parent;
        }
    for (size_t i = 0; i < in.nodes.size(); ++i) {
        const tinygltf::Node& node = in.nodes[i];
        if (!c.inScene[i] || node.mesh < 0 || node.skin < 0) continue;
        if (c.skinOfMesh[node.mesh] < 0) c.skinOfMesh[node.mesh] = node.skin;
        if (c.meshNodeOfSkin[node.skin] < 0) c.meshNodeOfSkin[node.skin] = static_cast<int>(i);
    }
}

cf::Node EngineNode(const ImportContext& c, int index, uint32_t flags, uint32_t datablock) {
    cf::Node node;
    node.name = c.NodeName(index);
    const Placement p = PlacementOf(c.world[index]);
    node.position = gltf_space::ToEngine(p.translation);
    node.rotation = gltf_space::ToEngine(p.rotation);
    node.scale = p.scale;
    node.flags = flags | (ExtraUnsigned(c.in.nodes[index].extras, "flags", 0) & NODE_FIXED_MATRIX);
    node.datablock = datablock;
    node.track = ImportTrack(c, index);
    return node;
}

// Every node of the scene but the joints, in the scene's order; a node
// that draws, shows or lights several things places the first of them.
void ImportNodes(ImportContext& c) {
    const tinygltf::Model& in = c.in;
    std::vector<int> engineNode(in.nodes.size(), -1);
    std::vector<int> order, pending;
    for (size_t i = in.nodes.size(); i-- > 0;)
        if (c.inScene[i] && c.parent[i] < 0) pending.push_back(static_cast<int>(i));
    while (!pending.empty()) {
        const int index = pending.back();
        pending.pop_back();
        order.push_back(index);
        const std::vector<int>& children = in.nodes[index].children;
        pending.insert(pending.end(), children.rbegin(), children.rend());
    }
    for (int index : order) {
        const tinygltf::Node& node = in.nodes[index];
        // A joint that draws a mesh still places its model, at its rest place.
        if (c.isJoint[index] && node.mesh < 0) continue;
        if (c.isJoint[index])
            c.Warn("node " + Quoted(c.NodeName(index)) + " is a joint and draws mesh " +
                   Quoted(in.meshes[node.mesh].name) + ": the model stays where the joint rests");
        const int light = LightOf(node);
        ExpectIndex(light, in.lights.size(), "node " + Quoted(c.NodeName(index)) + " light");
        int skin = -1;
        for (size_t s = 0; s < c.armatureNodeOfSkin.size(); ++s)
            if (c.armatureNodeOfSkin[s] == index) skin = static_cast<int>(s);
        cf::Node made = node.mesh >= 0     ? EngineNode(c, index, NODE_MODEL, node.mesh)
                        : node.camera >= 0 ? EngineNode(c, index, NODE_CAMERA, node.camera)
                        : light >= 0       ? EngineNode(c, index, NODE_LIGHT, light)
                        : skin >= 0        ? EngineNode(c, index, NODE_ARMATURE, skin)
                                           : EngineNode(c, index, NODE_EMPTY, 0);
        if (node.mesh >= 0 && skin >= 0)
            c.Warn("node " + Quoted(made.name) + " draws a mesh and holds the joints of skin " +
                   Quoted(in.skins[skin].name) + ": it places the model only");
        // The nearest ancestor that became a node is the parent.
        for (int up = c.parent[index]; up >= 0 && !made.parent; up = c.parent[up])
            if (engineNode[up] >= 0) made.parent = engineNode[up];
        engineNode[index] = static_cast<int>(c.file.nodes.size());
        c.file.nodes.push_back(std::move(made));
    }
    // A parent that the exported file could not show as a hierarchy, kept by name.
    for (int index : order) {
        if (engineNode[index] < 0) continue;
        cf::Node& made = c.file.nodes[engineNode[index]];
        const std::string parent = ExtraText(in.nodes[index].extras, "parent");
        if (made.parent || parent.empty()) continue;
        for (size_t n = 0; n < c.file.nodes.size(); ++n)
            if (c.file.nodes[n].name == parent) {
                made.parent = static_cast<uint32_t>(n);
                break;
            }
    }
    // A skin whose joints sit at the top still needs a node to place its armature.
    for (size_t s = 0; s < in.skins.size(); ++s) {
        if (c.armatureNodeOfSkin[s] >= 0) continue;
        cf::Node node;
        node.name = in.skins[s].name;
        node.flags = NODE_ARMATURE;
        node.datablock = static_cast<uint32_t>(s);
        c.file.nodes.push_back(node);
    }
}

}  // namespace

std::string ImportContext::NodeName(int node) const {
    const std::string& name = in.nodes[node].name;
    return name.empty() ? "node " + std::to_string(node) : name;
}

Placement PlacementOf(const Matrix& m) {
    Placement p;
    p.translation = {m.m[3][0], m.m[3][1], m.m[3][2]};
    Matrix rows = m;
    float* scale[3] = {&p.scale.x, &p.scale.y, &p.scale.z};
    for (int r = 0; r < 3; ++r) {
        const float length = std::sqrt(rows.m[r][0] * rows.m[r][0] + rows.m[r][1] * rows.m[r][1] + rows.m[r][2] * rows.m[r][2]);
        *scale[r] = length;
        for (int col = 0; col < 3; ++col) rows.m[r][col] = length > 0 ? rows.m[r][col] / length : 0;
    }
    // A mirrored frame keeps its mirror in the scale.
    const Vec3 x{rows.m[0][0], rows.m[0][1], rows.m[0][2]}, y{rows.m[1][0], rows.m[1][1], rows.m[1][2]},
        z{rows.m[2][0], rows.m[2][1], rows.m[2][2]};
    if (mesh::Dot(mesh::Cross(x, y), z) < 0) {
        p.scale.z = -p.scale.z;
        for (int col = 0; col < 3; ++col) rows.m[2][col] = -rows.m[2][col];
    }
    p.rotation = mesh::RotationOf(rows);
    return p;
}

Matrix MatrixOf(const Placement& p) { return mesh::Place(p.translation, p.rotation, p.scale); }

cf::File ImportGltf(const tinygltf::Model& model, const ImportOptions& options, std::vector<std::string>* warnings,
                    std::vector<ImportedAction>* actions) {
    // A compound of cameras and lights alone is sound (the data set has some); one of nothing is not.
    if (model.meshes.empty() && model.cameras.empty() && model.lights.empty())
        throw ImportError{"the file holds no meshes, cameras or lights: there is nothing to place"};
    ImportContext c{model, options, warnings, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}};
    const std::pair<const char*, void (*)(ImportContext&)> stages[kImportStages] = {
        {"hierarchy", ReadHierarchy}, {"skins' roles", FindSkinRoles}, {"actions", PlaceActions},
        {"images", ImportImages},      {"materials", ImportMaterials},  {"meshes", ImportMeshes},
        {"cameras", ImportCameras},    {"lights", ImportLights},        {"skins", ImportSkins},
        {"nodes", ImportNodes},        {"pictures", WriteImages}};
    for (const auto& [name, stage] : stages) {
        if (options.onStage) options.onStage(name);
        stage(c);
    }
    // Several animations report the same channel once.
    std::vector<std::string> once;
    for (const std::string& w : *warnings)
        if (std::find(once.begin(), once.end(), w) == once.end()) once.push_back(w);
    *warnings = std::move(once);
    if (actions)
        for (size_t a = 0; a < model.animations.size(); ++a)
            actions->push_back({model.animations[a].name.empty() ? "animation " + std::to_string(a) : model.animations[a].name,
                                c.actionStart[a] * options.framesPerSecond,
                                (c.actionStart[a] + c.actionEnd[a]) * options.framesPerSecond});
    return std::move(c.file);
}
