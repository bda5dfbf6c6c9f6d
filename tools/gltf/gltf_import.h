// A glTF 2.0 scene made into a compound: meshes to models, materials and
// their images, nodes with their placement, cameras, KHR_lights_punctual
// lights, skins to armatures and animation to node tracks and pose keys.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include <tiny_gltf.h>

#include "compound/compound_writer.h"
#include "gltf_accessors.h"

struct ImportOptions {
    std::string textureDirectory;  // where the images go as PNG files
    float framesPerSecond = 25;    // key units per second
    // Told before each of the kImportStages stages, for a progress bar.
    std::function<void(const char* stage)> onStage;
};

constexpr int kImportStages = 11;

// Reads a .gltf or a .glb file (by its first bytes); throws ImportError.
// Buffers and images come only from files inside the file's folder (with
// absoluteUris also from absolute paths); images stay encoded (as_is),
// their size read from their headers.
tinygltf::Model LoadGltf(const std::string& path, std::vector<std::string>* warnings, bool absoluteUris = false);

// One glTF animation on the compound's single key timeline, in key units.
struct ImportedAction {
    std::string name;
    float firstKey = 0, lastKey = 0;
};

// model is as LoadGltf gives it (its pictures still encoded). Writes the
// images into the texture directory, last, once the rest has
// been made; throws ImportError for what the compound cannot be made
// without. warnings name the node or mesh whose content the format cannot
// hold. Every animation becomes an action: actions (when given) says where each lies.
compound_file::File ImportGltf(const tinygltf::Model& model, const ImportOptions& options,
                               std::vector<std::string>* warnings, std::vector<ImportedAction>* actions = nullptr);
