#include "backend/d3dx9_shader_include.h"

#include <cctype>

namespace {

constexpr int kMaxDepth = 16;
constexpr size_t kMaxExpanded = 16u << 20;

// The file an "#include" line names and how ("x" local, <x> system);
// false for any other line.
bool IncludeOf(std::string_view line, std::string* name, D3DXINCLUDE_TYPE* type) {
    size_t at = 0;
    auto blanks = [&] {
        while (at < line.size() && (line[at] == ' ' || line[at] == '\t')) ++at;
    };
    blanks();
    if (at >= line.size() || line[at] != '#') return false;
    ++at;
    blanks();
    if (line.compare(at, 7, "include") != 0) return false;
    at += 7;
    blanks();
    if (at >= line.size() || (line[at] != '"' && line[at] != '<')) return false;
    const char close = line[at] == '"' ? '"' : '>';
    *type = close == '"' ? D3DXINC_LOCAL : D3DXINC_SYSTEM;
    const size_t end = line.find(close, at + 1);
    if (end == std::string_view::npos) return false;
    *name = std::string(line.substr(at + 1, end - at - 1));
    return true;
}

bool Expand(std::string_view source, ID3DXInclude* include, const void* parent, int depth, std::string* out,
            std::string* error) {
    if (depth > kMaxDepth) {
        *error = "error: includes nest deeper than " + std::to_string(kMaxDepth);
        return false;
    }
    size_t lineNumber = 1;
    for (size_t at = 0; at < source.size(); ++lineNumber) {
        const size_t newline = source.find('\n', at);
        const size_t end = newline == std::string_view::npos ? source.size() : newline;
        const std::string_view line = source.substr(at, end - at);
        at = end + 1;
        std::string name;
        D3DXINCLUDE_TYPE type;
        if (!IncludeOf(line, &name, &type)) {
            *out += line;
            if (newline != std::string_view::npos) *out += '\n';
        } else {
            const void* data = nullptr;
            UINT bytes = 0;
            if (include->Open(type, name.c_str(), parent, &data, &bytes) != D3D_OK || (!data && bytes)) {
                *error = "error: cannot open include file '" + name + "'";
                return false;
            }
            *out += "#line 1\n";
            const bool ok = Expand(std::string_view(static_cast<const char*>(data), bytes), include, data, depth + 1,
                                   out, error);
            include->Close(data);
            if (!ok) return false;
            *out += "\n#line " + std::to_string(lineNumber + 1) + "\n";
        }
        if (out->size() > kMaxExpanded) {
            *error = "error: the source with its includes is longer than " + std::to_string(kMaxExpanded) + " bytes";
            return false;
        }
    }
    return true;
}

}  // namespace

bool ExpandIncludes(std::string_view source, ID3DXInclude* include, std::string* expanded, std::string* error) {
    expanded->clear();
    if (!include) {
        expanded->assign(source);
        return true;
    }
    return Expand(source, include, nullptr, 0, expanded, error);
}
