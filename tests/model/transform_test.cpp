// Local matrices of placed nodes and the camera's view matrix.
#include <gtest/gtest.h>

#include <cmath>

#include "gfx2d/matrix_helpers.h"
#include "model/datablock_types.h"
#include "model/node.h"
#include "platform/graphics_context.h"
#include "recording_fixture.h"

namespace {

void ExpectMatrixNear(const D3DMATRIX& actual, const D3DMATRIX& expected) {
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) EXPECT_NEAR(actual.m[i][j], expected.m[i][j], 1e-6f) << i << "," << j;
}

class Transforms : public RecordingShell {
protected:
    void SetUp() override {
        RecordingShell::SetUp();
        g_graphics->matrixMode = D3DTS_VIEW;
        zkLoadIdentity();
    }
    D3DMATRIX View() {
        D3DMATRIX view;
        g_graphics->device->GetTransform(D3DTS_VIEW, &view);
        return view;
    }
};

}  // namespace

TEST(MatrixValues, ConstructorsAndProductOrder) {
    Matrix t, s, r;
    t.Translation(1, 2, 3);
    s.Scaling(2, 3, 4);
    const float h = std::sqrt(0.5f);
    r.Rotation({0, 0, h, h});
    EXPECT_NEAR(r.m[0][0], 0, 1e-6f);
    EXPECT_NEAR(r.m[0][1], 1, 1e-6f);
    EXPECT_NEAR(r.m[1][0], -1, 1e-6f);
    EXPECT_NEAR(r.m[1][1], 0, 1e-6f);
    // The left factor acts first: scale, then move.
    const Matrix st = s * t;
    EXPECT_EQ(st.m[3][0], 1.0f);
    EXPECT_EQ(st.m[0][0], 2.0f);
    // Used as given: (0, 0, 1, 1) is not a quarter turn but scales and turns.
    Matrix scaled;
    scaled.Rotation({0, 0, 1, 1});
    EXPECT_EQ(scaled.m[0][0], -1.0f);
    EXPECT_EQ(scaled.m[0][1], 2.0f);
}

TEST_F(Transforms, NodeLocalMatrixIsScaleRotationTranslation) {
    Node node;
    node.position = {1, 2, 3};
    node.Apply();
    Matrix expected;
    ExpectMatrixNear(node.local, expected.Translation(1, 2, 3));
    ExpectMatrixNear(View(), expected);
    ExpectMatrixNear(g_graphics->objectMatrix, expected);

    const float h = std::sqrt(0.5f);
    node.rotation = {0, 0, h, h};
    node.scale = {2, 1, 1};
    zkLoadIdentity();
    node.Apply();
    // (1, 0, 0) is scaled to (2, 0, 0), turned to (0, 2, 0), moved to (1, 4, 3).
    EXPECT_NEAR(node.local.m[0][0], 0, 1e-6f);
    EXPECT_NEAR(node.local.m[0][1], 2, 1e-6f);
    EXPECT_EQ(node.local.m[3][1], 2.0f);

    // A fixed matrix is kept whatever the node's values say.
    node.flags = NODE_FIXED_MATRIX;
    node.local = expected.Scaling(5, 5, 5);
    node.position = {9, 9, 9};
    zkLoadIdentity();
    node.Apply();
    ExpectMatrixNear(View(), expected);
}

TEST_F(Transforms, CameraViewIsTheInverseOfItsPlacement) {
    Camera camera;
    camera.position = {0, 0, 5};
    zkTranslate(7, 7, 7);  // replaced, not multiplied
    camera.Apply();
    Matrix expected;
    ExpectMatrixNear(View(), expected.Translation(0, 0, -5));
    ExpectMatrixNear(g_graphics->objectMatrix, expected);

    // Turned a quarter about y and moved: the camera's own position maps to the origin.
    const float h = std::sqrt(0.5f);
    camera.rotation = {0, h, 0, h};
    camera.position = {3, 1, 2};
    camera.Apply();
    const D3DMATRIX v = View();
    for (int j = 0; j < 3; ++j)
        EXPECT_NEAR(3 * v.m[0][j] + 1 * v.m[1][j] + 2 * v.m[2][j] + v.m[3][j], 0.0f, 1e-5f);
}
