// What the import must know of a glTF file's JSON before the glTF library
// reads it: that it nests no deeper than the library's recursive reader
// stands, which files its buffers and images name and which extensions it
// requires. A reader of its own, bounded in depth, so that hostile JSON is
// refused before anything recursive sees it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Deep enough for any exporter's extras, shallow enough for every stack.
constexpr int kMostJsonDepth = 64;

struct GltfOutline {
    std::vector<std::string> bufferUris, imageUris;  // per element, "" where it has none
    std::vector<std::string> extensionsRequired;
};

// Throws ImportError when json is not one JSON object or nests deeper than kMostJsonDepth.
GltfOutline ReadOutline(std::string_view json);

// The JSON chunk of a binary glTF file; throws ImportError when its header
// or the chunk's length does not fit the file.
std::string_view GlbJson(std::string_view file);
