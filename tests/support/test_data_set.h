// A data directory that satisfies every lookup of the asset loading: tiny
// pictures, shaders that compile, compound files holding the materials that
// are wired, and a short tune.
#pragma once

#include <set>
#include <string>

#include "temp_dir.h"

// Files named in leaveOut (relative paths such as "models/scene_7_padroes.nc")
// are not written.
void WriteTestDataSet(const TempDir& dir, double musicSeconds = 2.0, const std::set<std::string>& leaveOut = {});
