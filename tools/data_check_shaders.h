// The seven shader files the loading compiles, and the parameters the
// scenes set on them by name.
#pragma once

#include "data_check_findings.h"

// Needs the graphics context (the recording device will do) and a box collector.
void CheckShaders(BoxCollector* boxes, Findings* findings);
