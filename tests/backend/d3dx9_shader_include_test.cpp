#include "backend/d3dx9_shader_include.h"

#include <gtest/gtest.h>

namespace {

// Serves one text for every name, so a file that includes anything includes itself.
class EchoInclude : public ID3DXInclude {
public:
    explicit EchoInclude(std::string text) : text_(std::move(text)) {}
    HRESULT Open(D3DXINCLUDE_TYPE, const char*, const void*, const void** data, UINT* bytes) override {
        *data = text_.data();
        *bytes = static_cast<UINT>(text_.size());
        return D3D_OK;
    }
    HRESULT Close(const void*) override { return D3D_OK; }

private:
    std::string text_;
};

}  // namespace

TEST(ExpandIncludes, IncludeLinesAreReplacedAndOthersKept) {
    EchoInclude include("float x;");
    const struct {
        const char* source;
        const char* expanded;
    } kCases[] = {
        {"#include \"a.h\"\nfloat y;", "#line 1\nfloat x;\n#line 2\nfloat y;"},
        {"  #  include <a.h>", "#line 1\nfloat x;\n#line 2\n"},
        {"#include \"unterminated\nfloat y;\n", "#include \"unterminated\nfloat y;\n"},
        {"#included \"a.h\"", "#included \"a.h\""},
        {"// #include \"a.h\"", "// #include \"a.h\""},
        {"", ""},
    };
    for (const auto& c : kCases) {
        std::string expanded, error;
        EXPECT_TRUE(ExpandIncludes(c.source, &include, &expanded, &error)) << c.source << ": " << error;
        EXPECT_EQ(expanded, c.expanded) << c.source;
    }
    std::string expanded, error;
    EXPECT_TRUE(ExpandIncludes("#include \"a.h\"", nullptr, &expanded, &error));
    EXPECT_EQ(expanded, "#include \"a.h\"");  // no handler: the compiler sees the line
}

TEST(ExpandIncludes, AFileThatIncludesItselfStopsAtTheDepthLimit) {
    EchoInclude include("#include \"self.h\"\n");
    std::string expanded, error;
    EXPECT_FALSE(ExpandIncludes("#include \"self.h\"\n", &include, &expanded, &error));
    EXPECT_NE(error.find("deeper than 16"), std::string::npos) << error;
}
