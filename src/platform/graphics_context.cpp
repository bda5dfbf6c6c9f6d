#include "platform/graphics_context.h"

#include <cstring>

#include "backend/d3dx9_math.h"

GraphicsContext* g_graphics = nullptr;

namespace {

[[noreturn]] void RefuseConfiguration() {
    MessageBoxA(nullptr, "Configuration not supported!", "Bang!", MB_OK);
    ExitProcess(0);
}

D3DMULTISAMPLE_TYPE MultisampleType(int multisample) {
    if (multisample == 2) return D3DMULTISAMPLE_2_SAMPLES;
    if (multisample == 4) return D3DMULTISAMPLE_4_SAMPLES;
    return D3DMULTISAMPLE_NONE;
}

DWORD ColourByte(float component) { return static_cast<DWORD>(static_cast<int>(component * 255.0f)) & 0xFF; }

}  // namespace

GraphicsContext* zkCreateDevice(HWND window, int width, int height, int multisample) {
    auto* context = new GraphicsContext();
    context->width = static_cast<unsigned>(width);
    context->height = static_cast<unsigned>(height);
    context->lightList = new LightList();

    // Neither result is examined by Direct3D code; a missing backend is the
    // same refusal as a missing device.
    context->direct3d = Direct3DCreate9(D3D_SDK_VERSION_DEBUG);
    if (!context->direct3d) RefuseConfiguration();
    D3DDISPLAYMODE mode{};
    if (context->direct3d->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode) != D3D_OK) RefuseConfiguration();

    D3DPRESENT_PARAMETERS parameters;
    std::memset(&parameters, 0, sizeof parameters);
    parameters.BackBufferFormat = mode.Format;
    parameters.MultiSampleType = MultisampleType(multisample);
    parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
    parameters.Windowed = TRUE;
    parameters.EnableAutoDepthStencil = TRUE;
    parameters.AutoDepthStencilFormat = D3DFMT_D24X8;
    parameters.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;

    context->direct3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window, D3DCREATE_HARDWARE_VERTEXPROCESSING,
                                    &parameters, &context->device);
    if (!context->device) RefuseConfiguration();

    IDirect3DDevice9* device = context->device;
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
    device->SetRenderState(D3DRS_DIFFUSEMATERIALSOURCE, D3DMCS_MATERIAL);
    D3DXMatrixIdentity(&context->objectMatrix);
    return context;
}

void zkDestroyDevice(GraphicsContext* context) {
    if (!context) return;
    if (context->device) context->device->Release();
    if (context->direct3d) context->direct3d->Release();
    context->lightList->count = 0;
    delete context->lightList;
    delete context->matrixStack;  // the first zkPushMatrix made it
    delete context;
}

void zkClear() {
    const float* c = g_graphics->clearColour;
    const D3DCOLOR colour = (ColourByte(c[3]) << 24) | (ColourByte(c[0]) << 16) | (ColourByte(c[1]) << 8) |
                            ColourByte(c[2]);
    g_graphics->device->Clear(0, nullptr, g_graphics->clearFlags, colour, 1.0f, 0);
    D3DXMatrixIdentity(&g_graphics->objectMatrix);
}

void zkPresent() {
    zkSetViewport(0.0f, 0.0f, 100.0f, 100.0f);
    if (g_graphics->inScene) {
        g_graphics->device->EndScene();
        g_graphics->inScene = 0;
    }
    g_graphics->device->Present(nullptr, nullptr, nullptr, nullptr);
}

void zkSetViewport(float x, float y, float width, float height) {
    const float w = static_cast<float>(g_graphics->width);
    const float h = static_cast<float>(g_graphics->height);
    D3DVIEWPORT9 viewport;
    viewport.X = static_cast<DWORD>(w * x / 100.0f);
    viewport.Y = static_cast<DWORD>(h * y / 100.0f);
    viewport.Width = static_cast<DWORD>(w * width / 100.0f);
    viewport.Height = static_cast<DWORD>(h * height / 100.0f);
    viewport.MinZ = 0.0f;
    viewport.MaxZ = 1.0f;
    g_graphics->device->SetViewport(&viewport);
}

void zkSetMaterialColours(const float diffuse[4], const float specular[4], const float ambient[4]) {
    std::memcpy(g_graphics->materialDiffuse, diffuse, sizeof g_graphics->materialDiffuse);
    std::memcpy(g_graphics->materialSpecular, specular, sizeof g_graphics->materialSpecular);
    std::memcpy(g_graphics->materialAmbient, ambient, sizeof g_graphics->materialAmbient);
}

void zkAddLight(float x, float y, float z, float positionW, float r, float g, float b, float colourW) {
    LightList* lights = g_graphics->lightList;
    if (lights->count >= lights->capacity) return;
    float* position = lights->positions[lights->count];
    float* colour = lights->colours[lights->count];
    position[0] = x, position[1] = y, position[2] = z, position[3] = positionW;
    colour[0] = r, colour[1] = g, colour[2] = b, colour[3] = colourW;
    ++lights->count;
}
