// D3DX matrix functions: row-major matrices for row vectors (p' = p * M).
#pragma once

#include "backend/d3d9.h"

D3DMATRIX* D3DXMatrixIdentity(D3DMATRIX* out);
// out = a * b: a acts first on a row vector.
D3DMATRIX* D3DXMatrixMultiply(D3DMATRIX* out, const D3DMATRIX* a, const D3DMATRIX* b);
D3DMATRIX* D3DXMatrixTranslation(D3DMATRIX* out, float x, float y, float z);
D3DMATRIX* D3DXMatrixOrthoRH(D3DMATRIX* out, float width, float height, float zNear, float zFar);
