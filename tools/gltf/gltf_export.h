// A compound described as a glTF 2.0 scene that Blender and glTF viewers
// open: every node at the top level placed where the engine draws it,
// models as meshes, materials, cameras, lights (KHR_lights_punctual),
// armatures as skins and all key tracks as one animation. What glTF has no
// field for is kept in "extras" so that import gives the compound back.
#pragma once

#include <string>
#include <vector>

#include <tiny_gltf.h>

#include "compound/compound_writer.h"

// Key times are divided by framesPerSecond to give seconds. Images refer to
// the texture file names; warnings name what could not be said in glTF.
tinygltf::Model ExportCompound(const compound_file::File& file, float framesPerSecond,
                               std::vector<std::string>* warnings);
