// Material begin/end state sequences, light gathering and model subsets on
// the recording device.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "compound/compound.h"
#include "platform/graphics_context.h"
#include "recording_fixture.h"
#include "temp_dir.h"
#include "test_png.h"

namespace {

class MaterialDrawing : public RecordingShell {
protected:
    void SetUp() override {
        RecordingShell::SetUp();
        std::filesystem::create_directories(data.path() / "textures");
        WriteTestPng((data.path() / "textures/a.png").string(), 2, 2, std::vector<uint32_t>(4, 0xFFFFFFFF));
        inData = std::make_unique<WorkingDirectory>(data.path());
        picture = std::make_unique<NamedTexture>("a.png");
        other = std::make_unique<NamedTexture>("a.png");
        log.calls.clear();
    }
    void TearDown() override {
        picture.reset(), other.reset();
        inData.reset();
        RecordingShell::TearDown();
    }

    TempDir data;
    std::unique_ptr<WorkingDirectory> inData;
    std::unique_ptr<NamedTexture> picture, other;
};

}  // namespace

TEST_F(MaterialDrawing, AlphaTestMaterialSetsAndUndoesItsStates) {
    Material material;
    material.diffuse[0] = 0.5f;
    material.flags = MATERIAL_BLEND;
    material.blendMode = 2;
    material.cullMode = 3;
    material.SetTexture(0, picture.get());
    material.SetTexture(0, other.get());  // occupied: kept
    material.SetTexture(2, other.get());  // behind an empty slot: never bound
    material.SetTexture(16, other.get());
    EXPECT_EQ(material.textures[0], picture.get());

    material.Begin();
    EXPECT_EQ(g_graphics->materialDiffuse[0], 0.5f);
    std::vector<std::string> begin = log.calls;
    ASSERT_GE(begin.size(), 6u);
    EXPECT_EQ(begin[0], "SetSamplerState(0, D3DSAMP_MINFILTER, 2)");
    EXPECT_EQ(CallsStartingWith("SetTexture(").size(), 1u);
    EXPECT_EQ(CallsStartingWith("SetTexture(2").size(), 0u);
    EXPECT_EQ(CallsStartingWith("SetRenderState(D3DRS_CULLMODE, 3)").size(), 1u);
    const std::vector<std::string> tail(begin.end() - 5, begin.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"SetRenderState(D3DRS_ALPHATESTENABLE, 1)",
                                              "SetRenderState(D3DRS_ALPHAFUNC, 7)",
                                              "SetTextureStageState(0, D3DTSS_ALPHAARG1, 2)",
                                              "SetTextureStageState(0, D3DTSS_ALPHAARG2, 0)",
                                              "SetRenderState(D3DRS_ZENABLE, 1)"}));
    EXPECT_TRUE(CallsStartingWith("SetRenderState(D3DRS_SRCBLEND").empty());

    log.calls.clear();
    material.End();
    EXPECT_EQ(log.calls, (std::vector<std::string>{
                             "SetTexture(0, null)", "SetRenderState(D3DRS_CULLMODE, 1)",
                             "SetRenderState(D3DRS_ALPHABLENDENABLE, 0)", "SetRenderState(D3DRS_ALPHATESTENABLE, 0)",
                             "SetRenderState(D3DRS_SRCBLEND, 5)", "SetRenderState(D3DRS_DESTBLEND, 6)"}));
}

TEST_F(MaterialDrawing, EmptyFirstSlotAndEmptyShaderSlotDrawFixedFunction) {
    Material material;
    material.cullMode = 7;  // leaves culling alone
    material.SetTexture(1, picture.get());
    Shader* empty = nullptr;
    material.AttachShader(&empty);
    EXPECT_EQ(material.flags, MATERIAL_SHADER);
    material.Begin();
    EXPECT_EQ(log.calls, (std::vector<std::string>{"SetRenderState(D3DRS_ALPHABLENDENABLE, 0)",
                                                   "SetVertexShader(null)", "SetPixelShader(null)"}));
    log.calls.clear();
    material.End();
    EXPECT_EQ(log.calls, (std::vector<std::string>{"SetRenderState(D3DRS_CULLMODE, 1)", "SetVertexShader(null)",
                                                   "SetPixelShader(null)"}));
    material.AttachShader(nullptr);
    EXPECT_EQ(material.flags, 0u);
}

TEST_F(MaterialDrawing, LightsOfTwoCompoundsGatherInOrder) {
    Compound first, second;
    Node a, b, c;
    Light red, green, blue;
    a.position = {1, 0, 0}, b.position = {2, 0, 0}, c.position = {3, 0, 0};
    red.colour[0] = 1, green.colour[1] = 1, blue.colour[2] = 1;
    red.colour[3] = 0.5f;  // not sent: colour w is
    red.colourW = 0.25f, red.positionW = 1;
    first.lightInstances = {{&a, &red}, {&b, &green}};
    second.lightInstances = {{&c, &blue}};
    g_graphics->lightList->count = 0;
    first.Draw(2);
    second.Draw(2);
    const LightList& lights = *g_graphics->lightList;
    ASSERT_EQ(lights.count, 3u);
    EXPECT_EQ(std::vector<float>(lights.positions[0], lights.positions[0] + 4), (std::vector<float>{1, 0, 0, 1}));
    EXPECT_EQ(std::vector<float>(lights.colours[0], lights.colours[0] + 4), (std::vector<float>{1, 0, 0, 0.25f}));
    EXPECT_EQ(lights.positions[2][0], 3.0f);
    EXPECT_EQ(lights.colours[1][1], 1.0f);
    EXPECT_EQ(red.position.x, 1.0f);  // copied from its node
}

TEST_F(MaterialDrawing, ModelDrawsEachSubsetBetweenItsMaterialsBeginAndEnd) {
    const D3DVERTEXELEMENT9 elements[] = {{0, 0, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITION, 0},
                                          D3DDECL_END()};
    Model model;
    ASSERT_EQ(D3DXCreateMesh(3, 3, D3DXMESH_32BIT | D3DXMESH_MANAGED, elements, g_graphics->device, &model.mesh),
              D3D_OK);
    DWORD* indices = nullptr;
    DWORD* attributes = nullptr;
    model.mesh->LockIndexBuffer(0, reinterpret_cast<void**>(&indices));
    for (int i = 0; i < 9; ++i) indices[i] = static_cast<DWORD>(i % 3);
    model.mesh->UnlockIndexBuffer();
    model.mesh->LockAttributeBuffer(0, &attributes);
    for (DWORD face = 0; face < 3; ++face) attributes[face] = face;
    model.mesh->UnlockAttributeBuffer();

    Material culled, blended;
    culled.cullMode = 3;
    blended.flags = MATERIAL_BLEND;
    blended.blendMode = 3;
    model.subsets = {{&culled, 1}, {nullptr, 1}, {&blended, 1}};
    log.calls.clear();
    model.Draw();

    std::vector<std::string> sequence;
    for (const std::string& call : log.calls)
        if (call.rfind("DrawIndexedPrimitive", 0) == 0 || call.rfind("SetRenderState(D3DRS_CULLMODE", 0) == 0 ||
            call.rfind("SetRenderState(D3DRS_SRCBLEND", 0) == 0)
            sequence.push_back(call);
    EXPECT_EQ(sequence, (std::vector<std::string>{
                            "SetRenderState(D3DRS_CULLMODE, 3)",
                            "DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 3, 0, 1)",
                            "SetRenderState(D3DRS_CULLMODE, 1)",
                            "DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 3, 3, 1)",  // no material: states as left
                            "SetRenderState(D3DRS_CULLMODE, 2)",                        // the default cull mode
                            "SetRenderState(D3DRS_SRCBLEND, 2)",
                            "DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 3, 6, 1)",
                            "SetRenderState(D3DRS_CULLMODE, 1)",
                            "SetRenderState(D3DRS_SRCBLEND, 5)",
                        }));
}
