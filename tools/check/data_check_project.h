// The maker's lines of a script: every file a composed scene, a layer or the
// music line names must load, and every camera, light, material and shader
// it names must be in it. Findings name the script line.
#pragma once

#include <string>

#include "data_check_findings.h"

// Needs the graphics context (the recording device will do). file only names
// the script in findings; the named files are read relative to the working directory.
void CheckProjectScript(const std::string& file, const std::string& text, BoxCollector* boxes, Findings* findings);

// The same for the script at path; nothing when it does not open (the script check says so).
void CheckProjectScriptFile(const std::string& path, BoxCollector* boxes, Findings* findings);

// The engine's own files that a project without the original's scenes loads.
void CheckProjectEngineFiles(BoxCollector* boxes, Findings* findings);
