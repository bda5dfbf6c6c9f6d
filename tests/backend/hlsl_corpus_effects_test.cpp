// Conformance corpus, sources as other Direct3D 9 programs write them: effect
// files, entries by name, every profile, uniform entry parameters, placed
// constants and the vertex-before-pixel layout; each compiled as such a
// program calls D3DXCompileShader, its table read and its pair drawn.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "hlsl_corpus_fixture.h"

namespace {

class CorpusEffects : public HlslCorpus {
protected:
    D3DXCONSTANT_DESC Describe(const Stage& stage, const char* name) {
        D3DXCONSTANT_DESC description{};
        UINT count = 1;
        const HRESULT result =
            stage.table ? stage.table->GetConstantDesc(stage[name], &description, &count) : D3DERR_INVALIDCALL;
        EXPECT_EQ(result, D3D_OK) << name;
        return description;
    }
};

constexpr const char* kEffect = R"(
// A tinted picture, as a material editor would save it.
float4x4 WorldViewProj : WORLDVIEWPROJECTION < string UIWidget = "None"; >;
float4 Tint : register(c4) < string UIName = "Tint"; > = float4(1, 1, 1, 1);
texture BaseMap < string ResourceName = "base.png"; >;
sampler2D BaseSampler = sampler_state {
    Texture = <BaseMap>;
    MinFilter = Point; MagFilter = Point; MipFilter = None;
    AddressU = Clamp; AddressV = Clamp;
};
sampler DetailSampler : register(s3) = sampler_state { Texture = <BaseMap>; };
struct VertexOut { float4 position : POSITION; float2 uv : TEXCOORD0; };
VertexOut VertexMain(float3 p : POSITION, float2 uv : TEXCOORD0) {
    VertexOut o;
    o.position = mul(float4(p, 1), WorldViewProj);
    o.uv = uv;
    return o;
}
float4 PixelMain(float2 uv : TEXCOORD0) : COLOR0 {
    return tex2D(BaseSampler, uv) * Tint + tex2D(DetailSampler, uv) * 0.25;
}
VertexShader Compiled = compile vs_2_0 VertexMain();
technique Tinted < string Description = "tint { over the base }"; > {
    pass Only < int Order = 1; > {
        ZEnable = false;
        CullMode = None;
        VertexShader = (Compiled);
        PixelShader = compile ps_2_0 PixelMain();
    }
}
technique11 Unused { pass { SetPixelShader(CompileShader(ps_4_0, PixelMain())); } }
)";

}  // namespace

TEST_F(CorpusEffects, AnEffectFileCompilesForEachEntryAndDraws) {
    Stage vertex = VertexShader(kEffect, "vs_2_0", "VertexMain");
    Stage pixel = PixelShader(kEffect, "ps_2_a", "PixelMain");
    ASSERT_TRUE(vertex.table && pixel.table);
    EXPECT_EQ(Describe(vertex, "WorldViewProj").RegisterCount, 4u);
    const D3DXCONSTANT_DESC tint = Describe(pixel, "Tint");
    EXPECT_EQ(tint.RegisterIndex, 4u);
    EXPECT_EQ(tint.RegisterCount, 1u);
    EXPECT_EQ(pixel.table->GetSamplerIndex(pixel["BaseSampler"]), 0u);
    EXPECT_EQ(pixel.table->GetSamplerIndex(pixel["DetailSampler"]), 3u);
    EXPECT_EQ(pixel["BaseMap"], nullptr);  // effect objects are no constants of a stage

    IDirect3DTexture9* grey = MakeTexture(device, 2, 2, 1, std::vector<uint32_t>(4, 0xFF808080));
    IDirect3DTexture9* white = MakeTexture(device, 1, 1, 1, {0xFFFFFFFF});
    ASSERT_TRUE(grey && white);
    owned.push_back(grey), owned.push_back(white);
    device->SetTexture(0, grey);
    device->SetTexture(3, white);
    D3DMATRIX identity = {};
    for (int i = 0; i < 4; ++i) identity.m[i][i] = 1;
    vertex.table->SetMatrix(device, vertex["WorldViewProj"], &identity);
    const float colour[4] = {1.0f, 0.5f, 0.0f, 1.0f};
    pixel.table->SetFloatArray(device, pixel["Tint"], colour, 4);
    DrawQuad();
    const float level = 128.0f / 255;
    EXPECT_TRUE(PixelIs(8, 8, level + 0.25f, 0.5f * level + 0.25f, 0.25f, 1, 2));
}

TEST_F(CorpusEffects, EveryProfileCompilesEachNamedEntryOfOneFile) {
    constexpr const char* kSource = R"(
float4 Shade;
float4 Halve(float4 c) { return c * 0.5; }
float4 main() : COLOR { return float4(0, 0, 1, 1); }
float4 RedMain() : COLOR { return float4(1, 0, 0, 1); }
float4 HalfMain() : COLOR { return Halve(Shade); }
float4 Through(float3 p : POSITION) : POSITION { return float4(p, 1); }
)";
    for (const char* profile : {"vs_1_1", "vs_2_0", "vs_2_a", "vs_3_0"}) {
        Stage vertex = VertexShader(kSource, profile, "Through");
        EXPECT_TRUE(vertex.table) << profile;
        EXPECT_EQ(vertex["Shade"], nullptr) << profile;
    }
    const struct {
        const char* entry;
        float r, g, b;
    } kEntries[] = {{"main", 0, 0, 1}, {"RedMain", 1, 0, 0}, {"HalfMain", 0.25f, 0.5f, 0}};
    for (const char* profile : {"ps_1_1", "ps_1_2", "ps_1_3", "ps_1_4", "ps_2_0", "ps_2_a", "ps_2_b", "ps_3_0"}) {
        for (const auto& entry : kEntries) {
            Stage pixel = PixelShader(kSource, profile, entry.entry);
            ASSERT_TRUE(pixel.table) << profile << " " << entry.entry;
            EXPECT_EQ(pixel["Shade"] != nullptr, entry.entry == std::string("HalfMain"));
            const float shade[4] = {0.5f, 1.0f, 0.0f, 2.0f};
            if (pixel["Shade"]) pixel.table->SetFloatArray(device, pixel["Shade"], shade, 4);
            DrawQuad();
            EXPECT_TRUE(PixelIs(8, 8, entry.r, entry.g, entry.b)) << profile << " " << entry.entry;
        }
    }
}

TEST_F(CorpusEffects, UniformParametersAreDollarConstantsAndBoneArraysDraw) {
    constexpr const char* kSkin = R"(
struct Skinned { float4 position : POSITION; float4 colour : COLOR0; };
Skinned SkinVertex(float3 p : POSITION, float2 uv : TEXCOORD0, uniform float3x4 bones[24], uniform float bone) {
    Skinned o;
    o.position = float4(p, 1);
    o.colour = float4(mul(bones[(int)bone], float4(1, 1, 1, 1)), 1);
    return o;
}
float4 ScalePixel(float4 colour : COLOR0, uniform float4 scale : register(c2)) : COLOR { return colour * scale; }
)";
    Stage vertex = VertexShader(kSkin, "vs_2_0", "SkinVertex");
    Stage pixel = PixelShader(kSkin, "ps_2_0", "ScalePixel");
    ASSERT_TRUE(vertex.table && pixel.table);
    EXPECT_EQ(vertex["bones"], nullptr);
    const D3DXCONSTANT_DESC bones = Describe(vertex, "$bones");
    EXPECT_STREQ(bones.Name, "$bones");
    EXPECT_EQ(bones.Class, D3DXPC_MATRIX_COLUMNS);
    EXPECT_EQ(bones.Rows, 3u);
    EXPECT_EQ(bones.Columns, 4u);
    EXPECT_EQ(bones.Elements, 24u);
    EXPECT_EQ(bones.RegisterCount, 96u);  // a column_major float3x4 takes a register per column
    EXPECT_EQ(Describe(vertex, "$bone").RegisterCount, 1u);
    EXPECT_EQ(Describe(pixel, "$scale").RegisterIndex, 2u);

    D3DMATRIX matrices[24] = {};
    for (D3DMATRIX& m : matrices)
        for (int i = 0; i < 4; ++i) m.m[i][i] = 1;
    matrices[5].m[0][0] = 0.25f, matrices[5].m[1][1] = 0.5f, matrices[5].m[2][2] = 0.75f;
    vertex.table->SetMatrixArray(device, vertex["$bones"], matrices, 24);
    const float scale[4] = {1, 1, 1, 1};
    pixel.table->SetFloatArray(device, pixel["$scale"], scale, 4);
    for (const float bone : {5.0f, 0.0f}) {
        vertex.table->SetFloatArray(device, vertex["$bone"], &bone, 1);
        DrawQuad();
        const float r = bone == 5 ? 0.25f : 1, g = bone == 5 ? 0.5f : 1, b = bone == 5 ? 0.75f : 1;
        EXPECT_TRUE(PixelIs(8, 8, r, g, b)) << bone;
    }
}

TEST_F(CorpusEffects, PlacedConstantsLandInTheirRegistersWithGaps) {
    Stage vertex = VertexShader(R"(
float4 Offset : register(c8);
float4x4 Transform : register(c0);
float4 main(float3 p : POSITION) : POSITION { return mul(float4(p, 1), Transform) + Offset; }
)");
    Stage pixel = PixelShader(R"(
float4 first;
float4 placed : register(c5);
float4 row[3] : register(c10);
float4x4 blend;
float4 main() : COLOR { return first + placed + row[2] + blend[1]; }
)");
    ASSERT_TRUE(vertex.table && pixel.table);
    EXPECT_EQ(Describe(vertex, "Offset").RegisterIndex, 8u);
    EXPECT_EQ(Describe(vertex, "Transform").RegisterIndex, 0u);
    EXPECT_EQ(Describe(pixel, "first").RegisterIndex, 0u);
    EXPECT_EQ(Describe(pixel, "placed").RegisterIndex, 5u);
    const D3DXCONSTANT_DESC row = Describe(pixel, "row");
    EXPECT_EQ(row.RegisterIndex, 10u);
    EXPECT_EQ(row.RegisterCount, 3u);
    const D3DXCONSTANT_DESC blend = Describe(pixel, "blend");
    EXPECT_EQ(blend.RegisterCount, 4u);
    for (UINT taken : {0u, 5u, 10u, 11u, 12u})  // the matrix takes free registers only
        EXPECT_FALSE(taken >= blend.RegisterIndex && taken < blend.RegisterIndex + 4) << taken;

    // The registers themselves, as a program that sets them by number does.
    const float transform[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}, none[4] = {0, 0, 0, 0};
    device->SetVertexShaderConstantF(0, transform, 4);
    device->SetVertexShaderConstantF(8, none, 1);
    const float first[4] = {0.1f, 0, 0, 0}, placed[4] = {0, 0.2f, 0, 0}, row2[4] = {0, 0, 0.3f, 0};
    device->SetPixelShaderConstantF(0, first, 1);
    device->SetPixelShaderConstantF(5, placed, 1);
    device->SetPixelShaderConstantF(12, row2, 1);
    D3DMATRIX matrix = {};
    matrix.m[1][0] = matrix.m[1][1] = matrix.m[1][2] = 0.1f, matrix.m[1][3] = 1;
    pixel.table->SetMatrix(device, pixel["blend"], &matrix);
    DrawQuad();
    EXPECT_TRUE(PixelIs(8, 8, 0.2f, 0.3f, 0.4f));
}

// The usual effect-file order: the vertex function, with COLORn out
// parameters, comes before the pixel entry.
TEST_F(CorpusEffects, ColourOutParametersBeforeThePixelEntryLeaveItsColourAtZero) {
    constexpr const char* kSource = R"(
void LitVertex(float3 p : POSITION, float2 uv : TEXCOORD0, out float4 position : POSITION,
               out float4 diffuse : COLOR0, out float4 specular : COLOR1) {
    position = float4(p, 1);
    diffuse = float4(0.5, 0.25, 0, 1);
    specular = float4(0, 0, 0.25, 0);
}
float4 LitPixel(float4 diffuse : COLOR0, float4 specular : COLOR1) : COLOR0 { return diffuse + specular; }
void OutPixel(float4 diffuse : COLOR0, out float4 colour : COLOR0) { colour = diffuse * 2; }
)";
    VertexShader(kSource, "vs_1_1", "LitVertex");
    const struct {
        const char* entry;
        float r, g, b;
    } kPixels[] = {{"LitPixel", 0.5f, 0.25f, 0.25f}, {"OutPixel", 1, 0.5f, 0}};
    for (const auto& entry : kPixels) {
        PixelShader(kSource, "ps_1_4", entry.entry);
        DrawQuad();
        EXPECT_TRUE(PixelIs(8, 8, entry.r, entry.g, entry.b)) << entry.entry;
    }
}

TEST_F(CorpusEffects, VectorsCastToArraysIndexAsTheirComponents) {
    Stage pixel = PixelShader(R"(
float4 weights;
float Pick(float values[4], int i) { return values[i]; }
float4 main(float2 uv : TEXCOORD0) : COLOR {
    float spread[4] = (float[4])weights;
    return float4(spread[1], Pick((float[4])weights.wzyx, 0), ((float[2])uv)[0] * 0, 1);
}
)", "ps_2_0");
    ASSERT_TRUE(pixel.table);
    const float weights[4] = {0.125f, 0.25f, 0.5f, 0.75f};
    pixel.table->SetFloatArray(device, pixel["weights"], weights, 4);
    DrawQuad();
    EXPECT_TRUE(PixelIs(8, 8, 0.25f, 0.75f, 0));
}

// The caller's macros and matrix packing, as D3DXCompileShader takes them.
TEST_F(CorpusEffects, MacrosAndTheMatrixPackingFlagsApply) {
    constexpr const char* kSource = R"(
float4x4 Blend;
float4 main() : COLOR { return SHADE(Blend[1]) * BRIGHTNESS; }
)";
    const D3DXMACRO defines[] = {{"SHADE(c)", "float4(c.xyz, 1)"}, {"BRIGHTNESS", "0.5"}, {nullptr, nullptr}};
    D3DMATRIX blend = {};
    blend.m[1][0] = 1, blend.m[1][1] = 0.5f;
    const struct {
        DWORD flags;
        D3DXPARAMETER_CLASS cls;
    } kPackings[] = {{0, D3DXPC_MATRIX_COLUMNS},
                     {D3DXSHADER_PACKMATRIX_ROWMAJOR, D3DXPC_MATRIX_ROWS},
                     {D3DXSHADER_PACKMATRIX_COLUMNMAJOR, D3DXPC_MATRIX_COLUMNS}};
    for (const auto& packing : kPackings) {
        Stage pixel = MakeCurrent(kSource, "ps_2_0", "main", defines, packing.flags);
        ASSERT_TRUE(pixel.table) << packing.flags;
        EXPECT_EQ(Describe(pixel, "Blend").Class, packing.cls) << packing.flags;
        pixel.table->SetMatrix(device, pixel["Blend"], &blend);
        DrawQuad();
        EXPECT_TRUE(PixelIs(8, 8, 0.5f, 0.25f, 0)) << packing.flags;  // the back buffer keeps no alpha
    }
}

TEST_F(CorpusEffects, AUniformSamplerParameterIsADollarSampler) {
    Stage pixel = PixelShader(R"(
float4 main(float2 uv : TEXCOORD0, uniform sampler2D picture : register(s2)) : COLOR { return tex2D(picture, uv); }
)");
    ASSERT_TRUE(pixel.table);
    EXPECT_EQ(pixel.table->GetSamplerIndex(pixel["$picture"]), 2u);
    IDirect3DTexture9* texture = MakeTexture(device, 1, 1, 1, {0xFF00FF00});
    ASSERT_TRUE(texture);
    owned.push_back(texture);
    device->SetTexture(2, texture);
    DrawQuad();
    EXPECT_TRUE(PixelIs(8, 8, 0, 1, 0));
}

// An array with a semantic takes one register per element from it; DEPTH is the pixel's depth.
TEST_F(CorpusEffects, SemanticArraysSpreadOverRegistersAndDepthIsWritten) {
    constexpr const char* kSource = R"(
struct Fan { float4 position : POSITION; float2 taps[4] : TEXCOORD0; };
Fan FanVertex(float3 p : POSITION) {
    Fan o;
    o.position = float4(p, 1);
    for (int i = 0; i < 4; i++) o.taps[i] = float2(0.25 * i, 0);
    return o;
}
struct Shaded { float4 colour : COLOR0; float depth : DEPTH; };
Shaded FanPixel(Fan i) {
    Shaded o;
    o.colour = float4(i.taps[1].x, i.taps[2].x, i.taps[3].x, 1);
    o.depth = 0.25;
    return o;
}
float4 Blue() : COLOR { return float4(0, 0, 1, 1); }
)";
    VertexShader(kSource, "vs_2_0", "FanVertex");
    PixelShader(kSource, "ps_2_0", "FanPixel");
    device->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
    device->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    DrawQuad();
    EXPECT_TRUE(PixelIs(8, 8, 0.25f, 0.5f, 0.75f));
    // The quad's own depth is 0.5: behind the 0.25 written above.
    PixelShader(kSource, "ps_2_0", "Blue");
    DrawQuad();
    EXPECT_TRUE(PixelIs(8, 8, 0, 0, 0));
}

TEST_F(CorpusEffects, APointSizeOutputSizesThePoint) {
    VertexShader(R"(
void Sprite(float3 p : POSITION, out float4 position : POSITION, out float size : PSIZE) {
    position = float4(p, 1);
    size = 6;
}
)", "vs_1_1", "Sprite");
    PixelShader("float4 main() : COLOR { return float4(1, 1, 1, 1); }");
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    const float point[5] = {0, 0, 0.5f, 0, 0};  // the centre of the 16 x 16 target
    EXPECT_EQ(device->DrawPrimitiveUP(D3DPT_POINTLIST, 1, point, sizeof point), D3D_OK);
    EXPECT_TRUE(PixelIs(6, 6, 1, 1, 1));
    EXPECT_TRUE(PixelIs(9, 9, 1, 1, 1));
    EXPECT_TRUE(PixelIs(4, 4, 0, 0, 0));
}

namespace {

// Files by name, as a program's include handler serves them from its data.
class MapInclude : public ID3DXInclude {
public:
    explicit MapInclude(std::map<std::string, std::string> files) : files_(std::move(files)) {}
    HRESULT Open(D3DXINCLUDE_TYPE type, const char* name, const void* parent, const void** data, UINT* bytes) override {
        opened.push_back(std::string(type == D3DXINC_SYSTEM ? "<" : "\"") + name + (parent ? " nested" : ""));
        const auto found = files_.find(name);
        if (found == files_.end()) return D3DERR_INVALIDCALL;
        *data = found->second.data();
        *bytes = static_cast<UINT>(found->second.size());
        ++open;
        return D3D_OK;
    }
    HRESULT Close(const void*) override {
        --open;
        return D3D_OK;
    }
    std::vector<std::string> opened;
    int open = 0;

private:
    std::map<std::string, std::string> files_;
};

}  // namespace

TEST_F(CorpusEffects, IncludesAreServedByTheCallersHandlerAndKeepTheLines) {
    MapInclude include({{"common.fxh", "#include <colours.fxh>\nfloat4 Halve(float4 c) { return c * 0.5; }\n"},
                        {"colours.fxh", "static const float4 kGreen = float4(0, 1, 0, 1);"}});
    const char* source = "#include \"common.fxh\"\nfloat4 main() : COLOR { return Halve(kGreen); }\n";
    ID3DXBuffer *code = nullptr, *errors = nullptr;
    ASSERT_EQ(D3DXCompileShader(source, static_cast<UINT>(std::strlen(source)), nullptr, &include, "main", "ps_2_0", 0,
                                &code, &errors, nullptr),
              D3D_OK);
    IDirect3DPixelShader9* shader = nullptr;
    device->CreatePixelShader(static_cast<const DWORD*>(code->GetBufferPointer()), &shader);
    code->Release();
    ASSERT_TRUE(shader);
    owned.push_back(shader);
    device->SetPixelShader(shader);
    DrawQuad();
    EXPECT_TRUE(PixelIs(8, 8, 0, 0.5f, 0));
    EXPECT_EQ(include.opened, (std::vector<std::string>{"\"common.fxh", "<colours.fxh nested"}));
    EXPECT_EQ(include.open, 0);

    // A line after an include keeps its number; a file the handler lacks fails the compile.
    const struct {
        const char* source;
        const char* expected;  // in the error text
    } kBroken[] = {
        {"#include \"common.fxh\"\n\nfloat4 main() : COLOR { return undefinedThing; }\n", "0:3: 'undefinedThing'"},
        {"#include \"absent.fxh\"\nfloat4 main() : COLOR { return 1; }\n", "absent.fxh"},
    };
    for (const auto& broken : kBroken) {
        ASSERT_NE(D3DXCompileShader(broken.source, static_cast<UINT>(std::strlen(broken.source)), nullptr, &include,
                                    "main", "ps_2_0", 0, &code, &errors, nullptr),
                  D3D_OK);
        const std::string message = static_cast<const char*>(errors->GetBufferPointer());
        errors->Release();
        EXPECT_NE(message.find(broken.expected), std::string::npos) << message;
    }
    EXPECT_EQ(include.open, 0);
}
