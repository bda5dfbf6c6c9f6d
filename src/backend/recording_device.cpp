#include "backend/recording_device.h"

#include <cstdio>
#include <algorithm>
#include <cstring>

#include "backend/d3d9_sizes.h"
#include "backend/d3dx9_math.h"
#include "backend/hlsl_compiler.h"
#include "backend/recording_resources.h"

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

uint64_t StateKey(DWORD unit, uint32_t type) { return (static_cast<uint64_t>(unit) << 32) | type; }

// "x y z #AARRGGBB u v" per vertex of the 2D batch's format.
std::string FormatBatchVertices(const uint8_t* data, UINT count, UINT stride) {
    std::string text = "[";
    for (UINT i = 0; i < count; ++i, data += stride) {
        float position[3], uv[2];
        uint32_t colour;
        std::memcpy(position, data, sizeof position);
        std::memcpy(&colour, data + 24, sizeof colour);
        std::memcpy(uv, data + 28, sizeof uv);
        if (i) text += " | ";
        text += Number(position[0]) + " " + Number(position[1]) + " " + Number(position[2]) + " #" +
                Hex(colour).substr(2) + " " + Number(uv[0]) + " " + Number(uv[1]);
    }
    return text + "]";
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
        NAME(D3DRS_POINTSIZE_MAX)
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

std::string SamplerStateName(D3DSAMPLERSTATETYPE type) {
    switch (type) {
        case D3DSAMP_ADDRESSU: return "D3DSAMP_ADDRESSU";
        case D3DSAMP_ADDRESSV: return "D3DSAMP_ADDRESSV";
        case D3DSAMP_MAGFILTER: return "D3DSAMP_MAGFILTER";
        case D3DSAMP_MINFILTER: return "D3DSAMP_MINFILTER";
        case D3DSAMP_MIPFILTER: return "D3DSAMP_MIPFILTER";
    }
    return std::to_string(static_cast<uint32_t>(type));
}

std::string StageStateName(D3DTEXTURESTAGESTATETYPE type) {
    switch (type) {
        case D3DTSS_COLOROP: return "D3DTSS_COLOROP";
        case D3DTSS_COLORARG1: return "D3DTSS_COLORARG1";
        case D3DTSS_COLORARG2: return "D3DTSS_COLORARG2";
        case D3DTSS_ALPHAOP: return "D3DTSS_ALPHAOP";
        case D3DTSS_ALPHAARG1: return "D3DTSS_ALPHAARG1";
        case D3DTSS_ALPHAARG2: return "D3DTSS_ALPHAARG2";
    }
    return std::to_string(static_cast<uint32_t>(type));
}

std::string PrimitiveName(D3DPRIMITIVETYPE type) {
    switch (type) {
        case D3DPT_POINTLIST: return "D3DPT_POINTLIST";
        case D3DPT_LINELIST: return "D3DPT_LINELIST";
        case D3DPT_LINESTRIP: return "D3DPT_LINESTRIP";
        case D3DPT_TRIANGLELIST: return "D3DPT_TRIANGLELIST";
        case D3DPT_TRIANGLESTRIP: return "D3DPT_TRIANGLESTRIP";
        case D3DPT_TRIANGLEFAN: return "D3DPT_TRIANGLEFAN";
    }
    return std::to_string(static_cast<uint32_t>(type));
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

RecordingDevice::RecordingDevice(RecordedCalls* log) : log_(log) {
    const D3DPRESENT_PARAMETERS& parameters = log->presentParameters;
    const UINT width = parameters.BackBufferWidth ? parameters.BackBufferWidth : 640;
    const UINT height = parameters.BackBufferHeight ? parameters.BackBufferHeight : 480;
    viewport_ = D3DVIEWPORT9{0, 0, width, height, 0.0f, 1.0f};
    backBuffer_ = new RecordingSurface(log, {D3DFMT_X8R8G8B8, D3DUSAGE_RENDERTARGET, D3DPOOL_DEFAULT, width, height});
    depthBuffer_ = new RecordingSurface(log, {D3DFMT_D24X8, D3DUSAGE_DEPTHSTENCIL, D3DPOOL_DEFAULT, width, height});
    Hold(&renderTarget_, backBuffer_);
    Hold(&depthStencil_, depthBuffer_);
}

void RecordingDevice::Hold(IDirect3DSurface9** slot, IDirect3DSurface9* surface) {
    if (surface) surface->AddRef();
    if (*slot) (*slot)->Release();
    *slot = surface;
}

void RecordingDevice::record(const std::string& call) { log_->calls.push_back(call); }

ULONG RecordingDevice::Release() {
    record("IDirect3DDevice9::Release()");
    for (IDirect3DSurface9* surface : {renderTarget_, depthStencil_, backBuffer_, depthBuffer_})
        if (surface) surface->Release();
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
    if (found == transforms_.end()) D3DXMatrixIdentity(matrix);
    else *matrix = found->second;
    return D3D_OK;
}

HRESULT RecordingDevice::SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) {
    record("SetTexture(" + std::to_string(stage) + ", " + ResourceName(texture) + ")");
    return D3D_OK;
}

HRESULT RecordingDevice::SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) {
    record("SetSamplerState(" + std::to_string(sampler) + ", " + SamplerStateName(type) + ", " +
           std::to_string(value) + ")");
    samplerStates_[StateKey(sampler, type)] = value;
    return D3D_OK;
}

HRESULT RecordingDevice::GetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD* value) {
    auto found = samplerStates_.find(StateKey(sampler, type));
    *value = found == samplerStates_.end() ? 0 : found->second;
    return D3D_OK;
}

HRESULT RecordingDevice::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) {
    record("SetTextureStageState(" + std::to_string(stage) + ", " + StageStateName(type) + ", " +
           std::to_string(value) + ")");
    stageStates_[StateKey(stage, type)] = value;
    return D3D_OK;
}

HRESULT RecordingDevice::GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) {
    auto found = stageStates_.find(StateKey(stage, type));
    *value = found == stageStates_.end() ? 0 : found->second;
    return D3D_OK;
}

HRESULT RecordingDevice::CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                                       D3DPOOL pool, IDirect3DTexture9** texture, void*) {
    *texture = nullptr;
    const std::string arguments = std::to_string(width) + ", " + std::to_string(height) + ", " +
                                  std::to_string(levels) + ", " + std::to_string(usage) + ", " +
                                  std::to_string(format) + ", " + std::to_string(pool);
    if (log_->refuseTextures || !width || !height) {
        record("CreateTexture(" + arguments + ") = refused");
        return D3DERR_INVALIDCALL;
    }
    auto* made = new RecordingTexture(log_, {format, usage, pool, width, height}, levels ? levels : 1);
    record("CreateTexture(" + arguments + ") = " + made->name());
    *texture = made;
    return D3D_OK;
}

HRESULT RecordingDevice::CreateCubeTexture(UINT edge, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                           IDirect3DCubeTexture9** texture, void*) {
    *texture = nullptr;
    const std::string arguments = std::to_string(edge) + ", " + std::to_string(levels) + ", " +
                                  std::to_string(usage) + ", " + std::to_string(format) + ", " + std::to_string(pool);
    if (log_->refuseTextures || !edge) {
        record("CreateCubeTexture(" + arguments + ") = refused");
        return D3DERR_INVALIDCALL;
    }
    auto* made = new RecordingCubeTexture(log_, {format, usage, pool, edge, edge}, levels ? levels : 1);
    record("CreateCubeTexture(" + arguments + ") = " + made->name());
    *texture = made;
    return D3D_OK;
}

HRESULT RecordingDevice::CreateDepthStencilSurface(UINT width, UINT height, D3DFORMAT format, D3DMULTISAMPLE_TYPE,
                                                   DWORD, BOOL, IDirect3DSurface9** surface, void*) {
    *surface = nullptr;
    const std::string arguments =
        std::to_string(width) + ", " + std::to_string(height) + ", " + std::to_string(format);
    if (log_->refuseDepthSurfaces) {
        record("CreateDepthStencilSurface(" + arguments + ") = refused");
        return D3DERR_INVALIDCALL;
    }
    auto* made = new RecordingSurface(log_, {format, D3DUSAGE_DEPTHSTENCIL, D3DPOOL_DEFAULT, width, height});
    record("CreateDepthStencilSurface(" + arguments + ") = " + made->name());
    *surface = made;
    return D3D_OK;
}

HRESULT RecordingDevice::SetRenderTarget(DWORD index, IDirect3DSurface9* surface) {
    record("SetRenderTarget(" + std::to_string(index) + ", " + ResourceName(surface) + ")");
    if (index != 0 || !surface) return D3DERR_INVALIDCALL;
    Hold(&renderTarget_, surface);
    D3DSURFACE_DESC description{};
    surface->GetDesc(&description);
    viewport_ = D3DVIEWPORT9{0, 0, description.Width, description.Height, 0.0f, 1.0f};
    return D3D_OK;
}

HRESULT RecordingDevice::GetRenderTarget(DWORD index, IDirect3DSurface9** surface) {
    *surface = nullptr;
    if (index != 0) return D3DERR_INVALIDCALL;
    renderTarget_->AddRef();
    *surface = renderTarget_;
    return D3D_OK;
}

HRESULT RecordingDevice::SetDepthStencilSurface(IDirect3DSurface9* surface) {
    record("SetDepthStencilSurface(" + ResourceName(surface) + ")");
    Hold(&depthStencil_, surface);
    return D3D_OK;
}

HRESULT RecordingDevice::GetDepthStencilSurface(IDirect3DSurface9** surface) {
    *surface = depthStencil_;
    if (!depthStencil_) return D3DERR_NOTAVAILABLE;
    depthStencil_->AddRef();
    return D3D_OK;
}

HRESULT RecordingDevice::CreateVertexDeclaration(const D3DVERTEXELEMENT9* elements,
                                                 IDirect3DVertexDeclaration9** declaration) {
    *declaration = nullptr;
    if (!elements) return D3DERR_INVALIDCALL;
    auto* made = new RecordingDeclaration(log_, elements);
    std::string text;
    D3DVERTEXELEMENT9 read[65];
    UINT count = 0;
    made->GetDeclaration(read, &count);
    for (UINT i = 0; i + 1 < count; ++i)
        text += (i ? " | " : "") + std::to_string(read[i].Offset) + " " + std::to_string(read[i].Type) + " " +
                std::to_string(read[i].Usage) + " " + std::to_string(read[i].UsageIndex);
    record("CreateVertexDeclaration([" + text + "]) = " + made->name());
    *declaration = made;
    return D3D_OK;
}

HRESULT RecordingDevice::SetVertexDeclaration(IDirect3DVertexDeclaration9* declaration) {
    record("SetVertexDeclaration(" + ResourceName(declaration) + ")");
    return D3D_OK;
}

template <typename Shader>
static HRESULT CreateShader(RecordedCalls* log, const char* call, const char* kind, ShaderStage stage,
                            const DWORD* function, Shader** shader) {
    *shader = nullptr;
    const auto* compiled = reinterpret_cast<const CompiledShader*>(function);
    if (!function || compiled->magic != kCompiledShaderMagic || compiled->stage != stage) {
        log->calls.push_back(std::string(call) + "() = refused");
        return D3DERR_INVALIDCALL;
    }
    auto* made = new RecordingObject<Shader>(log, kind);
    log->calls.push_back(std::string(call) + "() = " + made->name());
    *shader = made;
    return D3D_OK;
}

HRESULT RecordingDevice::CreateVertexShader(const DWORD* function, IDirect3DVertexShader9** shader) {
    return CreateShader(log_, "CreateVertexShader", "vertexshader", ShaderStage::Vertex, function, shader);
}

HRESULT RecordingDevice::CreatePixelShader(const DWORD* function, IDirect3DPixelShader9** shader) {
    return CreateShader(log_, "CreatePixelShader", "pixelshader", ShaderStage::Pixel, function, shader);
}

HRESULT RecordingDevice::SetVertexShader(IDirect3DVertexShader9* shader) {
    record("SetVertexShader(" + ResourceName(shader) + ")");
    return D3D_OK;
}

HRESULT RecordingDevice::SetPixelShader(IDirect3DPixelShader9* shader) {
    record("SetPixelShader(" + ResourceName(shader) + ")");
    return D3D_OK;
}

static HRESULT SetConstants(RecordedCalls* log, const char* call, std::vector<float>* registers, UINT start,
                            const float* data, UINT count) {
    if (!data || start > registers->size() / 4 || count > registers->size() / 4 - start) {
        log->calls.push_back(std::string(call) + "(" + std::to_string(start) + ", " + std::to_string(count) +
                             ") = refused");
        return D3DERR_INVALIDCALL;
    }
    std::string text;
    for (UINT i = 0; i < count * 4; ++i) text += (i == 0 ? "" : i % 4 ? " " : " | ") + Number(data[i]);
    std::copy(data, data + count * 4, registers->begin() + start * 4);
    log->calls.push_back(std::string(call) + "(" + std::to_string(start) + ", [" + text + "], " +
                         std::to_string(count) + ")");
    return D3D_OK;
}

HRESULT RecordingDevice::SetVertexShaderConstantF(UINT startRegister, const float* data, UINT vector4fCount) {
    return SetConstants(log_, "SetVertexShaderConstantF", &vertexConstants, startRegister, data, vector4fCount);
}

HRESULT RecordingDevice::SetPixelShaderConstantF(UINT startRegister, const float* data, UINT vector4fCount) {
    return SetConstants(log_, "SetPixelShaderConstantF", &pixelConstants, startRegister, data, vector4fCount);
}

HRESULT RecordingDevice::SetFVF(DWORD fvf) {
    record("SetFVF(" + Hex(fvf) + ")");
    fvf_ = fvf;
    return D3D_OK;
}

HRESULT RecordingDevice::DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitives, const void* vertices, UINT stride) {
    std::string call = "DrawPrimitiveUP(" + PrimitiveName(type) + ", " + std::to_string(primitives) + ", " +
                       std::to_string(stride);
    const auto* bytes = static_cast<const uint8_t*>(vertices);
    const UINT count = VertexCount(type, primitives);
    if (!log_->formatVertices) {
        // Still read every byte the draw hands over, so a short array is caught.
        uint8_t sum = 0;
        for (size_t i = 0; i < size_t{count} * stride; ++i) sum = static_cast<uint8_t>(sum + bytes[i]);
        call += ", " + std::to_string(sum);
    } else if (fvf_ == (D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_DIFFUSE | D3DFVF_TEX1) && stride >= 36) {
        call += ", " + FormatBatchVertices(bytes, count, stride);
    }
    record(call + ")");
    return D3D_OK;
}

HRESULT RecordingDevice::CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                            IDirect3DVertexBuffer9** buffer, void*) {
    *buffer = nullptr;
    const std::string arguments = std::to_string(length) + ", " + std::to_string(usage) + ", " + Hex(fvf) + ", " +
                                  std::to_string(pool);
    if (log_->refuseBuffers || !length) {
        record("CreateVertexBuffer(" + arguments + ") = refused");
        return D3DERR_INVALIDCALL;
    }
    auto* made = new RecordingVertexBuffer(log_, "vertexbuffer", length);
    record("CreateVertexBuffer(" + arguments + ") = " + made->name());
    *buffer = made;
    return D3D_OK;
}

HRESULT RecordingDevice::CreateQuery(D3DQUERYTYPE type, IDirect3DQuery9** query) {
    *query = nullptr;
    if (log_->refuseQueries || type != D3DQUERYTYPE_OCCLUSION) {
        record("CreateQuery(" + std::to_string(type) + ") = refused");
        return D3DERR_NOTAVAILABLE;
    }
    auto* made = new RecordingQuery(log_);
    record("CreateQuery(" + std::to_string(type) + ") = " + made->name());
    *query = made;
    return D3D_OK;
}

HRESULT RecordingDevice::CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                           IDirect3DIndexBuffer9** buffer, void*) {
    *buffer = nullptr;
    const std::string arguments = std::to_string(length) + ", " + std::to_string(usage) + ", " +
                                  std::to_string(format) + ", " + std::to_string(pool);
    if (log_->refuseBuffers || !length || (format != D3DFMT_INDEX16 && format != D3DFMT_INDEX32)) {
        record("CreateIndexBuffer(" + arguments + ") = refused");
        return D3DERR_INVALIDCALL;
    }
    auto* made = new RecordingIndexBuffer(log_, "indexbuffer", length);
    record("CreateIndexBuffer(" + arguments + ") = " + made->name());
    *buffer = made;
    return D3D_OK;
}

HRESULT RecordingDevice::SetStreamSource(UINT stream, IDirect3DVertexBuffer9* buffer, UINT offset, UINT stride) {
    record("SetStreamSource(" + std::to_string(stream) + ", " + ResourceName(buffer) + ", " + std::to_string(offset) +
           ", " + std::to_string(stride) + ")");
    return stream == 0 ? D3D_OK : D3DERR_INVALIDCALL;
}

HRESULT RecordingDevice::SetIndices(IDirect3DIndexBuffer9* buffer) {
    record("SetIndices(" + ResourceName(buffer) + ")");
    return D3D_OK;
}

HRESULT RecordingDevice::DrawIndexedPrimitive(D3DPRIMITIVETYPE type, INT baseVertex, UINT minVertex, UINT vertices,
                                              UINT startIndex, UINT primitives) {
    record("DrawIndexedPrimitive(" + PrimitiveName(type) + ", " + std::to_string(baseVertex) + ", " +
           std::to_string(minVertex) + ", " + std::to_string(vertices) + ", " + std::to_string(startIndex) + ", " +
           std::to_string(primitives) + ")");
    return D3D_OK;
}

std::vector<uint32_t> RecordingDevice::ReadBackBuffer(UINT* width, UINT* height) {
    *width = 0;
    *height = 0;
    return {};
}

std::unique_ptr<BackBufferReader> RecordingDevice::CreateBackBufferReader(int) { return nullptr; }
