// Conformance corpus, matrices: every shape from 2x2 to 4x4 in both
// packings, mul(v, M) and mul(M, v), arrays of them, and what the constant
// table says about each, against values worked out by hand from the rule
// Direct3D 9 follows: SetMatrix takes the declared rows and columns from the
// top left of the 4x4 it is given, and mul(v, M)[c] = sum over r of v[r] M[r][c].
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "hlsl_corpus_fixture.h"

namespace {

// Entry (r, c) of the engine matrix: distinct, small, so sums stay below 1.
float Entry(int r, int c) { return (4 * r + c + 1) / 64.0f; }
const float kV[4] = {1.0f, 0.5f, 0.25f, 0.125f};

D3DMATRIX EngineMatrix(float scale = 1.0f) {
    D3DMATRIX m;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) m.m[r][c] = Entry(r, c) * scale;
    return m;
}

// The first three components of v x M (rowVector) or M x v, the missing ones 0.
void Expected(int rows, int columns, bool rowVector, float scale, float out[3]) {
    for (int i = 0; i < 3; ++i) {
        out[i] = 0.0f;
        if (rowVector && i < columns)
            for (int r = 0; r < rows; ++r) out[i] += kV[r] * Entry(r, i) * scale;
        if (!rowVector && i < rows)
            for (int c = 0; c < columns; ++c) out[i] += Entry(i, c) * kV[c] * scale;
    }
}

constexpr const char* kPad = R"(
float4 Pad(float2 x) { return float4(x, 0.0, 1.0); }
float4 Pad(float3 x) { return float4(x, 1.0); }
float4 Pad(float4 x) { return x; }
)";

std::string ShapeSource(const char* packing, int rows, int columns) {
    const std::string r = std::to_string(rows), c = std::to_string(columns);
    return std::string(kPad) + packing + " float" + r + "x" + c + " M;\nfloat4 v;\nbool columnVector;\n" +
           "float4 main() : COLOR {\n    return columnVector ? Pad(mul(M, (float" + c + ")v)) : Pad(mul((float" + r +
           ")v, M));\n}\n";
}

class CorpusMatrices : public HlslCorpus {};

}  // namespace

TEST_F(CorpusMatrices, EveryShapeAndPackingMultipliesAsDirect3D) {
    const D3DMATRIX m = EngineMatrix();
    for (const char* packing : {"", "column_major", "row_major"}) {
        for (int rows = 2; rows <= 4; ++rows) {
            for (int columns = 2; columns <= 4; ++columns) {
                const std::string source = ShapeSource(packing, rows, columns);
                Stage pixel = PixelShader(source.c_str());
                ASSERT_NE(pixel.table, nullptr);
                ASSERT_TRUE(pixel["M"] && pixel["v"] && pixel["columnVector"]) << source;
                pixel.table->SetMatrix(device, pixel["M"], &m);
                pixel.table->SetFloatArray(device, pixel["v"], kV, 4);
                for (bool rowVector : {true, false}) {
                    pixel.table->SetBool(device, pixel["columnVector"], !rowVector);
                    DrawQuad();
                    float e[3];
                    Expected(rows, columns, rowVector, 1.0f, e);
                    EXPECT_TRUE(PixelIs(8, 8, e[0], e[1], e[2]))
                        << (*packing ? packing : "default") << " float" << rows << "x" << columns
                        << (rowVector ? " mul(v, M)" : " mul(M, v)");
                }
            }
        }
    }
}

TEST_F(CorpusMatrices, TableReportsClassShapeAndRegistersAsD3DX) {
    Stage pixel = PixelShader(R"(
float4x3 columns;
row_major float4x3 rows;
float3x4 wide;
float4x3 bones[5];
row_major float2x4 pairs[3];
float3 direction;
float scalar;
float4 unused;
sampler2D picture;
float4 main(float2 uv : TEXCOORD0) : COLOR {
    float4 p = float4(uv, 0, 1);
    float3 sum = mul(p, columns) + mul(p, rows) + mul(p.xyz, wide).xyz + mul(p, bones[(int)uv.x]) + direction * scalar;
    return float4(sum, 1) + float4(mul(p.xy, pairs[(int)uv.y]).xyz, 0) + tex2D(picture, uv);
}
)");
    ASSERT_NE(pixel.table, nullptr);
    struct Want {
        const char* name;
        D3DXPARAMETER_CLASS cls;
        D3DXPARAMETER_TYPE type;
        UINT rows, columns, elements, registers;
    } wants[] = {
        {"columns", D3DXPC_MATRIX_COLUMNS, D3DXPT_FLOAT, 4, 3, 1, 3},
        {"rows", D3DXPC_MATRIX_ROWS, D3DXPT_FLOAT, 4, 3, 1, 4},
        {"wide", D3DXPC_MATRIX_COLUMNS, D3DXPT_FLOAT, 3, 4, 1, 4},
        {"bones", D3DXPC_MATRIX_COLUMNS, D3DXPT_FLOAT, 4, 3, 5, 15},
        {"pairs", D3DXPC_MATRIX_ROWS, D3DXPT_FLOAT, 2, 4, 3, 6},
        {"direction", D3DXPC_VECTOR, D3DXPT_FLOAT, 1, 3, 1, 1},
        {"scalar", D3DXPC_SCALAR, D3DXPT_FLOAT, 1, 1, 1, 1},
        {"picture", D3DXPC_OBJECT, D3DXPT_SAMPLER2D, 1, 1, 1, 1},
    };
    UINT end = 0;
    for (const Want& want : wants) {
        D3DXCONSTANT_DESC description{};
        UINT count = 1;
        ASSERT_EQ(pixel.table->GetConstantDesc(pixel[want.name], &description, &count), D3D_OK) << want.name;
        EXPECT_EQ(count, 1u);
        EXPECT_STREQ(description.Name, want.name);
        EXPECT_EQ(description.Class, want.cls) << want.name;
        EXPECT_EQ(description.Type, want.type) << want.name;
        EXPECT_EQ(description.Rows, want.rows) << want.name;
        EXPECT_EQ(description.Columns, want.columns) << want.name;
        EXPECT_EQ(description.Elements, want.elements) << want.name;
        EXPECT_EQ(description.RegisterCount, want.registers) << want.name;
        EXPECT_EQ(description.RegisterSet, want.cls == D3DXPC_OBJECT ? D3DXRS_SAMPLER : D3DXRS_FLOAT4);
        if (want.cls != D3DXPC_OBJECT) end = std::max(end, description.RegisterIndex + description.RegisterCount);
    }
    EXPECT_EQ(end, 3u + 4 + 4 + 15 + 6 + 1 + 1);  // packed without gaps or overlaps
    EXPECT_EQ(pixel["unused"], nullptr);  // D3DX drops what the code never reads
    EXPECT_EQ(pixel.table->GetSamplerIndex(pixel["picture"]), 0u);
    EXPECT_EQ(pixel.table->GetSamplerIndex(pixel["scalar"]), static_cast<UINT>(-1));
}

TEST_F(CorpusMatrices, ArraysOfFourByThreeAndRowMajorThreeByFourPickEachElement) {
    Stage pixel = PixelShader((std::string(kPad) + R"(
float4x3 bones[3];
row_major float3x4 frames[3];
float4 v;
int pick;
bool frame;
float4 main() : COLOR { return frame ? Pad(mul(v.xyz, frames[pick]).xyz) : Pad(mul(v, bones[pick])); }
)").c_str());
    ASSERT_NE(pixel.table, nullptr);
    const D3DMATRIX matrices[3] = {EngineMatrix(1.0f), EngineMatrix(2.0f), EngineMatrix(3.0f)};
    pixel.table->SetMatrixArray(device, pixel["bones"], matrices, 3);
    pixel.table->SetMatrixArray(device, pixel["frames"], matrices, 3);
    pixel.table->SetFloatArray(device, pixel["v"], kV, 4);
    for (bool frame : {false, true}) {
        pixel.table->SetBool(device, pixel["frame"], frame);
        for (int pick = 0; pick < 3; ++pick) {
            pixel.table->SetInt(device, pixel["pick"], pick);
            DrawQuad();
            float e[3];
            Expected(frame ? 3 : 4, frame ? 4 : 3, true, static_cast<float>(pick + 1), e);
            EXPECT_TRUE(PixelIs(8, 8, e[0], e[1], e[2])) << (frame ? "frames[" : "bones[") << pick << "]";
        }
    }
}

TEST_F(CorpusMatrices, TransposedMatricesAndRowByRowFloatsGiveTheSameMatrix) {
    Stage pixel = PixelShader(R"(
float4x4 a;
row_major float4x4 b;
float4x3 c;
float4 v;
int which;
float4 main() : COLOR {
    if (which == 0) return float4(mul(v, a).xyz, 1);
    if (which == 1) return float4(mul(v, b).xyz, 1);
    return float4(mul(v, c), 1);
}
)");
    ASSERT_NE(pixel.table, nullptr);
    D3DMATRIX transposed;
    const D3DMATRIX m = EngineMatrix();
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) transposed.m[r][c] = m.m[c][r];
    pixel.table->SetMatrixTransposeArray(device, pixel["a"], &transposed, 1);
    pixel.table->SetMatrixTransposeArray(device, pixel["b"], &transposed, 1);
    float rowByRow[12];
    for (int i = 0; i < 12; ++i) rowByRow[i] = Entry(i / 3, i % 3);
    pixel.table->SetFloatArray(device, pixel["c"], rowByRow, 12);
    pixel.table->SetFloatArray(device, pixel["v"], kV, 4);
    float e[3];
    Expected(4, 4, true, 1.0f, e);
    for (int which = 0; which < 3; ++which) {
        pixel.table->SetInt(device, pixel["which"], which);
        DrawQuad();
        EXPECT_TRUE(PixelIs(8, 8, e[0], e[1], e[2])) << which;
    }
}

TEST_F(CorpusMatrices, VertexStageMatricesPlaceGeometry) {
    // A row_major projection that halves x and y: the quad covers the middle 8 x 8.
    Stage vertex = VertexShader(R"(
row_major float4x4 placement;
struct VS_OUTPUT { float4 position : POSITION; float2 uv : TEXCOORD0; };
VS_OUTPUT main(float3 p : POSITION, float2 uv : TEXCOORD0) {
    VS_OUTPUT o;
    o.position = mul(float4(p, 1.0), placement);
    o.uv = uv;
    return o;
}
)");
    ASSERT_NE(vertex.table, nullptr);
    PixelShader("float4 main() : COLOR { return float4(1, 1, 1, 1); }");
    D3DMATRIX half{};
    half.m[0][0] = half.m[1][1] = 0.5f, half.m[2][2] = half.m[3][3] = 1.0f;
    ASSERT_EQ(vertex.table->SetMatrix(device, vertex["placement"], &half), D3D_OK);
    DrawQuad();
    EXPECT_TRUE(PixelIs(8, 8, 1, 1, 1));
    EXPECT_TRUE(PixelIs(4, 4, 1, 1, 1));
    EXPECT_TRUE(PixelIs(3, 3, 0, 0, 0));
    EXPECT_TRUE(PixelIs(12, 12, 0, 0, 0));
}
