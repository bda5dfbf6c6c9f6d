// The steps of ExportCompound, each adding its part to the glTF model.
#pragma once

#include <string>
#include <vector>

#include <tiny_gltf.h>

#include "compound/compound_writer.h"

// Whether the model carries bone numbers and weights where the skinning shader reads them.
bool IsSkinned(const compound_file::Model& model);

// One glTF mesh per model, in order, one primitive per subset.
void ExportMeshes(const compound_file::File& file, tinygltf::Model& out, std::vector<std::string>* warnings);

// Joints under the armature's glTF node, one skin per armature (skin i for
// armature i); armatureNodes holds the glTF node that places each armature.
void ExportSkins(const compound_file::File& file, const std::vector<int>& armatureNodes, tinygltf::Model& out);

// Node tracks (node i of the compound is glTF node i) and armature keys as one animation.
void ExportAnimation(const compound_file::File& file, float framesPerSecond, tinygltf::Model& out);
