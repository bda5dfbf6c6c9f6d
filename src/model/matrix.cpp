#include "model/matrix.h"

#include <cmath>

#include "backend/d3dx9_math.h"

Matrix::Matrix() : D3DMATRIX{} { D3DXMatrixIdentity(this); }

Matrix Matrix::Translation(float x, float y, float z) {
    D3DXMatrixTranslation(this, x, y, z);
    return *this;
}

Matrix Matrix::Scaling(float x, float y, float z) {
    D3DXMatrixScaling(this, x, y, z);
    return *this;
}

Matrix Matrix::Rotation(const Quaternion& q) {
    const D3DXQUATERNION quaternion{q.x, q.y, q.z, q.w};
    D3DXMatrixRotationQuaternion(this, &quaternion);
    return *this;
}

Matrix Matrix::Product(const Matrix& a, const Matrix& b) {
    D3DXMatrixMultiply(this, &a, &b);
    return *this;
}

Matrix operator*(const Matrix& a, const Matrix& b) { return Matrix().Product(a, b); }

Quaternion Normalised(const Quaternion& q) {
    const float length = std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w);
    if (length == 0.0f) return q;
    return {q.x / length, q.y / length, q.z / length, q.w / length};
}
