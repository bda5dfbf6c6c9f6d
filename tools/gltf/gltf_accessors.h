// Reading glTF accessors with every offset and size checked, and appending
// new ones to a model's single buffer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <tiny_gltf.h>

// A glTF file the importer cannot take; the text says what and where.
struct ImportError {
    std::string text;
};

// The accessor's elements as floats, components per element; normalised
// integers become 0..1 (or -1..1). what names the reader of it in errors.
std::vector<float> ReadFloats(const tinygltf::Model& model, int accessor, int components, const std::string& what);
// Unsigned integer elements of one component (indices, joint numbers).
std::vector<uint32_t> ReadIntegers(const tinygltf::Model& model, int accessor, int components,
                                   const std::string& what);

// Appends bytes to buffer 0 in a view of its own and returns the view.
int AddBufferView(tinygltf::Model& model, const void* data, size_t bytes, int target = 0);
// Appends data to buffer 0 in a view of its own and returns the accessor.
int AddAccessor(tinygltf::Model& model, const void* data, size_t count, int componentType, int type,
                int target = 0);
// Float elements with the min and max glTF requires of positions and animation inputs.
int AddFloatAccessor(tinygltf::Model& model, const std::vector<float>& values, int type, bool withBounds = false,
                     int target = 0);
