// What a compound holds, as text for a person: counts, every datablock by
// index and name, vertex layouts, bounds, bones, key ranges and placements.
#pragma once

#include <string>

#include "compound/compound_writer.h"

std::string DescribeCompound(const compound_file::File& file);
