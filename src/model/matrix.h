// The engine's vector, quaternion and 4x4 matrix values. Matrices are
// row-major for row vectors (p' = p x M); in a product A x B, A acts first.
#pragma once

#include "backend/d3d9.h"

struct Vec3 {
    float x = 0, y = 0, z = 0;
};

// w is the scalar part; the default is no rotation.
struct Quaternion {
    float x = 0, y = 0, z = 0, w = 1;
};

struct Matrix : D3DMATRIX {
    Matrix();  // identity

    // Each constructor overwrites the whole matrix and returns a copy of it.
    Matrix Translation(float x, float y, float z);
    Matrix Scaling(float x, float y, float z);
    // Not normalised: a non-unit quaternion also scales and shears.
    Matrix Rotation(const Quaternion& q);
    Matrix Product(const Matrix& a, const Matrix& b);
};

Matrix operator*(const Matrix& a, const Matrix& b);

// Divides by the length; a zero quaternion is returned unchanged.
Quaternion Normalised(const Quaternion& q);
