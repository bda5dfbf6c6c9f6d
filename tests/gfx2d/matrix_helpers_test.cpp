#include <gtest/gtest.h>

#include "gfx2d/matrix_helpers.h"
#include "recording_fixture.h"

namespace {

struct Clip {
    float x, y, z, w;
};

Clip Transform(const D3DMATRIX& m, float x, float y, float z) {
    const float in[4] = {x, y, z, 1.0f};
    float out[4] = {};
    for (int column = 0; column < 4; ++column)
        for (int k = 0; k < 4; ++k) out[column] += in[k] * m.m[k][column];
    return {out[0], out[1], out[2], out[3]};
}

}  // namespace

TEST_F(RecordingShell, Set2DMapsPixelsToTheViewportTopLeftFirst) {
    zkSet2D(640.0f, 480.0f);
    D3DMATRIX projection, view;
    g_graphics->device->GetTransform(D3DTS_PROJECTION, &projection);
    g_graphics->device->GetTransform(D3DTS_VIEW, &view);

    const Clip topLeft = Transform(projection, 0, 0, 0);
    EXPECT_FLOAT_EQ(topLeft.x, -1.0f);
    EXPECT_FLOAT_EQ(topLeft.y, 1.0f);
    const Clip bottomRight = Transform(projection, 640, 480, 0);
    EXPECT_FLOAT_EQ(bottomRight.x, 1.0f);
    EXPECT_FLOAT_EQ(bottomRight.y, -1.0f);
    EXPECT_FLOAT_EQ(Transform(projection, 0, 0, -1).z, 1.0f);  // z in [-1, 1] spans the depth range
    EXPECT_FLOAT_EQ(Transform(projection, 0, 0, 1).z, 0.0f);
    EXPECT_FLOAT_EQ(view.m[3][0], 0.0f);

    EXPECT_EQ(g_graphics->matrixMode, D3DTS_VIEW);
    EXPECT_EQ(g_graphics->inScene, 1);
    EXPECT_FLOAT_EQ(g_graphics->objectMatrix.m[3][0], -320.0f);  // the last multiplied matrix
}

TEST_F(RecordingShell, EachSetUpOpensAFreshScene) {
    zkSet2D(640.0f, 480.0f);
    zkSet2D(320.0f, 200.0f);
    zkPresent();
    std::vector<std::string> scenes;
    for (const std::string& call : log.calls)
        if (call == "BeginScene()" || call == "EndScene()") scenes.push_back(call);
    EXPECT_EQ(scenes, (std::vector<std::string>{"BeginScene()", "EndScene()", "BeginScene()", "EndScene()"}));
}

TEST_F(RecordingShell, MultMatrixActsBeforeEarlierMatrices) {
    g_graphics->matrixMode = D3DTS_VIEW;
    zkLoadIdentity();
    zkTranslate(1.0f, 0.0f, 0.0f);
    zkTranslate(0.0f, 2.0f, 0.0f);
    D3DMATRIX view;
    g_graphics->device->GetTransform(D3DTS_VIEW, &view);
    EXPECT_FLOAT_EQ(view.m[3][0], 1.0f);
    EXPECT_FLOAT_EQ(view.m[3][1], 2.0f);
    EXPECT_FLOAT_EQ(g_graphics->objectMatrix.m[3][1], 2.0f);
    zkClear();
    EXPECT_FLOAT_EQ(g_graphics->objectMatrix.m[3][1], 0.0f);
}
