#include "shader/shader_reader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "recording_fixture.h"
#include "temp_dir.h"

namespace {

constexpr const char* kPath = "shaders\\x.fx";

// Writes shaders/x.fx and reads it back the way the shader loader does.
class ShaderReaderTest : public ::testing::Test {
protected:
    ShaderReaderTest() : cwd_(dir_.path()) {}

    bool Read(const std::string& bytes) {
        dir_.Write("shaders/x.fx", bytes);
        return ReadPath(kPath);
    }
    bool ReadPath(const char* path) {
        vertex_.assign(kShaderSourceSize, '\0');
        pixel_.assign(kShaderSourceSize, '\0');
        return zkReadShader(path, &profile_, vertex_.data(), pixel_.data(), &vertexVersion_, &pixelVersion_, &lines_);
    }
    std::string Vertex() const { return vertex_.data(); }
    std::string Pixel() const { return pixel_.data(); }

    TempDir dir_;
    WorkingDirectory cwd_;
    MessageBoxCapture boxes_;
    VertexProfile profile_;
    std::vector<char> vertex_, pixel_;
    int32_t vertexVersion_ = 3, pixelVersion_ = 3;
    ShaderSourceLines lines_;
};

void ExpectElement(const VertexProfileElement& e, int32_t offset, int32_t components, int32_t type, int32_t usage) {
    EXPECT_EQ(e.offset, offset);
    EXPECT_EQ(e.components, components);
    EXPECT_EQ(e.type, type);
    EXPECT_EQ(e.usageIndex, usage);
}

TEST_F(ShaderReaderTest, MissingFileShowsShaderNotFound) {
    EXPECT_FALSE(ReadPath("shaders\\absent.fx"));
    ASSERT_EQ(boxes_.boxes.size(), 1u);
    EXPECT_EQ(boxes_.boxes[0].text, "Shader not found!");
    EXPECT_EQ(boxes_.boxes[0].caption, "zkReadShader");
    EXPECT_EQ(boxes_.boxes[0].type, MB_OK);
}

TEST_F(ShaderReaderTest, SectionsAreCleanedAndDeliveredByTheNextPragmaOrEnd) {
    const struct {
        const char* name;
        std::string file, vertex, pixel;
    } cases[] = {
        {"empty file", "", "", ""},
        {"no pragma", "float4 main() : COLOR { return 1; }\nVertexProfileCreate(2)\n", "", ""},
        {"delivered only by the next pragma", "#pragma HLSL_VS\nvertex code\n#pragma HLSL_PS\npixel code\n",
         "vertex code\n", ""},
        {"cut off inside its first section", "#pragma HLSL_PS\nfloat4 main() : CO", "", ""},
        {"Windows line ends read as text mode", "#pragma HLSL_PS\r\nfloat4 a; // c\r\nb\r\nlone\rcr\r\n#end\r\n", "",
         "float4 a; b\nlone\rcr\n"},
        {"blanks and comments",
         "before\n#pragma HLSL_PS\n  float4\tmain() :  \t COLOR { \n\t\treturn a /* inline */ + b;\n\n}\n#end\n", "",
         "float4 main() : COLOR { \nreturn a + b;\n\n}\n"},
        {"comments across lines, strings kept",
         "#pragma HLSL_PS\nint a; // note\nint b;\nleft /* one\n two */ right\ns = \"http://x\";\n"
         "a \"b\n  c\" d\n// whole line\ne\n#end\n",
         "", "int a; int b;\nleft right\ns = \"http://x\";\na \"b\n  c\" d\ne\n"},
        // The last line "#end " closes the section even with a comment after it.
        {"line comment after the last #end", "#pragma HLSL_PS\nx\n#end // tail", "", "x\n"},
        {"block comment open at the end", "#pragma HLSL_PS\nx\n#end /* open\nstill open", "", "x\n"},
        {"pragma kinds matched on the whole line",
         "#pragma HLSL_VS \ntrailing blank\n#pragma HLSL_PS // joined\njoined line\n#pragma HLSL_VS\nfirst version\n"
         "#pragma GLSL_VS\nvoid main() {}\n#pragma GLSL_PS\nvoid main() {}\n#pragma HLSL_VS\n#define SCALE 2\nv\n"
         "#pragma Something\nignored\n#end\n",
         "#define SCALE 2\nv\n", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(Read(c.file));
        EXPECT_EQ(Vertex(), c.vertex);
        EXPECT_EQ(Pixel(), c.pixel);
        EXPECT_EQ(profile_.count, 0);  // no Config section: profile and versions untouched
        EXPECT_TRUE(profile_.elements.empty());
        EXPECT_EQ(vertexVersion_, 3);
        EXPECT_EQ(pixelVersion_, 3);
    }
    EXPECT_TRUE(boxes_.boxes.empty());
}

TEST_F(ShaderReaderTest, ConfigFillsProfileAndVersions) {
    EXPECT_TRUE(Read("#pragma Config\n"
                     "#define POSITION 1\n"
                     "#define NORMAL 2\n"
                     "#define EMPTY\n"
                     "VertexProfileCreate(4)\n"
                     "VertexProfileSet(0,0,3,POSITION,0)\n"
                     "VertexProfileSet(1,12,3, NORMAL,0)\n"
                     "VertexProfileSet( 2 , 24 , 2 ,EMPTY, 1 )\n"
                     "VertexProfileSet(3,32,4,UNKNOWN,0)\n"
                     "VertexShaderVersion(2)\n"
                     "PixelShaderVersion( 1 )\n"
                     "#preprocessor VertexShaderVersion(9)\n"
                     "UnknownCommand(7)\n"
                     "vertexshaderversion(8)\n"
                     "a line without a call\n"
                     "#end\n"));
    ASSERT_EQ(profile_.count, 4);
    ASSERT_EQ(profile_.elements.size(), 4u);
    ExpectElement(profile_.elements[0], 0, 3, 1, 0);
    ExpectElement(profile_.elements[1], 12, 3, -1, 0);
    ExpectElement(profile_.elements[2], 24, 2, 0, 1);
    ExpectElement(profile_.elements[3], 32, 4, -1, 0);
    EXPECT_EQ(vertexVersion_, 2);
    EXPECT_EQ(pixelVersion_, 1);
    EXPECT_EQ(Vertex(), "");
    EXPECT_TRUE(boxes_.boxes.empty());
}

TEST_F(ShaderReaderTest, DefinesBelongToTheirConfigSectionAndCreateReplaces) {
    EXPECT_TRUE(Read("#pragma Config\n#define POSITION 1\nVertexProfileCreate(3)\n"
                     "#pragma Config\nVertexProfileCreate(1)\nVertexProfileSet(0,0,3,POSITION,0)\n"
                     "#end\n"));
    ASSERT_EQ(profile_.count, 1);
    ASSERT_EQ(profile_.elements.size(), 1u);
    ExpectElement(profile_.elements[0], 0, 3, -1, 0);
}

// Comments join and leading blank lines stay: each source line keeps the file line it starts on.
TEST_F(ShaderReaderTest, EachSourceLineKnowsTheFileLineItStartsOn) {
    EXPECT_TRUE(Read("// header\n#pragma HLSL_VS\nfloat4 a; // joined\nfloat4 b;\n\n/* block\n   */ float4 c;\n"
                     "#pragma HLSL_PS\r\nfloat4 main() : COLOR { return 1; }\r\n#end\n"));
    EXPECT_EQ(Vertex(), "float4 a; float4 b;\n\nfloat4 c;\n");
    EXPECT_EQ(lines_.vertex, (std::vector<int32_t>{3, 5, 7}));
    EXPECT_EQ(lines_.pixel, (std::vector<int32_t>{9}));
}

TEST_F(ShaderReaderTest, LimitsAreInclusive) {
    // Lines of the longest length, and a last shorter one, fill a section to its room exactly.
    const std::string full = std::string(kMaxShaderLine, 'a') + "\n";
    std::string section;
    while (section.size() + full.size() < kShaderSourceSize - 1) section += full;
    section += std::string(kShaderSourceSize - 2 - section.size(), 'b') + "\n";
    EXPECT_TRUE(Read("#pragma HLSL_PS\n" + section + "#end\n"));
    EXPECT_EQ(Pixel().size(), kShaderSourceSize - 1);
    EXPECT_TRUE(Read("#pragma Config\nVertexProfileCreate(64)\n"
                     "VertexProfileSet(63,0,3," + std::string(127, 'T') + ",0)\n#end\n"));
    EXPECT_EQ(profile_.count, 64);
    EXPECT_TRUE(boxes_.boxes.empty());
}

struct MalformedCase {
    const char* name;
    std::string content;
    std::string fault;
};

TEST_F(ShaderReaderTest, MalformedFilesAreRejectedNamingTheFile) {
    const std::string line = std::string(1000, 'x') + "\n";
    std::string longSection = "#pragma HLSL_PS\n";
    while (longSection.size() < kShaderSourceSize + 16) longSection += line;
    const std::string maxLine = std::to_string(kMaxShaderLine), maxSection = std::to_string(kShaderSourceSize - 1);
    const std::string config = "#pragma Config\n#define P 1\n";
    const std::vector<MalformedCase> cases = {
        {"overlong line", "#pragma HLSL_PS\n" + std::string(kMaxShaderLine + 2, 'a') + "\n#end\n",
         "line longer than " + maxLine},
        {"line too long before any pragma", std::string(kMaxShaderLine + 1, 'a'), "line longer than " + maxLine},
        {"overlong section", longSection + "#end\n", "section longer than " + maxSection},
        {"overlong pragma line", "#pragma " + std::string(120, 'p') + "\n", "pragma line longer than 127"},
        {"overlong # word", "#" + std::string(128, 'w') + " x\n", "longer than 127"},
        {"overlong argument", config + "VertexProfileCreate(1)\nVertexProfileSet(0,0,3," + std::string(128, 'P') +
                                  ",0)\n#end\n",
         "argument of VertexProfileSet longer than 127"},
        {"index out of range", config + "VertexProfileCreate(2)\nVertexProfileSet(2,0,3,P,0)\n#end\n",
         "VertexProfileSet index 2 outside 0..1"},
        {"negative index", config + "VertexProfileCreate(2)\nVertexProfileSet(-1,0,3,P,0)\n#end\n",
         "VertexProfileSet index -1"},
        {"set before create", config + "VertexProfileSet(0,0,3,P,0)\n#end\n",
         "VertexProfileSet before VertexProfileCreate"},
        {"huge create count", config + "VertexProfileCreate(99999999999)\n#end\n", "VertexProfileCreate count"},
        {"negative create count", config + "VertexProfileCreate(-1)\n#end\n", "VertexProfileCreate count -1"},
    };
    for (const MalformedCase& c : cases) {
        SCOPED_TRACE(c.name);
        boxes_.boxes.clear();
        EXPECT_FALSE(Read(c.content));
        ASSERT_EQ(boxes_.boxes.size(), 1u);
        EXPECT_EQ(boxes_.boxes[0].caption, "zkReadShader");
        EXPECT_EQ(boxes_.boxes[0].type, MB_ICONEXCLAMATION);
        EXPECT_NE(boxes_.boxes[0].text.find(kPath), std::string::npos) << boxes_.boxes[0].text;
        EXPECT_NE(boxes_.boxes[0].text.find(c.fault), std::string::npos) << boxes_.boxes[0].text;
        EXPECT_EQ(vertex_[kShaderSourceSize - 1], '\0');
        EXPECT_EQ(pixel_[kShaderSourceSize - 1], '\0');
    }
}

TEST_F(ShaderReaderTest, RandomBytesNeverCrash) {
    // Random bytes seasoned with the format's own tokens so every path gets hit.
    const std::vector<std::string> tokens = {"#pragma Config\n", "#pragma HLSL_VS\n", "#pragma HLSL_PS\n", "#end\n",
                                             "#define P 1\n", "VertexProfileCreate(", "VertexProfileSet(", ",",
                                             ")", "\"", "//", "/*", "*/", "\n", " ", "\t", std::string(1, '\0'),
                                             "\xff", std::string(300, 'z')};
    std::mt19937 random(1234);
    for (int file = 0; file < 300; ++file) {
        std::string bytes;
        const int pieces = static_cast<int>(random() % 400);
        for (int i = 0; i < pieces; ++i) {
            if (random() % 3 == 0)
                bytes += tokens[random() % tokens.size()];
            else
                bytes += static_cast<char>(random() % 256);
        }
        boxes_.boxes.clear();
        profile_ = VertexProfile();
        if (!Read(bytes)) {
            ASSERT_EQ(boxes_.boxes.size(), 1u);
            EXPECT_NE(boxes_.boxes[0].text.find(kPath), std::string::npos);
        }
        EXPECT_EQ(vertex_[kShaderSourceSize - 1], '\0');
        EXPECT_EQ(pixel_[kShaderSourceSize - 1], '\0');
        EXPECT_EQ(static_cast<size_t>(profile_.count), profile_.elements.size());
    }
}

}  // namespace
