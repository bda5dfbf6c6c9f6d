#include "backend/recording_device.h"

#include <cstdio>

namespace {

std::string Hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", value);
    return text;
}

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

D3DMATRIX Identity() {
    D3DMATRIX m{};
    for (int i = 0; i < 4; ++i) m.m[i][i] = 1.0f;
    return m;
}

}  // namespace

std::string RenderStateName(D3DRENDERSTATETYPE state) {
    switch (state) {
#define NAME(s) \
    case s:     \
        return #s;
        NAME(D3DRS_ZENABLE)
        NAME(D3DRS_FILLMODE)
        NAME(D3DRS_SHADEMODE)
        NAME(D3DRS_ZWRITEENABLE)
        NAME(D3DRS_ALPHATESTENABLE)
        NAME(D3DRS_SRCBLEND)
        NAME(D3DRS_DESTBLEND)
        NAME(D3DRS_CULLMODE)
        NAME(D3DRS_ZFUNC)
        NAME(D3DRS_ALPHAREF)
        NAME(D3DRS_ALPHAFUNC)
        NAME(D3DRS_ALPHABLENDENABLE)
        NAME(D3DRS_LIGHTING)
        NAME(D3DRS_DIFFUSEMATERIALSOURCE)
        NAME(D3DRS_POINTSIZE)
        NAME(D3DRS_POINTSIZE_MIN)
        NAME(D3DRS_POINTSPRITEENABLE)
        NAME(D3DRS_POINTSCALEENABLE)
        NAME(D3DRS_POINTSCALE_A)
        NAME(D3DRS_POINTSCALE_B)
        NAME(D3DRS_POINTSCALE_C)
        NAME(D3DRS_COLORWRITEENABLE)
        NAME(D3DRS_COLORWRITEENABLE1)
        NAME(D3DRS_COLORWRITEENABLE2)
        NAME(D3DRS_COLORWRITEENABLE3)
#undef NAME
    }
    return std::to_string(static_cast<uint32_t>(state));
}

std::string TransformName(D3DTRANSFORMSTATETYPE state) {
    switch (state) {
        case D3DTS_VIEW: return "D3DTS_VIEW";
        case D3DTS_PROJECTION: return "D3DTS_PROJECTION";
        case D3DTS_TEXTURE0: return "D3DTS_TEXTURE0";
        case D3DTS_WORLD: return "D3DTS_WORLD";
    }
    return std::to_string(static_cast<uint32_t>(state));
}

std::string FormatMatrix(const D3DMATRIX& matrix) {
    std::string text = "[";
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            if (row || column) text += column ? " " : "; ";
            text += Number(matrix.m[row][column]);
        }
    }
    return text + "]";
}

ULONG RecordingDirect3D::Release() {
    log_->calls.push_back("IDirect3D9::Release()");
    delete this;
    return 0;
}

HRESULT RecordingDirect3D::GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* mode) {
    log_->calls.push_back("GetAdapterDisplayMode(" + std::to_string(adapter) + ")");
    *mode = D3DDISPLAYMODE{1920, 1080, 60, D3DFMT_X8R8G8B8};
    return D3D_OK;
}

HRESULT RecordingDirect3D::CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focusWindow, DWORD behaviourFlags,
                                        D3DPRESENT_PARAMETERS* parameters, IDirect3DDevice9** device) {
    log_->calls.push_back("CreateDevice(" + std::to_string(adapter) + ", " + std::to_string(type) + ", " +
                          Hex(behaviourFlags) + ")");
    log_->presentParameters = *parameters;
    log_->focusWindow = focusWindow;
    log_->behaviourFlags = behaviourFlags;
    if (log_->refuseDevice) {
        *device = nullptr;
        return D3DERR_NOTAVAILABLE;
    }
    *device = new RecordingDevice(log_);
    return D3D_OK;
}

RecordingDevice::RecordingDevice(RecordedCalls* log) : log_(log) {}

void RecordingDevice::record(const std::string& call) { log_->calls.push_back(call); }

ULONG RecordingDevice::Release() {
    record("IDirect3DDevice9::Release()");
    delete this;
    return 0;
}

HRESULT RecordingDevice::Clear(DWORD count, const D3DRECT*, DWORD flags, D3DCOLOR colour, float z, DWORD stencil) {
    record("Clear(" + std::to_string(count) + ", " + std::to_string(flags) + ", " + Hex(colour) + ", " + Number(z) +
           ", " + std::to_string(stencil) + ")");
    return D3D_OK;
}

HRESULT RecordingDevice::BeginScene() {
    record("BeginScene()");
    if (inScene_) return D3DERR_INVALIDCALL;
    inScene_ = true;
    return D3D_OK;
}

HRESULT RecordingDevice::EndScene() {
    record("EndScene()");
    if (!inScene_) return D3DERR_INVALIDCALL;
    inScene_ = false;
    return D3D_OK;
}

HRESULT RecordingDevice::Present(const RECT* source, const RECT* dest, HWND window, const void* region) {
    const bool allNull = !source && !dest && !window && !region;
    record(allNull ? "Present()" : "Present(with arguments)");
    return D3D_OK;
}

HRESULT RecordingDevice::SetViewport(const D3DVIEWPORT9* v) {
    record("SetViewport(" + std::to_string(v->X) + ", " + std::to_string(v->Y) + ", " + std::to_string(v->Width) +
           ", " + std::to_string(v->Height) + ", " + Number(v->MinZ) + ", " + Number(v->MaxZ) + ")");
    viewport_ = *v;
    return D3D_OK;
}

HRESULT RecordingDevice::GetViewport(D3DVIEWPORT9* viewport) {
    *viewport = viewport_;
    return D3D_OK;
}

HRESULT RecordingDevice::SetRenderState(D3DRENDERSTATETYPE state, DWORD value) {
    record("SetRenderState(" + RenderStateName(state) + ", " + std::to_string(value) + ")");
    renderStates_[state] = value;
    return D3D_OK;
}

HRESULT RecordingDevice::GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) {
    auto found = renderStates_.find(state);
    *value = found == renderStates_.end() ? 0 : found->second;
    return D3D_OK;
}

HRESULT RecordingDevice::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) {
    record("SetTransform(" + TransformName(state) + ", " + FormatMatrix(*matrix) + ")");
    transforms_[state] = *matrix;
    return D3D_OK;
}

HRESULT RecordingDevice::GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) {
    auto found = transforms_.find(state);
    *matrix = found == transforms_.end() ? Identity() : found->second;
    return D3D_OK;
}

HRESULT RecordingDevice::SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) {
    record("SetTexture(" + std::to_string(stage) + ", " + (texture ? "texture" : "null") + ")");
    return D3D_OK;
}

std::vector<uint32_t> RecordingDevice::ReadBackBuffer(UINT* width, UINT* height) {
    *width = 0;
    *height = 0;
    return {};
}
