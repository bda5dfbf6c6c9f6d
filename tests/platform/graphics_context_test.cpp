#include <gtest/gtest.h>

#include "recording_fixture.h"

namespace {

class DeviceCreation : public ::testing::Test {
protected:
    void SetUp() override { SetDirect3DFactory([this] { return new RecordingDirect3D(&log); }); }
    void TearDown() override {
        zkDestroyDevice(context);
        SetDirect3DFactory(nullptr);
    }
    void Create(int multisample) {
        zkDestroyDevice(context);
        log.clear();
        context = zkCreateDevice(nullptr, 800, 600, multisample);
    }

    RecordedCalls log;
    GraphicsContext* context = nullptr;
};

}  // namespace

TEST_F(DeviceCreation, PresentParametersAndStartUpStates) {
    Create(4);
    const D3DPRESENT_PARAMETERS& p = log.presentParameters;
    EXPECT_EQ(p.BackBufferWidth, 0u);
    EXPECT_EQ(p.BackBufferHeight, 0u);
    EXPECT_EQ(p.BackBufferFormat, D3DFMT_X8R8G8B8);  // the desktop's format
    EXPECT_EQ(p.BackBufferCount, 0u);
    EXPECT_EQ(p.MultiSampleType, D3DMULTISAMPLE_4_SAMPLES);
    EXPECT_EQ(p.MultiSampleQuality, 0u);
    EXPECT_EQ(p.SwapEffect, D3DSWAPEFFECT_DISCARD);
    EXPECT_EQ(p.hDeviceWindow, nullptr);
    EXPECT_EQ(p.Windowed, TRUE);
    EXPECT_EQ(p.EnableAutoDepthStencil, TRUE);
    EXPECT_EQ(p.AutoDepthStencilFormat, D3DFMT_D24X8);
    EXPECT_EQ(p.PresentationInterval, D3DPRESENT_INTERVAL_IMMEDIATE);
    const std::vector<std::string> expected = {
        "GetAdapterDisplayMode(0)",
        "CreateDevice(0, 1, 0x00000040)",
        "SetRenderState(D3DRS_LIGHTING, 0)",
        "SetRenderState(D3DRS_CULLMODE, 1)",
        "SetRenderState(D3DRS_ZENABLE, 1)",
        "SetRenderState(D3DRS_DIFFUSEMATERIALSOURCE, 0)",
    };
    EXPECT_EQ(log.calls, expected);

    EXPECT_EQ(context->width, 800u);
    EXPECT_EQ(context->height, 600u);
    EXPECT_EQ(context->clearFlags, 3u);
    EXPECT_EQ(context->matrixMode, D3DTS_PROJECTION);
    EXPECT_EQ(context->inScene, 0);
    EXPECT_EQ(context->lightList->count, 0u);
    EXPECT_EQ(context->lightList->capacity, 100u);
    EXPECT_EQ(context->objectMatrix.m[3][3], 1.0f);
}

TEST_F(DeviceCreation, OnlyTwoAndFourSamplesAreRequested) {
    const std::pair<int, D3DMULTISAMPLE_TYPE> cases[] = {{0, D3DMULTISAMPLE_NONE}, {1, D3DMULTISAMPLE_NONE},
                                                         {2, D3DMULTISAMPLE_2_SAMPLES}, {3, D3DMULTISAMPLE_NONE},
                                                         {4, D3DMULTISAMPLE_4_SAMPLES}, {8, D3DMULTISAMPLE_NONE}};
    for (auto [argument, type] : cases) {
        Create(argument);
        EXPECT_EQ(log.presentParameters.MultiSampleType, type) << argument;
    }
}

TEST_F(DeviceCreation, DestroyReleasesDeviceThenDirect3D) {
    Create(0);
    log.clear();
    zkDestroyDevice(context);
    context = nullptr;
    EXPECT_EQ(log.calls, (std::vector<std::string>{"IDirect3DDevice9::Release()", "IDirect3D9::Release()"}));
}

TEST(DeviceCreationDeathTest, RefusedDeviceEndsTheProcess) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            RecordedCalls log;
            log.refuseDevice = true;
            SetDirect3DFactory([&log] { return new RecordingDirect3D(&log); });
            zkCreateDevice(nullptr, 640, 480, 4);
        },
        ::testing::ExitedWithCode(0), "Bang!: Configuration not supported!");
}

TEST_F(RecordingShell, ClearTruncatesColourComponents) {
    g_graphics->clearColour[0] = 0.5f;
    g_graphics->clearColour[1] = 115.0f / 255.0f;
    g_graphics->clearColour[2] = 1.0f;
    g_graphics->clearColour[3] = 0.0f;
    g_graphics->objectMatrix.m[3][0] = 7.0f;
    zkClear();
    EXPECT_EQ(log.calls, (std::vector<std::string>{"Clear(0, 3, 0x007F73FF, 1, 0)"}));
    EXPECT_EQ(g_graphics->objectMatrix.m[3][0], 0.0f);
}

TEST_F(RecordingShell, PresentClosesOnlyAnOpenScene) {
    zkPresent();
    EXPECT_EQ(log.calls, (std::vector<std::string>{"SetViewport(0, 0, 640, 480, 0, 1)", "Present()"}));
    log.clear();
    g_graphics->device->BeginScene();
    g_graphics->inScene = 1;
    zkPresent();
    EXPECT_EQ(log.calls, (std::vector<std::string>{"BeginScene()", "SetViewport(0, 0, 640, 480, 0, 1)",
                                                   "EndScene()", "Present()"}));
    EXPECT_EQ(g_graphics->inScene, 0);
}

TEST_F(RecordingShell, ViewportIsPercentOfTheContextTruncated) {
    g_graphics->width = 333;
    g_graphics->height = 101;
    zkSetViewport(10.0f, 50.0f, 50.0f, 50.0f);
    EXPECT_EQ(log.calls, (std::vector<std::string>{"SetViewport(33, 50, 166, 50, 0, 1)"}));
}

TEST_F(RecordingShell, LightListStopsAtCapacity) {
    for (int i = 0; i < 105; ++i) zkAddLight(i, 2, 3, 4, 5, 6, 7, 8);
    LightList* lights = g_graphics->lightList;
    EXPECT_EQ(lights->count, 100u);
    EXPECT_EQ(lights->positions[99][0], 99.0f);
    EXPECT_EQ(lights->positions[99][3], 4.0f);
    EXPECT_EQ(lights->colours[0][3], 8.0f);
}

TEST_F(RecordingShell, MaterialColoursAreCopied) {
    const float diffuse[4] = {1, 2, 3, 4}, specular[4] = {5, 6, 7, 8}, ambient[4] = {9, 10, 11, 12};
    zkSetMaterialColours(diffuse, specular, ambient);
    EXPECT_EQ(g_graphics->materialDiffuse[3], 4.0f);
    EXPECT_EQ(g_graphics->materialSpecular[0], 5.0f);
    EXPECT_EQ(g_graphics->materialAmbient[2], 11.0f);
}
