// The passes over a D3DX source that run before glslang: any bytes, with
// an entry name taken from the first line. The prepared text keeps the
// lines of the source; #include lines, served the source itself, end.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "backend/d3dx9_shader_include.h"
#include "backend/hlsl_compiler_source.h"

namespace {

// Serves the fuzzed source for every name: includes nest until the limit stops them.
class SelfInclude : public ID3DXInclude {
public:
    explicit SelfInclude(const std::string& text) : text_(text) {}
    HRESULT Open(D3DXINCLUDE_TYPE, const char*, const void*, const void** data, UINT* bytes) override {
        *data = text_.data();
        *bytes = static_cast<UINT>(text_.size());
        return D3D_OK;
    }
    HRESULT Close(const void*) override { return D3D_OK; }

private:
    const std::string& text_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const size_t line = input.find('\n');
    const std::string entry = line == std::string::npos ? "main" : input.substr(0, line);
    const std::string source = line == std::string::npos ? input : input.substr(line + 1);
    const PreparedHlsl prepared = PrepareHlsl(source, entry);
    if (std::count(source.begin(), source.end(), '\n') != std::count(prepared.text.begin(), prepared.text.end(), '\n'))
        std::abort();
    SelfInclude include(source);
    std::string expanded, error;
    ExpandIncludes(source, &include, &expanded, &error);
    return 0;
}
