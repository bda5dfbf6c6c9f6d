#include <gtest/gtest.h>

#include <cmath>

#include "backend/d3dx9_math.h"

namespace {

constexpr float kPi = 3.14159265f;

void ExpectMatrixNear(const D3DMATRIX& actual, const D3DMATRIX& expected, float tolerance = 1e-6f) {
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column)
            EXPECT_NEAR(actual.m[row][column], expected.m[row][column], tolerance)
                << "at [" << row << "][" << column << "]";
}

}  // namespace

TEST(D3dxMatrix, IdentityTranslationAndScaling) {
    D3DMATRIX m;
    m.m[1][0] = 7.0f;  // stale contents must not survive
    ExpectMatrixNear(*D3DXMatrixIdentity(&m), {{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}});
    ExpectMatrixNear(*D3DXMatrixTranslation(&m, 2, 3, 4), {{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {2, 3, 4, 1}}});
    ExpectMatrixNear(*D3DXMatrixScaling(&m, 2, 3, 4), {{{2, 0, 0, 0}, {0, 3, 0, 0}, {0, 0, 4, 0}, {0, 0, 0, 1}}});
}

TEST(D3dxMatrix, MultiplyAppliesTheLeftMatrixFirst) {
    D3DMATRIX translate, rotate, product;
    D3DXMatrixTranslation(&translate, 1, 0, 0);
    D3DXMatrixRotationZ(&rotate, kPi / 2);
    // Moved to (1,0,0), then turned onto +Y.
    ExpectMatrixNear(*D3DXMatrixMultiply(&product, &translate, &rotate),
                     {{{0, 1, 0, 0}, {-1, 0, 0, 0}, {0, 0, 1, 0}, {0, 1, 0, 1}}});
    // Turned first, so the origin stays put and is then moved.
    ExpectMatrixNear(*D3DXMatrixMultiply(&product, &rotate, &translate),
                     {{{0, 1, 0, 0}, {-1, 0, 0, 0}, {0, 0, 1, 0}, {1, 0, 0, 1}}});

    const D3DMATRIX a{{{1, 2, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 3}, {0, 0, 0, 1}}};
    const D3DMATRIX b{{{2, 0, 0, 0}, {1, 1, 0, 0}, {0, 0, 1, 0}, {0, 5, 0, 1}}};
    D3DMATRIX aliased = a;
    D3DXMatrixMultiply(&aliased, &aliased, &b);  // the output may be an input
    ExpectMatrixNear(aliased, {{{4, 2, 0, 0}, {1, 1, 0, 0}, {0, 15, 1, 3}, {0, 5, 0, 1}}});
}

TEST(D3dxMatrix, TransposeSwapsRowsAndColumns) {
    D3DMATRIX m;
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column) m.m[row][column] = static_cast<float>(row * 4 + column);
    D3DXMatrixTranspose(&m, &m);
    ExpectMatrixNear(m, {{{0, 4, 8, 12}, {1, 5, 9, 13}, {2, 6, 10, 14}, {3, 7, 11, 15}}});
}

TEST(D3dxMatrix, InverseUndoesAndReportsTheDeterminantOrRefusesASingularMatrix) {
    D3DMATRIX rotate, translate, m, inverse, product, identity;
    D3DXMatrixIdentity(&identity);
    D3DXMatrixRotationY(&rotate, 0.7f);
    D3DXMatrixTranslation(&translate, 1, -2, 3);
    D3DXMatrixMultiply(&m, &rotate, &translate);
    float determinant = 0.0f;
    ASSERT_EQ(D3DXMatrixInverse(&inverse, &determinant, &m), &inverse);
    EXPECT_NEAR(determinant, 1.0f, 1e-6f);
    ExpectMatrixNear(*D3DXMatrixMultiply(&product, &m, &inverse), identity, 1e-5f);
    ExpectMatrixNear(*D3DXMatrixMultiply(&product, &inverse, &m), identity, 1e-5f);

    D3DXMatrixScaling(&m, 2, 4, -8);
    ASSERT_NE(D3DXMatrixInverse(&inverse, &determinant, &m), nullptr);
    EXPECT_FLOAT_EQ(determinant, -64.0f);
    ExpectMatrixNear(inverse, {{{0.5f, 0, 0, 0}, {0, 0.25f, 0, 0}, {0, 0, -0.125f, 0}, {0, 0, 0, 1}}});

    // A permutation needs row swaps; its determinant is -1.
    const D3DMATRIX swapXY{{{0, 1, 0, 0}, {1, 0, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}};
    ASSERT_NE(D3DXMatrixInverse(&inverse, &determinant, &swapXY), nullptr);
    EXPECT_FLOAT_EQ(determinant, -1.0f);
    ExpectMatrixNear(inverse, swapXY);
    EXPECT_NE(D3DXMatrixInverse(&inverse, nullptr, &swapXY), nullptr);  // the determinant is optional

    const D3DMATRIX flat{{{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 0, 0}, {4, 5, 6, 1}}};
    const D3DMATRIX repeatedRow{{{1, 2, 3, 0}, {2, 4, 6, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}};
    determinant = 5.0f;
    EXPECT_EQ(D3DXMatrixInverse(&inverse, &determinant, &flat), nullptr);
    EXPECT_EQ(determinant, 0.0f);
    EXPECT_EQ(D3DXMatrixInverse(&inverse, nullptr, &repeatedRow), nullptr);
}

TEST(D3dxMatrix, RotationsTurnAxesAsD3dxDoes) {
    // Row vectors; a sixth of a half turn, so the sine and cosine are distinct and signed apart.
    D3DMATRIX m;
    const float c = std::sqrt(3.0f) / 2, s = 0.5f;
    ExpectMatrixNear(*D3DXMatrixRotationX(&m, kPi / 6), {{{1, 0, 0, 0}, {0, c, s, 0}, {0, -s, c, 0}, {0, 0, 0, 1}}});
    ExpectMatrixNear(*D3DXMatrixRotationY(&m, kPi / 6), {{{c, 0, -s, 0}, {0, 1, 0, 0}, {s, 0, c, 0}, {0, 0, 0, 1}}});
    ExpectMatrixNear(*D3DXMatrixRotationZ(&m, kPi / 6), {{{c, s, 0, 0}, {-s, c, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}}});
}

TEST(D3dxMatrix, QuaternionAboutAnAxisMatchesTheAxisRotation) {
    const float angle = 0.9f, s = std::sin(angle / 2), c = std::cos(angle / 2);
    D3DMATRIX fromQuaternion, expected;
    const D3DXQUATERNION aboutX{s, 0, 0, c}, aboutY{0, s, 0, c}, aboutZ{0, 0, s, c};
    ExpectMatrixNear(*D3DXMatrixRotationQuaternion(&fromQuaternion, &aboutX), *D3DXMatrixRotationX(&expected, angle));
    ExpectMatrixNear(*D3DXMatrixRotationQuaternion(&fromQuaternion, &aboutY), *D3DXMatrixRotationY(&expected, angle));
    ExpectMatrixNear(*D3DXMatrixRotationQuaternion(&fromQuaternion, &aboutZ), *D3DXMatrixRotationZ(&expected, angle));

    // A general unit quaternion: (1,1,1)/sqrt(3) by a third of a turn cycles X to Y to Z.
    const float h = 0.5f;
    const D3DXQUATERNION cycle{h, h, h, h};
    ExpectMatrixNear(*D3DXMatrixRotationQuaternion(&fromQuaternion, &cycle),
                     {{{0, 1, 0, 0}, {0, 0, 1, 0}, {1, 0, 0, 0}, {0, 0, 0, 1}}});

    // Not normalised: a length-2 quaternion scales the squared terms by 4.
    const D3DXQUATERNION longX{2, 0, 0, 0};
    ExpectMatrixNear(*D3DXMatrixRotationQuaternion(&fromQuaternion, &longX),
                     {{{1, 0, 0, 0}, {0, -7, 0, 0}, {0, 0, -7, 0}, {0, 0, 0, 1}}});
}

TEST(D3dxMatrix, PerspectiveFovRightHanded) {
    D3DMATRIX m;
    D3DXMatrixPerspectiveFovRH(&m, kPi / 2, 2.0f, 1.0f, 101.0f);
    // Looking down -Z, z = -1 lands on depth 0 and z = -101 on depth 1.
    ExpectMatrixNear(m, {{{0.5f, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, -1.01f, -1}, {0, 0, -1.01f, 0}}});

    D3DXMatrixPerspectiveFovRH(&m, kPi / 3, 1.0f, 0.5f, 10.0f);  // cot, not tan, of half the angle
    EXPECT_NEAR(m.m[1][1], std::sqrt(3.0f), 1e-5f);
    EXPECT_NEAR(m.m[0][0], std::sqrt(3.0f), 1e-5f);
}

TEST(D3dxMatrix, OrthoRightHanded) {
    D3DMATRIX m;
    D3DXMatrixOrthoRH(&m, 4.0f, 2.0f, 1.0f, 3.0f);  // z = -1 and z = -3 span depth 0 to 1
    ExpectMatrixNear(m, {{{0.5f, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, -0.5f, 0}, {0, 0, -0.5f, 1}}});
}
