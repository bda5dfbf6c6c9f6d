// Conformance corpus, int and bool constants, loops over an int uniform,
// arrays indexed by one, and constants the code never reads.
#include <gtest/gtest.h>

#include "hlsl_corpus_fixture.h"

namespace {

class CorpusConstants : public HlslCorpus {};

}  // namespace

TEST_F(CorpusConstants, IntConstantsCountAndScale) {
    Stage pixel = PixelShader(R"(
int steps;
int scale;
float4 main() : COLOR {
    float sum = 0;
    for (int i = 0; i < steps; i++) sum += 0.125;
    return float4(sum, scale / 4.0, (steps + scale) / 16.0, 1);
}
)");
    ASSERT_NE(pixel.table, nullptr);
    pixel.table->SetInt(device, pixel["steps"], 5);
    pixel.table->SetInt(device, pixel["scale"], 3);
    DrawQuad();
    EXPECT_TRUE(PixelIs(8, 8, 0.625f, 0.75f, 0.5f));
    pixel.table->SetInt(device, pixel["steps"], 0);  // the loop body never runs
    DrawQuad();
    EXPECT_TRUE(PixelIs(8, 8, 0.0f, 0.75f, 0.1875f));
    // An int set through floats rounds to the nearest whole number.
    const float two = 1.75f;
    pixel.table->SetFloatArray(device, pixel["steps"], &two, 1);
    DrawQuad();
    EXPECT_TRUE(PixelIs(8, 8, 0.25f, 0.75f, 0.3125f));
}

TEST_F(CorpusConstants, BoolConstantsBranch) {
    Stage pixel = PixelShader(R"(
bool red;
bool green;
float4 main() : COLOR { return float4(red ? 1 : 0, green ? 1 : 0, 0.5, 1); }
)");
    ASSERT_NE(pixel.table, nullptr);
    D3DXCONSTANT_DESC description{};
    UINT count = 1;
    pixel.table->GetConstantDesc(pixel["red"], &description, &count);
    EXPECT_EQ(description.Type, D3DXPT_BOOL);
    pixel.table->SetBool(device, pixel["red"], TRUE);
    pixel.table->SetBool(device, pixel["green"], FALSE);
    DrawQuad();
    EXPECT_TRUE(PixelIs(8, 8, 1, 0, 0.5f));
    pixel.table->SetInt(device, pixel["red"], 0);
    pixel.table->SetInt(device, pixel["green"], 7);  // any non-zero int is true
    DrawQuad();
    EXPECT_TRUE(PixelIs(8, 8, 0, 1, 0.5f));
}

TEST_F(CorpusConstants, VectorArraysTakeOneRegisterPerElement) {
    Stage pixel = PixelShader(R"(
float2 offsets[3];
float levels[4];
int pick;
float4 main() : COLOR { return float4(offsets[pick], levels[pick + 1], 1); }
)");
    ASSERT_NE(pixel.table, nullptr);
    const float offsets[6] = {0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.6f};
    const float levels[4] = {0.0f, 0.25f, 0.5f, 0.75f};
    pixel.table->SetFloatArray(device, pixel["offsets"], offsets, 6);
    pixel.table->SetFloatArray(device, pixel["levels"], levels, 4);
    for (int pick = 0; pick < 3; ++pick) {
        pixel.table->SetInt(device, pixel["pick"], pick);
        DrawQuad();
        EXPECT_TRUE(PixelIs(8, 8, offsets[2 * pick], offsets[2 * pick + 1], levels[pick + 1])) << pick;
    }
    D3DXCONSTANT_DESC description{};
    UINT count = 1;
    pixel.table->GetConstantDesc(pixel["levels"], &description, &count);
    EXPECT_EQ(description.RegisterCount, 4u);
    EXPECT_EQ(description.Class, D3DXPC_SCALAR);
}

TEST_F(CorpusConstants, UnusedConstantsAreNotInTheTable) {
    Stage pixel = PixelShader(R"(
float4 used;
float4 declaredOnly;
float4 deadCode;
float4 main() : COLOR {
    float4 never = deadCode * 2;
    return used;
}
)");
    ASSERT_NE(pixel.table, nullptr);
    EXPECT_NE(pixel["used"], nullptr);
    EXPECT_EQ(pixel["declaredOnly"], nullptr);
    EXPECT_EQ(pixel["deadCode"], nullptr);
    const float colour[4] = {0.25f, 0.5f, 0.75f, 1};
    pixel.table->SetFloatArray(device, pixel["used"], colour, 4);
    DrawQuad();
    EXPECT_TRUE(PixelIs(8, 8, 0.25f, 0.5f, 0.75f));
}
