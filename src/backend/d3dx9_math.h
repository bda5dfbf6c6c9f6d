// D3DX matrix functions: row-major matrices for row vectors (p' = p * M).
#pragma once

#include "backend/d3d9.h"

struct D3DXQUATERNION {
    float x, y, z, w;  // w is the scalar part
};

D3DMATRIX* D3DXMatrixIdentity(D3DMATRIX* out);
// out = a * b: a acts first on a row vector.
D3DMATRIX* D3DXMatrixMultiply(D3DMATRIX* out, const D3DMATRIX* a, const D3DMATRIX* b);
D3DMATRIX* D3DXMatrixTranspose(D3DMATRIX* out, const D3DMATRIX* m);
// Null when m is singular; determinant written when asked for.
D3DMATRIX* D3DXMatrixInverse(D3DMATRIX* out, float* determinant, const D3DMATRIX* m);
D3DMATRIX* D3DXMatrixTranslation(D3DMATRIX* out, float x, float y, float z);
D3DMATRIX* D3DXMatrixScaling(D3DMATRIX* out, float x, float y, float z);
D3DMATRIX* D3DXMatrixRotationX(D3DMATRIX* out, float angle);
D3DMATRIX* D3DXMatrixRotationY(D3DMATRIX* out, float angle);
D3DMATRIX* D3DXMatrixRotationZ(D3DMATRIX* out, float angle);
// The quaternion is used as given, not normalised.
D3DMATRIX* D3DXMatrixRotationQuaternion(D3DMATRIX* out, const D3DXQUATERNION* q);
D3DMATRIX* D3DXMatrixPerspectiveFovRH(D3DMATRIX* out, float fovY, float aspect, float zNear, float zFar);
D3DMATRIX* D3DXMatrixOrthoRH(D3DMATRIX* out, float width, float height, float zNear, float zFar);
