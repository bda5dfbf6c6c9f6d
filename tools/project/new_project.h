// A new demo project: the data layout with the engine's shaders and
// pictures, a short generated tune, small generated compounds and a script of
// composed scenes that plays at once.
#pragma once

#include <string>

constexpr double kNewProjectSeconds = 20.0;

// The script of a new project.
std::string NewProjectScript();

// Writes the project into directory, which must not exist or be empty;
// engineDir is the data directory the engine's shaders and pictures are
// copied from. False, with *error saying why, when anything fails.
bool WriteNewProject(const std::string& directory, const std::string& engineDir, std::string* error);
