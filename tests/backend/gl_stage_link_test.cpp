#include "backend/gl_stage_link.h"

#include <gtest/gtest.h>

#include "compiled_shader_lookup.h"

// The device's own GLSL goes after the version and extension lines, where GLSL wants them.
TEST(GlStageLink, TheClipFunctionFollowsTheExtensionLines) {
    const std::string glsl = "#version 330\n#extension GL_ARB_shading_language_packing : require\n\nvoid main()\n{\n}\n";
    const std::string vertex = VertexHalfSource(glsl);
    EXPECT_LT(vertex.find("#extension"), vertex.find("ClipFromDirect3D"));
    EXPECT_NE(vertex.find("void d3d_main()"), std::string::npos);
    EXPECT_EQ(PixelHalfSource("#version 330"), "#version 330");  // no main: unchanged
    EXPECT_EQ(PixelHalfSource("#"), "#");
}

TEST(GlStageLink, PairsAreCheckedWithoutAContext) {
    CompiledShader vertex, pixel;
    std::string errors;
    ASSERT_TRUE(CompileText("float4 main(float4 p : POSITION, float4 c : COLOR0, out float4 o : COLOR0) : POSITION "
                            "{ o = c; return p; }",
                            "vs_3_0", &vertex, &errors))
        << errors;
    ASSERT_TRUE(CompileText("float4 main(float4 c : COLOR0) : COLOR { return c; }", "ps_3_0", &pixel, &errors))
        << errors;
    EXPECT_TRUE(StagesLink(vertex, pixel, &errors)) << errors;

    const struct {
        const char* vertexGlsl;
        const char* pixelGlsl;
        const char* expected;  // in the log
    } kBroken[] = {
        {"#version 330\nvoid main() { undefinedCall(); }\n", nullptr, "vertex:"},
        {nullptr, "#version 330\nvoid main() { float x = ; }\n", "pixel:"},
    };
    for (const auto& broken : kBroken) {
        CompiledShader v = vertex, p = pixel;
        if (broken.vertexGlsl) v.glsl = broken.vertexGlsl;
        if (broken.pixelGlsl) p.glsl = broken.pixelGlsl;
        std::string log;
        EXPECT_FALSE(StagesLink(v, p, &log));
        EXPECT_NE(log.find(broken.expected), std::string::npos) << log;
    }
}
