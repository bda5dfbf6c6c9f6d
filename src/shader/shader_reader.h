// Reads one shader file: the HLSL vertex and pixel sources, the vertex layout
// and the shader model versions, with comments and surplus blanks stripped.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct VertexProfileElement {
    int32_t offset, components, type, usageIndex;
};

struct VertexProfile {
    std::vector<VertexProfileElement> elements;
    int32_t count = 0;  // 0 until VertexProfileCreate
};

// A "#define NAME VALUE" of a Config section, alive while that section is parsed.
struct ShaderDefine {
    int32_t value;
    std::string name;
};

// What a section's text becomes, chosen by the pragma line that opens it.
enum class ShaderSection { kNone, kGlslVertex, kGlslPixel, kHlslVertex, kHlslPixel, kConfig };

// Room for a stage's source, terminator included: far beyond the demo's own
// files, so that longer HLSL from elsewhere is not refused.
constexpr size_t kShaderSourceSize = 65536;
// The longest logical line; a line that ends in a "//" comment joins the next.
constexpr size_t kMaxShaderLine = 16383;
constexpr const char* kShaderFileExtension = ".fx";  // every shader file is name + this

// For each line of a delivered HLSL source (index 0: its first line), the
// file's line it starts on, so that the compiler's messages can name it.
struct ShaderSourceLines {
    std::vector<int32_t> vertex, pixel;
};

// Reads path (text mode). vertexSource and pixelSource are kShaderSourceSize
// bytes each and zero-filled by the caller; they always stay zero-terminated.
// A file without "VertexShaderVersion"/"PixelShaderVersion" leaves that
// version as the caller gave it, so callers pass 3 and 3 as defaults.
// Returns false when the file cannot be opened ("Shader not found!") or is
// rejected as malformed (a box naming the file and the fault): an overlong
// line, section, pragma line, "#" word or call argument, a VertexProfileSet
// before VertexProfileCreate or with an index outside 0..count-1, or a
// VertexProfileCreate count outside 0..64. Outputs may then be partly written.
bool zkReadShader(const char* path, VertexProfile* profile, char* vertexSource, char* pixelSource,
                  int32_t* vertexVersion, int32_t* pixelVersion, ShaderSourceLines* lines = nullptr);
