// A data directory that satisfies every lookup of the asset loading and the
// scenes: tiny pictures, shaders that take the parameters the scenes set,
// compound files with the wired materials, the cameras, numbered models (model
// i of a series has i + 1 faces), lights, the rooster's armature, and a short tune.
#pragma once

#include <set>
#include <string>

#include "temp_dir.h"

// Files named in leaveOut (relative paths such as "models/scene_7_padroes.nc")
// are not written.
void WriteTestDataSet(const TempDir& dir, double musicSeconds = 2.0, const std::set<std::string>& leaveOut = {});
