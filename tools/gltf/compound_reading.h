// A compound file read by the engine's own loader and described again as the
// writer's records, so that tools see exactly what the demo would load.
#pragma once

#include <string>

#include "compound/compound_writer.h"

// False with the loader's message in error when the file is missing or damaged.
bool ReadCompound(const std::string& path, compound_file::File* file, std::string* error);
