// The one graphics context: the device and the state the engine keeps beside it.
#pragma once

#include <vector>

#include "backend/d3d9.h"

struct LightList {
    static constexpr unsigned kCapacity = 100;
    float positions[kCapacity][4] = {};
    float colours[kCapacity][4] = {};
    unsigned capacity = kCapacity;
    unsigned count = 0;
};

struct GraphicsContext {
    unsigned width = 0;
    unsigned height = 0;
    IDirect3D9* direct3d = nullptr;
    IDirect3DDevice9* device = nullptr;
    float clearColour[4] = {0.5f, 0.5f, 0.5f, 1.0f};
    DWORD clearFlags = D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER;
    int inScene = 0;
    D3DTRANSFORMSTATETYPE matrixMode = D3DTS_PROJECTION;
    float materialDiffuse[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    float materialAmbient[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    float materialSpecular[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    D3DMATRIX objectMatrix{};
    LightList* lightList = nullptr;
    float pointSize = 1.0f;
    std::vector<D3DMATRIX>* matrixStack = nullptr;  // zkPushMatrix makes it, zkFreeMatrixStack drops it
};

// Every drawing operation reaches the device through this pointer.
extern GraphicsContext* g_graphics;

// Ends the process with "Configuration not supported!" when the device is refused.
GraphicsContext* zkCreateDevice(HWND window, int width, int height, int multisample);
void zkDestroyDevice(GraphicsContext* context);
void zkClear();
void zkPresent();
void zkSetViewport(float x, float y, float width, float height);
void zkSetMaterialColours(const float diffuse[4], const float specular[4], const float ambient[4]);
// Lights past the capacity are dropped.
void zkAddLight(float x, float y, float z, float positionW, float r, float g, float b, float colourW);
