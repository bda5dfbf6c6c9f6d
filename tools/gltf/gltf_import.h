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

constexpr int kImportStages = 9;

// Reads a .gltf or a .glb file (by its extension); throws ImportError.
tinygltf::Model LoadGltf(const std::string& path, std::vector<std::string>* warnings);

// Writes the images into the texture directory; throws ImportError for
// what the compound cannot be made without. warnings name the node or mesh
// whose content the format cannot hold.
compound_file::File ImportGltf(const tinygltf::Model& model, const ImportOptions& options,
                               std::vector<std::string>* warnings);
