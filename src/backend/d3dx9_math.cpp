#include "backend/d3dx9_math.h"

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

D3DMATRIX* D3DXMatrixTranslation(D3DMATRIX* out, float x, float y, float z) {
    D3DXMatrixIdentity(out);
    out->m[3][0] = x;
    out->m[3][1] = y;
    out->m[3][2] = z;
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
