// The compound files: each loads with the strict loader, holds every name the
// loading and the scenes look up, and animates over the times the scenes play.
#pragma once

#include <string>

#include "compound/compound.h"
#include "data_check_findings.h"
#include "data_check_textures.h"

// Needs the graphics context (the recording device will do). Lookups scan
// the datablock lists: the engine's own lookups end the process on a miss.
void CheckCompounds(BoxCollector* boxes, TextureCheck* textures, Findings* findings);

// One compound file as the loading names it ("scene_6.nc"): loaded into
// *compound with the strict loader and checked as above. False when it does
// not load or has an error; a name the table does not know is an error.
bool LoadAndCheckCompound(const std::string& name, Compound* compound, BoxCollector* boxes, TextureCheck* textures,
                          Findings* findings);
