#include "gltf_export.h"

#include <algorithm>
#include <cmath>

#include "gltf_export_parts.h"
#include "gltf_extras.h"
#include "gltf_files.h"
#include "gltf_space.h"
#include "model/material.h"

namespace cf = compound_file;

namespace {

constexpr double kSceneFieldOfViewDegrees = 36, kSceneNear = 0.2, kSceneFar = 1000;
constexpr double kPi = 3.14159265358979323846;

void ExportImages(const cf::File& file, tinygltf::Model& out) {
    for (size_t i = 0; i < file.textures.size(); ++i) {
        tinygltf::Image image;
        // A compound may hold any bytes as a name: the glTF gets one that names a file beside it.
        image.uri = PlainFileNameOf(file.textures[i]);
        image.name = image.uri.substr(0, image.uri.rfind('.'));
        out.images.push_back(image);
        tinygltf::Texture texture;  // texture i shows image i, as texture record i does
        texture.source = static_cast<int>(i);
        out.textures.push_back(texture);
    }
}

void ExportMaterials(const cf::File& file, tinygltf::Model& out) {
    for (const cf::Material& m : file.materials) {
        tinygltf::Material material;
        material.name = m.name;
        material.pbrMetallicRoughness.baseColorFactor.assign(m.diffuse.begin(), m.diffuse.end());
        material.pbrMetallicRoughness.metallicFactor = 0;  // a plain diffuse surface
        material.pbrMetallicRoughness.roughnessFactor = 1;
        if (!m.textures.empty()) material.pbrMetallicRoughness.baseColorTexture.index = static_cast<int>(m.textures[0]);
        if (m.flags & MATERIAL_BLEND) material.alphaMode = m.blendMode == 2 ? "MASK" : "BLEND";
        material.doubleSided = m.cullMode == 1;
        Extras extras{{"flags", Number(m.flags)}, {"blendMode", Number(m.blendMode)}, {"cullMode", Number(m.cullMode)}};
        if (m.textures.size() > 1)
            extras["textures"] = Numbers(std::vector<double>(m.textures.begin() + 1, m.textures.end()));
        material.extras = tinygltf::Value(extras);
        out.materials.push_back(material);
    }
}

void ExportCameras(const cf::File& file, tinygltf::Model& out) {
    for (const cf::Camera& c : file.cameras) {
        tinygltf::Camera camera;
        camera.name = c.name;
        camera.type = "perspective";
        // The scenes' own projection: the file holds no lens.
        camera.perspective.yfov = kSceneFieldOfViewDegrees * kPi / 180;
        camera.perspective.znear = kSceneNear;
        camera.perspective.zfar = kSceneFar;
        camera.extras = tinygltf::Value(Extras{{"value", Number(c.value)}});
        out.cameras.push_back(camera);
    }
}

void ExportLights(const cf::File& file, tinygltf::Model& out) {
    for (const cf::Light& l : file.lights) {
        tinygltf::Light light;
        light.name = l.name;
        light.type = l.positionW == 0 ? "directional" : "point";
        // glTF colours stop at 1: a brighter light moves its brightness into the intensity.
        const double brightest = std::max({l.colour[0], l.colour[1], l.colour[2], 1.0f});
        light.color = {l.colour[0] / brightest, l.colour[1] / brightest, l.colour[2] / brightest};
        light.intensity = brightest;
        light.extras = tinygltf::Value(Extras{{"kind", Number(l.kind)},
                                              {"colourW", Number(l.colourW)},
                                              {"alpha", Number(l.colour[3])},
                                              {"positionW", Number(l.positionW)}});
        out.lights.push_back(light);
    }
    if (!file.lights.empty()) out.extensionsUsed.push_back("KHR_lights_punctual");
}

// The first placement flag decides, as in the loader.
void Place(const cf::Node& n, const cf::File& file, tinygltf::Node& node) {
    const auto fits = [&n](size_t count) { return n.datablock < count; };
    if (n.flags & NODE_MODEL) {
        if (fits(file.models.size())) node.mesh = static_cast<int>(n.datablock);
    } else if (n.flags & NODE_CAMERA) {
        if (fits(file.cameras.size())) node.camera = static_cast<int>(n.datablock);
    } else if (n.flags & NODE_EMPTY) {
        // places nothing, and hides a light or armature flag after it
    } else if (n.flags & NODE_LIGHT) {
        if (fits(file.lights.size()))
            node.extensions["KHR_lights_punctual"] =
                tinygltf::Value(Extras{{"light", tinygltf::Value(static_cast<int>(n.datablock))}});
    }
}

// Every node at the top level: the engine places each by its own values alone.
std::vector<int> ExportNodes(const cf::File& file, tinygltf::Model& out) {
    std::vector<int> armatureNodes(file.armatures.size(), -1);
    tinygltf::Scene scene;
    for (size_t i = 0; i < file.nodes.size(); ++i) {
        const cf::Node& n = file.nodes[i];
        tinygltf::Node node;
        node.name = n.name;
        const Vec3 t = gltf_space::ToGltf(n.position);
        const Quaternion q = gltf_space::ToGltf(n.rotation);
        node.translation = {t.x, t.y, t.z};
        node.rotation = {q.x, q.y, q.z, q.w};
        node.scale = {n.scale.x, n.scale.y, n.scale.z};
        Place(n, file, node);
        Extras extras{{"flags", Number(n.flags)}};
        if (n.parent && *n.parent < file.nodes.size()) extras["parent"] = Text(ValidUtf8(file.nodes[*n.parent].name));
        node.extras = tinygltf::Value(extras);
        const bool placesArmature = !(n.flags & (NODE_MODEL | NODE_CAMERA | NODE_EMPTY | NODE_LIGHT)) &&
                                    (n.flags & NODE_ARMATURE) && n.datablock < file.armatures.size();
        if (placesArmature && armatureNodes[n.datablock] < 0) armatureNodes[n.datablock] = static_cast<int>(i);
        out.nodes.push_back(node);
        scene.nodes.push_back(static_cast<int>(i));
    }
    // An armature no node places still needs a root for its joints.
    for (size_t a = 0; a < file.armatures.size(); ++a) {
        if (armatureNodes[a] >= 0) continue;
        tinygltf::Node node;
        node.name = file.armatures[a].name;
        armatureNodes[a] = static_cast<int>(out.nodes.size());
        scene.nodes.push_back(armatureNodes[a]);
        out.nodes.push_back(node);
    }
    out.scenes.push_back(scene);
    out.defaultScene = 0;
    return armatureNodes;
}

// Every name the compound gave, as UTF-8.
void KeepNamesUtf8(tinygltf::Model& out) {
    const auto valid = [](auto& list) {
        for (auto& item : list) item.name = ValidUtf8(item.name);
    };
    valid(out.images), valid(out.materials), valid(out.meshes), valid(out.cameras), valid(out.lights);
    valid(out.nodes), valid(out.skins), valid(out.animations);
    for (tinygltf::Image& image : out.images) image.uri = ValidUtf8(image.uri);
}

}  // namespace

tinygltf::Model ExportCompound(const cf::File& file, float framesPerSecond, std::vector<std::string>* warnings) {
    tinygltf::Model out;
    out.asset.version = "2.0";
    out.asset.generator = "Halcyon98Piece halcyon export";
    ExportImages(file, out);
    ExportMaterials(file, out);
    ExportMeshes(file, out, warnings);
    ExportCameras(file, out);
    ExportLights(file, out);
    const std::vector<int> armatureNodes = ExportNodes(file, out);
    ExportSkins(file, armatureNodes, out);
    ExportAnimation(file, framesPerSecond, out);
    KeepNamesUtf8(out);
    return out;
}
