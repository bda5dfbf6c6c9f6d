#include "backend/d3dx9_math.h"
#include "gfx2d/matrix_helpers.h"
#include "model/datablock_types.h"

void Camera::Apply() const {
    // Translation(-p) x Rotation(conjugate q): the inverse of placing the camera.
    D3DMATRIX m;
    const D3DXQUATERNION conjugate{-rotation.x, -rotation.y, -rotation.z, rotation.w};
    zkLoadIdentity();
    zkMultMatrix(*D3DXMatrixRotationQuaternion(&m, &conjugate));
    zkMultMatrix(*D3DXMatrixTranslation(&m, -position.x, -position.y, -position.z));
}
