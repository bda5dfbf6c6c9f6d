// fopen for the demo's data paths, which are written with Windows separators.
#pragma once

#include <cstdio>
#include <string>

// Backslashes in the path become '/'.
FILE* OpenDataFile(const std::string& path, const char* mode);
