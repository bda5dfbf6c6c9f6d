// The OpenGL Direct3D object: it makes the context and the device.
#include "backend/gl_device.h"

#include <SDL.h>

#include <cstdio>

#include "backend/gl_device_impl.h"

namespace {

using gl_device::GlDevice;

class GlDirect3D : public IDirect3D9 {
public:
    ULONG Release() override {
        delete this;
        return 0;
    }

    HRESULT GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* mode) override {
        *mode = D3DDISPLAYMODE{640, 480, 60, D3DFMT_X8R8G8B8};
        SDL_DisplayMode desktop{};
        if (adapter == 0 && SDL_WasInit(SDL_INIT_VIDEO) && SDL_GetDesktopDisplayMode(0, &desktop) == 0) {
            mode->Width = static_cast<UINT>(desktop.w);
            mode->Height = static_cast<UINT>(desktop.h);
            mode->RefreshRate = static_cast<UINT>(desktop.refresh_rate);
        }
        return D3D_OK;
    }

    HRESULT CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focusWindow, DWORD, D3DPRESENT_PARAMETERS* parameters,
                         IDirect3DDevice9** device) override {
        *device = nullptr;
        SDL_Window* window = SdlWindowOf(focusWindow);
        if (adapter != 0 || type != D3DDEVTYPE_HAL || !window) return D3DERR_INVALIDCALL;
        const auto samples = parameters->MultiSampleType;
        if (samples != D3DMULTISAMPLE_NONE && samples != D3DMULTISAMPLE_2_SAMPLES &&
            samples != D3DMULTISAMPLE_4_SAMPLES)
            return D3DERR_NOTAVAILABLE;

        SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
        SDL_GLContext context = SDL_GL_CreateContext(window);
        if (!context) {
            std::fprintf(stderr, "CreateDevice: %s\n", SDL_GetError());
            return D3DERR_NOTAVAILABLE;
        }
        SDL_GL_MakeCurrent(window, context);
        SDL_GL_SetSwapInterval(parameters->PresentationInterval == D3DPRESENT_INTERVAL_IMMEDIATE ? 0 : 1);
        // A windowed back buffer of size 0 takes the window's client area, and
        // the sizes taken are written back, as Direct3D does.
        RECT client{};
        GetClientRect(focusWindow, &client);
        if (!parameters->BackBufferWidth) parameters->BackBufferWidth = static_cast<UINT>(client.right);
        if (!parameters->BackBufferHeight) parameters->BackBufferHeight = static_cast<UINT>(client.bottom);
        auto* created = new GlDevice(window, context);
        if (!created->CreateBackBuffer(*parameters)) {
            created->Release();
            return D3DERR_NOTAVAILABLE;
        }
        *device = created;
        return D3D_OK;
    }
};

}  // namespace

IDirect3D9* CreateOpenGLDirect3D() { return new GlDirect3D(); }
