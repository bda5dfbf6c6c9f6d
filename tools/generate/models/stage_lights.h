// Lights for the stage files: one light datablock and the node placing it.
#pragma once

#include <array>
#include <string>

#include "compound/compound_writer.h"

namespace stage {

// Adds a light named name, placed by a node of the same name at position.
void AddLight(compound_file::File& file, const std::string& name, std::array<float, 3> rgb, float colourW,
              Vec3 position);
// Adds camera name and the node placing it at eye, looking at target.
void AddCamera(compound_file::File& file, const std::string& name, Vec3 eye, Vec3 target);

}  // namespace stage
