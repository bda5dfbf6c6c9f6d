#include "gfx2d/matrix_helpers.h"

#include "backend/d3dx9_math.h"
#include "platform/graphics_context.h"

namespace {

constexpr float kHalfPi = 1.5707964f;
constexpr float kPi = 3.1415927f;

void OpenFreshScene() {
    if (g_graphics->inScene) g_graphics->device->EndScene();
    g_graphics->device->BeginScene();
    g_graphics->inScene = 1;
}

// The projection set-up both zkSet3D and the cube-face camera start with.
void SetPerspectiveProjection(float aspect, float fovDegrees, float zNear, float zFar) {
    g_graphics->matrixMode = D3DTS_PROJECTION;
    zkLoadIdentity();
    zkPerspective(aspect, fovDegrees, zNear, zFar);
    g_graphics->matrixMode = D3DTS_VIEW;
    zkLoadIdentity();
}

}  // namespace

void zkLoadIdentity() {
    D3DMATRIX identity;
    D3DXMatrixIdentity(&identity);
    g_graphics->device->SetTransform(g_graphics->matrixMode, &identity);
}

void zkMultMatrix(const D3DMATRIX& m) {
    D3DMATRIX current;
    g_graphics->device->GetTransform(g_graphics->matrixMode, &current);
    D3DXMatrixMultiply(&current, &m, &current);
    g_graphics->device->SetTransform(g_graphics->matrixMode, &current);
    g_graphics->objectMatrix = m;
}

void zkTranslate(float x, float y, float z) {
    D3DMATRIX m;
    zkMultMatrix(*D3DXMatrixTranslation(&m, x, y, z));
}

void zkRotateX(float angle) {
    D3DMATRIX m;
    zkMultMatrix(*D3DXMatrixRotationX(&m, angle));
}

void zkRotateY(float angle) {
    D3DMATRIX m;
    zkMultMatrix(*D3DXMatrixRotationY(&m, angle));
}

void zkRotateZ(float angle) {
    D3DMATRIX m;
    zkMultMatrix(*D3DXMatrixRotationZ(&m, angle));
}

void zkScale(float x, float y, float z) {
    D3DMATRIX m;
    zkMultMatrix(*D3DXMatrixScaling(&m, x, y, z));
}

void zkPushMatrix() {
    if (!g_graphics->matrixStack) g_graphics->matrixStack = new std::vector<D3DMATRIX>();
    D3DMATRIX current;
    g_graphics->device->GetTransform(g_graphics->matrixMode, &current);
    g_graphics->matrixStack->push_back(current);
}

void zkPopMatrix() {
    std::vector<D3DMATRIX>* stack = g_graphics->matrixStack;
    if (!stack || stack->empty()) return;
    g_graphics->device->SetTransform(g_graphics->matrixMode, &stack->back());
    stack->pop_back();
}

void zkFreeMatrixStack() {
    delete g_graphics->matrixStack;
    g_graphics->matrixStack = nullptr;
}

void zkPerspective(float aspect, float fovDegrees, float zNear, float zFar) {
    OpenFreshScene();
    D3DMATRIX perspective;
    const float fovRadians = static_cast<float>(fovDegrees * 0.017453292);  // the constant is a double
    D3DXMatrixPerspectiveFovRH(&perspective, fovRadians, aspect, zNear, zFar);
    g_graphics->device->SetTransform(g_graphics->matrixMode, &perspective);
    g_graphics->device->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
}

void zkOrtho(float width, float height) {
    OpenFreshScene();
    D3DMATRIX ortho;
    D3DXMatrixOrthoRH(&ortho, width, -height, -1.0f, 1.0f);
    g_graphics->device->SetTransform(g_graphics->matrixMode, &ortho);
    zkTranslate(-width * 0.5f, -height * 0.5f, 0.0f);
}

void zkSet3D(float width, float height, float fovDegrees, float zNear, float zFar) {
    SetPerspectiveProjection(width / height, fovDegrees, zNear, zFar);
    g_graphics->device->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
}

void zkSet2D(float width, float height) {
    g_graphics->matrixMode = D3DTS_PROJECTION;
    zkLoadIdentity();
    zkOrtho(width, height);
    g_graphics->matrixMode = D3DTS_VIEW;
    zkLoadIdentity();
    g_graphics->device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    g_graphics->device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
}

void zkSetCubeFaceCamera(int face, float x, float y, float z, float zNear, float zFar) {
    SetPerspectiveProjection(1.0f, 90.0f, zNear, zFar);
    switch (face) {
        case 0: zkRotateY(kHalfPi), zkRotateX(kPi); break;
        case 1: zkRotateY(-kHalfPi), zkRotateX(kPi); break;
        case 2: zkRotateX(kHalfPi); break;
        case 3: zkRotateX(-kHalfPi); break;
        case 4: zkRotateX(kPi); break;
        case 5: zkRotateZ(kPi); break;
    }
    zkScale(-1.0f, -1.0f, 1.0f);
    zkTranslate(-x, -y, -z);
}

D3DMATRIX zkGetMatrix(int selector) {
    D3DMATRIX result{};
    IDirect3DDevice9* device = g_graphics->device;
    switch (selector) {
        case 0: {
            D3DVIEWPORT9 viewport;
            device->GetViewport(&viewport);
            result.m[0][0] = static_cast<float>(viewport.X);
            result.m[0][1] = static_cast<float>(viewport.Y);
            result.m[0][2] = static_cast<float>(viewport.Width);
            result.m[0][3] = static_cast<float>(viewport.Height);
            break;
        }
        case 1: device->GetTransform(D3DTS_PROJECTION, &result); break;
        case 2: device->GetTransform(D3DTS_VIEW, &result); break;
        case 3: device->GetTransform(D3DTS_TEXTURE0, &result); break;
    }
    return result;
}
