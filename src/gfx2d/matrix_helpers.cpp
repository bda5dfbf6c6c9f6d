#include "gfx2d/matrix_helpers.h"

#include "backend/d3dx9_math.h"
#include "platform/graphics_context.h"

namespace {
void OpenFreshScene() {
    if (g_graphics->inScene) g_graphics->device->EndScene();
    g_graphics->device->BeginScene();
    g_graphics->inScene = 1;
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
    D3DMATRIX translation;
    zkMultMatrix(*D3DXMatrixTranslation(&translation, x, y, z));
}

void zkOrtho(float width, float height) {
    OpenFreshScene();
    D3DMATRIX ortho;
    D3DXMatrixOrthoRH(&ortho, width, -height, -1.0f, 1.0f);
    g_graphics->device->SetTransform(g_graphics->matrixMode, &ortho);
    zkTranslate(-width * 0.5f, -height * 0.5f, 0.0f);
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
