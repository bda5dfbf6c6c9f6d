#include "shader/shader.h"

#include <memory>
#include <string>

#include "backend/gl_stage_link.h"
#include "recording_fixture.h"
#include "shader/shader_reader.h"
#include "temp_dir.h"

namespace {

constexpr const char* kVertexSource = R"(float4x4 zk_ModelViewProjectionMatrix;
float4x4 zk_NormalMatrix;
struct VS_OUTPUT {
    float4 position : POSITION;
    float2 uv : TEXCOORD0;
};
VS_OUTPUT main(float3 p : POSITION, float2 uv : TEXCOORD0) {
    VS_OUTPUT o;
    o.position = mul(float4(p, 1.0), zk_ModelViewProjectionMatrix);
    o.uv = uv;
    return o;
}
)";

constexpr const char* kPixelSource = R"(sampler2D picture;
float4 main(float2 uv : TEXCOORD0) : COLOR {
    return tex2D(picture, uv);
}
)";

constexpr const char* kBrokenPixelSource = "float4 main(float2 uv : TEXCOORD0) : COLOR { return undefinedThing; }\n";

constexpr const char* kTexturedConfig = R"(#define POSITION 1
#define TEXCOORD 4
VertexProfileCreate(2)
VertexProfileSet(0,0,3,POSITION,0)
VertexProfileSet(1,12,2,TEXCOORD,0)
VertexShaderVersion(3)
PixelShaderVersion(3)
)";

std::string ShaderFile(const std::string& vertex, const std::string& pixel, const std::string& config) {
    return "#pragma HLSL_VS\n" + vertex + "#pragma HLSL_PS\n" + pixel + "#pragma Config\n" + config + "#end\n";
}

class ShaderLoading : public RecordingShell {
protected:
    void SetUp() override {
        RecordingShell::SetUp();
        inData = std::make_unique<WorkingDirectory>(data.path());
        aliveBefore = log.resourcesAlive;
    }
    void TearDown() override {
        zkReleaseShader(slot);
        inData.reset();
        RecordingShell::TearDown();
    }

    TempDir data;
    std::unique_ptr<WorkingDirectory> inData;
    MessageBoxCapture boxes;
    Shader* slot = nullptr;
    int aliveBefore = 0;
};

}  // namespace

TEST_F(ShaderLoading, LoadsBothStagesWithDeclarationAndUsedHandles) {
    data.Write("shaders/textured.fx", ShaderFile(kVertexSource, kPixelSource, kTexturedConfig));
    ASSERT_TRUE(zkLoadShader(slot, "textured"));
    ASSERT_NE(slot, nullptr);
    EXPECT_TRUE(boxes.boxes.empty());

    const auto declarations = CallsStartingWith("CreateVertexDeclaration(");
    ASSERT_EQ(declarations.size(), 1u);
    EXPECT_EQ(declarations[0].substr(0, declarations[0].find(" = ")), "CreateVertexDeclaration([0 2 0 0 | 12 1 5 0])");
    EXPECT_EQ(CallsStartingWith("CreateVertexShader() = vertexshader#").size(), 1u);
    EXPECT_EQ(CallsStartingWith("CreatePixelShader() = pixelshader#").size(), 1u);
    EXPECT_TRUE(slot->declaration && slot->vertexShader && slot->pixelShader && slot->vertexConstants);

    EXPECT_NE(slot->vsModelViewProjectionMatrix, nullptr);
    EXPECT_EQ(slot->vsNormalMatrix, nullptr);  // declared but unused

    zkReleaseShader(slot);
    EXPECT_EQ(slot, nullptr);
    EXPECT_EQ(log.resourcesAlive, aliveBefore);
    zkReleaseShader(slot);  // an empty slot is left alone
}

TEST_F(ShaderLoading, CompileErrorsShowOneBoxAndLeaveTheSlotNull) {
    data.Write("shaders/badpixel.fx", ShaderFile(kVertexSource, kBrokenPixelSource, kTexturedConfig));
    EXPECT_FALSE(zkLoadShader(slot, "badpixel"));
    EXPECT_EQ(slot, nullptr);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].caption, "HLSL PixelShader Compile Failure");
    EXPECT_EQ(boxes.boxes[0].type, MB_ICONEXCLAMATION);
    EXPECT_NE(boxes.boxes[0].text.find("undefinedThing"), std::string::npos) << boxes.boxes[0].text;
    EXPECT_EQ(CallsStartingWith("CreateVertexShader() = vertexshader#").size(), 1u);
    EXPECT_EQ(log.resourcesAlive, aliveBefore);  // the half-built shader is gone
}

TEST_F(ShaderLoading, MissingFilesAndUnknownElementTypesGiveNoShader) {
    EXPECT_FALSE(zkLoadShader(slot, "absent"));
    EXPECT_EQ(slot, nullptr);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "Shader not found!");

    // TANGENT has no define, so the reader gives it type -1.
    boxes.boxes.clear();
    data.Write("shaders/tangent.fx",
               ShaderFile(kVertexSource, kPixelSource,
                          "#define POSITION 1\n#define TEXCOORD 4\nVertexProfileCreate(3)\n"
                          "VertexProfileSet(0,0,3,POSITION,0)\nVertexProfileSet(1,12,2,TEXCOORD,0)\n"
                          "VertexProfileSet(2,20,3,TANGENT,0)\n"));
    EXPECT_FALSE(zkLoadShader(slot, "tangent"));
    EXPECT_EQ(slot, nullptr);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, "shaders\\tangent.fx: vertex element 2 has unknown type -1");
    EXPECT_EQ(boxes.boxes[0].caption, "zkCompileShader");
    EXPECT_TRUE(CallsStartingWith("CreateVertexDeclaration").empty());
    EXPECT_EQ(log.resourcesAlive, aliveBefore);
}

// A pair the device cannot join (here an intrinsic of a later shader model
// that the HLSL front end takes and GLSL 3.30 has not) fails when it
// loads, not when it is first drawn.
TEST_F(ShaderLoading, APairThatCannotLinkFailsAtLoadAsItsPixelStage) {
    const std::string pixel = "float4 k;\nfloat4 main() : COLOR { return countbits((uint)k.x); }\n";
    data.Write("shaders/nolink.fx", ShaderFile(kVertexSource, pixel, kTexturedConfig));
    EXPECT_FALSE(zkLoadShader(slot, "nolink"));
    EXPECT_EQ(slot, nullptr);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].caption, "HLSL PixelShader Compile Failure");
    EXPECT_EQ(boxes.boxes[0].type, MB_ICONEXCLAMATION);
    EXPECT_EQ(boxes.boxes[0].text.rfind(kStagesDoNotLink, 0), 0u) << boxes.boxes[0].text;
    EXPECT_EQ(log.resourcesAlive, aliveBefore);
}

// The compiler's line is the file's line, with the file named, as an editor jumps to it.
TEST_F(ShaderLoading, CompileErrorsNameTheFileAndItsLine) {
    data.Write("shaders/lines.fx", "// a shader\n\n#pragma HLSL_VS\n" + std::string(kVertexSource) +
                                       "#pragma HLSL_PS\n/* two\nlines */\n" + kBrokenPixelSource +
                                       "#pragma Config\n" + kTexturedConfig + "#end\n");
    EXPECT_FALSE(zkLoadShader(slot, "lines"));
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_NE(boxes.boxes[0].text.find("ERROR: shaders\\lines.fx:19: 'undefinedThing'"), std::string::npos)
        << boxes.boxes[0].text;
    EXPECT_NE(boxes.boxes[0].text.find("\nshaders\\lines.fx:19: error at column"), std::string::npos)
        << boxes.boxes[0].text;
    EXPECT_EQ(boxes.boxes[0].text.find("0:"), std::string::npos) << boxes.boxes[0].text;
}

TEST(ShaderMessages, CompilerLinesBecomeFileLines) {
    const std::vector<int32_t> lines = {3, 5, 9};
    const struct {
        const char* text;
        const char* expected;
    } kCases[] = {
        {"ERROR: 0:2: 'x' : undeclared\nERROR: 0:3: '' : compilation terminated\n",
         "ERROR: f.fx:5: 'x' : undeclared\nERROR: f.fx:9: '' : compilation terminated\n"},
        {"WARNING: 0:1: 'y' : unused", "WARNING: f.fx:3: 'y' : unused"},
        {"(2): error at column 40, HLSL parsing failed.", "f.fx:5: error at column 40, HLSL parsing failed."},
        {"ERROR: 0:4: past the last line", "ERROR: 0:4: past the last line"},
        {"(4): past the last line", "(4): past the last line"},
        {"ERROR: 0:3 no colon", "ERROR: 0:3 no colon"},
        {"ERROR: 0:0: no line zero", "ERROR: 0:0: no line zero"},
        {"ERROR: 0:99999999999999: huge", "ERROR: 0:99999999999999: huge"},
        {"ERROR: 0:", "ERROR: 0:"},
        {"ERROR: 2 compilation errors.  No code generated.", "ERROR: 2 compilation errors.  No code generated."},
        {"error: the HLSL compiler crashed", "error: the HLSL compiler crashed"},
    };
    for (const auto& c : kCases) EXPECT_EQ(WithFileLines(c.text, lines, "f.fx"), c.expected) << c.text;
}

TEST_F(ShaderLoading, CompileSkipsTinySources) {
    // No elements: the declaration holds only the end marker. One character is no source.
    const VertexProfile empty;
    auto* shader = new Shader();
    EXPECT_TRUE(zkCompileShader(shader, "x", kPixelSource, &empty, 3, 2));
    EXPECT_EQ(CallsStartingWith("CreateVertexDeclaration([]) = declaration#").size(), 1u);
    EXPECT_TRUE(CallsStartingWith("CreateVertexShader").empty());
    EXPECT_TRUE(!shader->vertexShader && !shader->vertexConstants && shader->pixelShader);
    EXPECT_TRUE(boxes.boxes.empty());
    zkReleaseShader(shader);
    EXPECT_EQ(log.resourcesAlive, aliveBefore);
}

// Each shows the stage's compile-failure box with the compiler's own text,
// glslang's own crashes included.
TEST_F(ShaderLoading, CompilerErrorsAndCompilerCrashesShowTheBoxWithTheCompilersText) {
    const struct {
        const char* pixel;
        int pixelVersion;
        const char* expected;  // in the box's text
    } cases[] = {
        {"float4 main() : COLOR { return float4(1, 1, 1, 1) }\n", 3, "error"},  // missing semicolon
        {"float4 main() : COLOR { return 1; }\n", 5, "ps_5_0"},  // a profile Direct3D 9 has not
        {"float main(float) { return 0; }\n", 3, "crashed"},
        {"float4 main(float4 c[ : COLOR0) : COLOR { return c; }\n", 2, "crashed"},
    };
    const VertexProfile empty;
    for (const auto& test : cases) {
        boxes.boxes.clear();
        auto* shader = new Shader();
        EXPECT_FALSE(zkCompileShader(shader, "", test.pixel, &empty, 3, test.pixelVersion)) << test.pixel;
        ASSERT_EQ(boxes.boxes.size(), 1u) << test.pixel;
        EXPECT_EQ(boxes.boxes[0].caption, "HLSL PixelShader Compile Failure");
        EXPECT_NE(boxes.boxes[0].text.find(test.expected), std::string::npos) << boxes.boxes[0].text;
        zkReleaseShader(shader);
    }
    EXPECT_EQ(log.resourcesAlive, aliveBefore);
}
