// The seven shader files the loading compiles, and the parameters the
// scenes set on them by name.
#pragma once

#include <string>

#include "data_check_findings.h"

// Needs the graphics context (the recording device will do) and a box collector.
void CheckShaders(BoxCollector* boxes, Findings* findings);

// One message box the shader loading showed for file ("shaders/zkBlurShader.fx"), as a finding.
void ReportShaderBox(const std::string& file, const BoxCollector::Box& box, Findings* findings);
