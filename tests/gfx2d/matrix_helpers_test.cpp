#include <gtest/gtest.h>

#include <cmath>

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

namespace {

// The call names only, e.g. "SetTransform(D3DTS_VIEW" or "SetRenderState(D3DRS_ZENABLE, 1)".
std::vector<std::string> Shapes(const std::vector<std::string>& calls) {
    std::vector<std::string> shapes;
    for (const std::string& call : calls)
        shapes.push_back(call.rfind("SetTransform(", 0) == 0 ? call.substr(0, call.find(',')) : call);
    return shapes;
}

D3DMATRIX Current(D3DTRANSFORMSTATETYPE state) {
    D3DMATRIX m;
    g_graphics->device->GetTransform(state, &m);
    return m;
}

}  // namespace

TEST_F(RecordingShell, Set3DSequenceAndFieldOfView) {
    zkSet3D(800.0f, 600.0f, 36.0f, 0.2f, 1000.0f);
    EXPECT_EQ(Shapes(log.calls), (std::vector<std::string>{
                                     "SetTransform(D3DTS_PROJECTION",  // load identity
                                     "BeginScene()",
                                     "SetTransform(D3DTS_PROJECTION",  // replaced by the perspective
                                     "SetRenderState(D3DRS_ZENABLE, 1)",
                                     "SetTransform(D3DTS_VIEW",
                                     "SetRenderState(D3DRS_ZENABLE, 1)",
                                 }));
    const D3DMATRIX projection = Current(D3DTS_PROJECTION);
    const float cotangent = 1.0f / std::tan(18.0f * 3.14159265f / 180.0f);
    EXPECT_NEAR(projection.m[1][1], cotangent, 1e-4f);
    EXPECT_NEAR(projection.m[0][0], cotangent * 0.75f, 1e-4f);  // aspect 4/3
    EXPECT_EQ(projection.m[2][3], -1.0f);                        // right-handed
    EXPECT_EQ(g_graphics->matrixMode, D3DTS_VIEW);
}

TEST_F(RecordingShell, CubeFaceCameraLooksAlongItsAxisFromTheEye) {
    // Where a point one unit from the eye along each axis lands in view space.
    struct Face {
        int face;
        float x, y, z;
    };
    // The mirror flips X and the quarter turns do not flip it back, so face 0
    // looks down -X and face 1 down +X; cube-map shaders sample with that in mind.
    const Face axes[] = {{0, -1, 0, 0}, {1, 1, 0, 0}, {2, 0, 1, 0}, {3, 0, -1, 0}, {4, 0, 0, 1}, {5, 0, 0, -1}};
    for (const Face& axis : axes) {
        zkSetCubeFaceCamera(axis.face, 0.0f, 0.0f, 12.0f, 1.0f, 400.0f);
        const Clip seen = Transform(Current(D3DTS_VIEW), axis.x, axis.y, 12.0f + axis.z);
        // Straight ahead: on the view axis, in front of a right-handed camera.
        EXPECT_NEAR(seen.x, 0.0f, 1e-5f) << "face " << axis.face;
        EXPECT_NEAR(seen.y, 0.0f, 1e-5f) << "face " << axis.face;
        EXPECT_NEAR(seen.z, -1.0f, 1e-5f) << "face " << axis.face;
    }
    // Face 6: the mirror and the move, no rotation.
    zkSetCubeFaceCamera(6, 1.0f, 2.0f, 3.0f, 1.0f, 400.0f);
    const D3DMATRIX view = Current(D3DTS_VIEW);
    const D3DMATRIX expected{{{-1, 0, 0, 0}, {0, -1, 0, 0}, {0, 0, 1, 0}, {1, 2, -3, 1}}};
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column) EXPECT_FLOAT_EQ(view.m[row][column], expected.m[row][column]);
    EXPECT_FLOAT_EQ(Current(D3DTS_PROJECTION).m[0][0], 1.0f);  // 90 degrees, square
}

TEST_F(RecordingShell, StackRestoresIntoTheCurrentModeAndReadsBack) {
    zkPopMatrix();  // nothing pushed: nothing happens
    g_graphics->matrixMode = D3DTS_VIEW;
    zkLoadIdentity();
    zkTranslate(5.0f, 0.0f, 0.0f);
    zkPushMatrix();
    zkPushMatrix();
    zkScale(2.0f, 2.0f, 2.0f);
    zkPopMatrix();
    EXPECT_FLOAT_EQ(Current(D3DTS_VIEW).m[0][0], 1.0f);
    zkPopMatrix();
    log.clear();
    zkPopMatrix();
    EXPECT_TRUE(log.calls.empty());
    EXPECT_FLOAT_EQ(zkGetMatrix(2).m[3][0], 5.0f);
    zkFreeMatrixStack();
    EXPECT_EQ(g_graphics->matrixStack, nullptr);

    const D3DVIEWPORT9 viewport{10, 20, 300, 200, 0.0f, 1.0f};
    g_graphics->device->SetViewport(&viewport);
    const D3DMATRIX read = zkGetMatrix(0);
    EXPECT_EQ(std::vector<float>(read.m[0], read.m[0] + 4), (std::vector<float>{10, 20, 300, 200}));
    EXPECT_EQ(zkGetMatrix(7).m[3][3], 0.0f);
}
