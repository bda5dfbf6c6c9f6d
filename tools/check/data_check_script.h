// The demo script read line by line as the player reads it, with the lines
// it would ignore or misread reported.
#pragma once

#include <string>

#include "data_check_findings.h"

constexpr const char* kScriptFile = "scripts/demo.txt";

// musicMilliseconds < 0: the music's length is unknown and not checked against.
void CheckScript(const std::string& path, long musicMilliseconds, Findings* findings);
// The same for a script already in memory; file only names it in findings.
void CheckScriptText(const std::string& file, const std::string& text, long musicMilliseconds, Findings* findings);
