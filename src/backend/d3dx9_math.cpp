#include "backend/d3dx9_math.h"

#include <cmath>
#include <utility>

D3DMATRIX* D3DXMatrixIdentity(D3DMATRIX* out) {
    *out = D3DMATRIX{};
    for (int i = 0; i < 4; ++i) out->m[i][i] = 1.0f;
    return out;
}

D3DMATRIX* D3DXMatrixMultiply(D3DMATRIX* out, const D3DMATRIX* a, const D3DMATRIX* b) {
    D3DMATRIX product{};  // out may alias a or b
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column)
            for (int k = 0; k < 4; ++k) product.m[row][column] += a->m[row][k] * b->m[k][column];
    *out = product;
    return out;
}

D3DMATRIX* D3DXMatrixTranspose(D3DMATRIX* out, const D3DMATRIX* m) {
    D3DMATRIX transposed;
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column) transposed.m[row][column] = m->m[column][row];
    *out = transposed;
    return out;
}

D3DMATRIX* D3DXMatrixInverse(D3DMATRIX* out, float* determinant, const D3DMATRIX* m) {
    // Gauss-Jordan elimination with partial pivoting, in double precision.
    double a[4][8];
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column) {
            a[row][column] = m->m[row][column];
            a[row][column + 4] = row == column ? 1.0 : 0.0;
        }
    double det = 1.0;
    for (int column = 0; column < 4; ++column) {
        int pivot = column;
        for (int row = column + 1; row < 4; ++row)
            if (std::fabs(a[row][column]) > std::fabs(a[pivot][column])) pivot = row;
        if (a[pivot][column] == 0.0) {
            if (determinant) *determinant = 0.0f;
            return nullptr;
        }
        if (pivot != column) {
            for (int k = 0; k < 8; ++k) std::swap(a[pivot][k], a[column][k]);
            det = -det;
        }
        det *= a[column][column];
        const double scale = 1.0 / a[column][column];
        for (int k = 0; k < 8; ++k) a[column][k] *= scale;
        for (int row = 0; row < 4; ++row) {
            if (row == column) continue;
            const double factor = a[row][column];
            for (int k = 0; k < 8; ++k) a[row][k] -= factor * a[column][k];
        }
    }
    if (determinant) *determinant = static_cast<float>(det);
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column) out->m[row][column] = static_cast<float>(a[row][column + 4]);
    return out;
}

D3DMATRIX* D3DXMatrixTranslation(D3DMATRIX* out, float x, float y, float z) {
    D3DXMatrixIdentity(out);
    out->m[3][0] = x;
    out->m[3][1] = y;
    out->m[3][2] = z;
    return out;
}

D3DMATRIX* D3DXMatrixScaling(D3DMATRIX* out, float x, float y, float z) {
    D3DXMatrixIdentity(out);
    out->m[0][0] = x;
    out->m[1][1] = y;
    out->m[2][2] = z;
    return out;
}

D3DMATRIX* D3DXMatrixRotationX(D3DMATRIX* out, float angle) {
    const float c = std::cos(angle), s = std::sin(angle);
    D3DXMatrixIdentity(out);
    out->m[1][1] = c;
    out->m[1][2] = s;
    out->m[2][1] = -s;
    out->m[2][2] = c;
    return out;
}

D3DMATRIX* D3DXMatrixRotationY(D3DMATRIX* out, float angle) {
    const float c = std::cos(angle), s = std::sin(angle);
    D3DXMatrixIdentity(out);
    out->m[0][0] = c;
    out->m[0][2] = -s;
    out->m[2][0] = s;
    out->m[2][2] = c;
    return out;
}

D3DMATRIX* D3DXMatrixRotationZ(D3DMATRIX* out, float angle) {
    const float c = std::cos(angle), s = std::sin(angle);
    D3DXMatrixIdentity(out);
    out->m[0][0] = c;
    out->m[0][1] = s;
    out->m[1][0] = -s;
    out->m[1][1] = c;
    return out;
}

D3DMATRIX* D3DXMatrixRotationQuaternion(D3DMATRIX* out, const D3DXQUATERNION* q) {
    const float x = q->x, y = q->y, z = q->z, w = q->w;
    D3DXMatrixIdentity(out);
    out->m[0][0] = 1.0f - 2.0f * (y * y + z * z);
    out->m[0][1] = 2.0f * (x * y + z * w);
    out->m[0][2] = 2.0f * (x * z - y * w);
    out->m[1][0] = 2.0f * (x * y - z * w);
    out->m[1][1] = 1.0f - 2.0f * (x * x + z * z);
    out->m[1][2] = 2.0f * (y * z + x * w);
    out->m[2][0] = 2.0f * (x * z + y * w);
    out->m[2][1] = 2.0f * (y * z - x * w);
    out->m[2][2] = 1.0f - 2.0f * (x * x + y * y);
    return out;
}

D3DMATRIX* D3DXMatrixPerspectiveFovRH(D3DMATRIX* out, float fovY, float aspect, float zNear, float zFar) {
    const float yScale = 1.0f / std::tan(fovY / 2.0f);
    *out = D3DMATRIX{};
    out->m[0][0] = yScale / aspect;
    out->m[1][1] = yScale;
    out->m[2][2] = zFar / (zNear - zFar);
    out->m[2][3] = -1.0f;
    out->m[3][2] = zNear * zFar / (zNear - zFar);
    return out;
}

D3DMATRIX* D3DXMatrixOrthoRH(D3DMATRIX* out, float width, float height, float zNear, float zFar) {
    D3DXMatrixIdentity(out);
    out->m[0][0] = 2.0f / width;
    out->m[1][1] = 2.0f / height;
    out->m[2][2] = 1.0f / (zNear - zFar);
    out->m[3][2] = zNear / (zNear - zFar);
    return out;
}
