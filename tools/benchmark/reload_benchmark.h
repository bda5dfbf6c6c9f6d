// Times the live player's reloads: from saving a file to the first picture
// drawn with it (the frame presented and the GPU finished), for a shader, a
// picture and the largest compound file, each saved rounds times. Works on a
// copy of the data directory, offscreen. Prints figures only; it judges nothing.
#pragma once

#include <string>

#include "command/command_line.h"

int BenchmarkReloads(const CLI::App* app, const std::string& dataDir, int rounds);
