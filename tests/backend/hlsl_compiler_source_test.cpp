#include <gtest/gtest.h>

#include <algorithm>

#include "backend/hlsl_compiler_source.h"

namespace {

// What a prepared text keeps of its source: its lines.
::testing::AssertionResult KeepsLayout(const std::string& source, const std::string& prepared) {
    if (std::count(source.begin(), source.end(), '\n') == std::count(prepared.begin(), prepared.end(), '\n'))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "lines moved";
}

}  // namespace

TEST(PrepareHlsl, EffectPartsAreBlankedAndTheRestKept) {
    const struct {
        const char* source;
        const char* gone;  // text no longer in the prepared source
        const char* kept;  // text still there
    } kCases[] = {
        {"technique T < string s = \"}\"; > {\n pass P { PixelShader = compile ps_2_0 PS(); }\n}\nfloat4 x;",
         "compile", "float4 x;"},
        {"Technique11 T { pass { } } float4 x;", "pass", "float4 x;"},
        {"texture Base < string n = \"a;b\"; >;\nsampler2D s = sampler_state { Texture = <Base>; };",
         "Base", "sampler2D s"},
        {"shared TEXTURE2D t; float4 x;", "shared", "float4 x;"},
        {"PixelShader p = asm { ps_1_1; mov r0, v0; }; float y;", "asm", "float y;"},
        {"stateblock b = stateblock_state { FillMode = Solid; };\nfloat y;", "stateblock", "float y;"},
        {"sampler s : register(s1) = sampler_state { MinFilter = Linear; };", "sampler_state", "register(s1)"},
        {"float4 c : register(c3);", "register", "float4 c"},
        {"bool b : register(b2);", "register", "bool b"},
        {"float4 t : register(t0);", "?", "register(t0)"},
        {"// technique T { }\nfloat x;", "?", "// technique T { }"},
        {"#define technique T\nfloat x;", "?", "#define technique T"},
        {"float4 f() { technique = 1; }", "?", "technique = 1"},
        {"float4 v;\nfloat f() { float a[4] = (float[4])v; return a[0]; }", "(float[4])",
         "float f() { float a[4] = d3d_cast_float_4(          v); return a[0]; }"},
        {"float f() { return ((int[2])-g(1, 2).xy[0])[1]; }", "(int[2])", "d3d_cast_int_2(        -g(1, 2).xy[0])"},
        {"float f() { return (x[4])[1]; }", "d3d_cast", "(x[4])[1]"},
        {"float f() { return (float[5])v; }", "d3d_cast", "(float[5])v"},
    };
    for (const auto& c : kCases) {
        const PreparedHlsl prepared = PrepareHlsl(c.source, "main");
        EXPECT_TRUE(KeepsLayout(c.source, prepared.text)) << c.source;
        EXPECT_EQ(prepared.text.find(c.gone), std::string::npos) << c.source << "\n -> " << prepared.text;
        EXPECT_NE(prepared.text.find(c.kept), std::string::npos) << c.source << "\n -> " << prepared.text;
    }
}

TEST(PrepareHlsl, PlacedConstantsAndUniformParametersAreFound) {
    const PreparedHlsl prepared = PrepareHlsl(R"(
float4 a : register(c5);
float4 rows[3] : register(c10);
float4 b : SOMETHING : register(vs_3_0, c7);
float4x4 c, d : register(c20);
float4 e : register(cX);
float4 Entry(float4 p : POSITION, uniform float3x4 bones[24], uniform float4 tint = 1, in uniform float k);
float4 Other(uniform float4 notEntry) : COLOR { return notEntry; }
float4 Entry(float4 p : POSITION, uniform float3x4 bones[24], uniform float4 tint = 1,
             in uniform float k, float2 uv : TEXCOORD0, uniform float4x4 wvp : register(c40)) : POSITION { return p; }
)",
                                              "Entry");
    const std::map<std::string, uint32_t> placed = {{"a", 5}, {"rows", 10}, {"b", 7}, {"d", 20}, {"wvp", 40}};
    EXPECT_EQ(prepared.placedConstants, placed);
    EXPECT_EQ(prepared.uniformParameters, (std::set<std::string>{"bones", "tint", "k", "wvp"}));
}

// Cut short anywhere, a source still comes back whole in layout.
TEST(PrepareHlsl, MalformedSourcesKeepTheirLayout) {
    const std::string source =
        "texture t < string a = \"x\nfloat4 c : register(c4 ; technique T { pass { /* open\nfloat4 PS(uniform float4 "
        "k : register(c";
    for (size_t cut = 0; cut <= source.size(); ++cut) {
        const std::string part = source.substr(0, cut);
        EXPECT_TRUE(KeepsLayout(part, PrepareHlsl(part, "PS").text)) << cut;
    }
}
