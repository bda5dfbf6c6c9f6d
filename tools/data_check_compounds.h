// The compound files: each loads with the strict loader, holds every name the
// loading and the scenes look up, and animates over the times the scenes play.
#pragma once

#include "data_check_findings.h"
#include "data_check_textures.h"

// Needs the graphics context (the recording device will do). Lookups scan
// the datablock lists: the engine's own lookups end the process on a miss.
void CheckCompounds(BoxCollector* boxes, TextureCheck* textures, Findings* findings);
