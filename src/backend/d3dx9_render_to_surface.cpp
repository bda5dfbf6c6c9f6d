// ID3DXRenderToSurface over the device's render-target calls.
#include "backend/d3dx9_texture.h"

namespace {

class RenderToSurface : public ID3DXRenderToSurface {
public:
    RenderToSurface(IDirect3DDevice9* device, IDirect3DSurface9* depth) : device_(device), depth_(depth) {}

    ULONG Release() override {
        if (depth_) depth_->Release();
        delete this;
        return 0;
    }

    HRESULT BeginScene(IDirect3DSurface9* surface, const D3DVIEWPORT9* viewport) override {
        if (!surface || savedTarget_) return D3DERR_INVALIDCALL;
        device_->GetRenderTarget(0, &savedTarget_);
        device_->GetDepthStencilSurface(&savedDepth_);
        device_->GetViewport(&savedViewport_);
        device_->SetRenderTarget(0, surface);
        device_->SetDepthStencilSurface(depth_);
        if (viewport) device_->SetViewport(viewport);
        return device_->BeginScene();
    }

    HRESULT EndScene(DWORD) override {
        if (!savedTarget_) return D3DERR_INVALIDCALL;
        const HRESULT ended = device_->EndScene();
        device_->SetRenderTarget(0, savedTarget_);
        device_->SetDepthStencilSurface(savedDepth_);
        device_->SetViewport(&savedViewport_);
        savedTarget_->Release();
        if (savedDepth_) savedDepth_->Release();
        savedTarget_ = savedDepth_ = nullptr;
        return ended;
    }

private:
    IDirect3DDevice9* device_;
    IDirect3DSurface9* depth_;
    IDirect3DSurface9* savedTarget_ = nullptr;
    IDirect3DSurface9* savedDepth_ = nullptr;
    D3DVIEWPORT9 savedViewport_{};
};

}  // namespace

HRESULT D3DXCreateRenderToSurface(IDirect3DDevice9* device, UINT width, UINT height, D3DFORMAT, BOOL depthStencil,
                                  D3DFORMAT depthFormat, ID3DXRenderToSurface** renderToSurface) {
    *renderToSurface = nullptr;
    if (!device) return D3DERR_INVALIDCALL;
    IDirect3DSurface9* depth = nullptr;
    if (depthStencil && device->CreateDepthStencilSurface(width, height, depthFormat, D3DMULTISAMPLE_NONE, 0, TRUE,
                                                          &depth, nullptr) != D3D_OK)
        return D3DERR_INVALIDCALL;
    *renderToSurface = new RenderToSurface(device, depth);
    return D3D_OK;
}
