// A Direct3D backend that draws nothing and logs every call with its
// arguments, so tests can check call order without a GPU. It keeps the state
// that Get calls read back.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "backend/d3d9.h"

struct RecordedCalls {
    std::vector<std::string> calls;             // "Name(arg, arg)" in call order
    D3DPRESENT_PARAMETERS presentParameters{};  // of the last CreateDevice
    HWND focusWindow = nullptr;
    DWORD behaviourFlags = 0;
    bool refuseDevice = false;  // CreateDevice fails, as an unsupported configuration does
    bool refuseTextures = false;       // CreateTexture and CreateCubeTexture fail
    bool refuseDepthSurfaces = false;  // CreateDepthStencilSurface fails
    bool refuseBuffers = false;        // CreateVertexBuffer and CreateIndexBuffer fail
    bool refuseQueries = false;        // CreateQuery fails, as on a device without them
    DWORD occlusionSamples = 1;        // what every occlusion query counts
    int queryPollsBeforeReady = 0;     // GetData answers S_FALSE this often first
    bool queryFails = false;           // GetData fails
    bool formatVertices = true;        // false: DrawPrimitiveUP's vertices are read, not written out (fuzzing)
    int resourcesMade = 0;             // numbers the log names
    int resourcesAlive = 0;            // resources not yet released

    void clear() { calls.clear(); }
};

class RecordingDirect3D : public IDirect3D9 {
public:
    explicit RecordingDirect3D(RecordedCalls* log) : log_(log) {}
    ULONG Release() override;
    HRESULT GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* mode) override;
    HRESULT CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focusWindow, DWORD behaviourFlags,
                         D3DPRESENT_PARAMETERS* parameters, IDirect3DDevice9** device) override;

private:
    RecordedCalls* log_;
};

class RecordingDevice : public IDirect3DDevice9 {
public:
    explicit RecordingDevice(RecordedCalls* log);
    ULONG Release() override;
    HRESULT Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR colour, float z,
                  DWORD stencil) override;
    HRESULT BeginScene() override;
    HRESULT EndScene() override;
    HRESULT Present(const RECT* source, const RECT* dest, HWND destWindowOverride,
                    const void* dirtyRegion) override;
    HRESULT SetViewport(const D3DVIEWPORT9* viewport) override;
    HRESULT GetViewport(D3DVIEWPORT9* viewport) override;
    HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override;
    HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) override;
    HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) override;
    HRESULT GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) override;
    HRESULT SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) override;
    HRESULT SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) override;
    HRESULT GetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD* value) override;
    HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) override;
    HRESULT GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) override;
    HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                          IDirect3DTexture9** texture, void* sharedHandle) override;
    HRESULT CreateCubeTexture(UINT edge, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                              IDirect3DCubeTexture9** texture, void* sharedHandle) override;
    HRESULT CreateDepthStencilSurface(UINT width, UINT height, D3DFORMAT format, D3DMULTISAMPLE_TYPE multisample,
                                      DWORD quality, BOOL discard, IDirect3DSurface9** surface,
                                      void* sharedHandle) override;
    HRESULT SetRenderTarget(DWORD index, IDirect3DSurface9* surface) override;
    HRESULT GetRenderTarget(DWORD index, IDirect3DSurface9** surface) override;
    HRESULT SetDepthStencilSurface(IDirect3DSurface9* surface) override;
    HRESULT GetDepthStencilSurface(IDirect3DSurface9** surface) override;
    HRESULT SetFVF(DWORD fvf) override;
    HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount, const void* vertices, UINT stride) override;
    HRESULT CreateVertexDeclaration(const D3DVERTEXELEMENT9* elements,
                                    IDirect3DVertexDeclaration9** declaration) override;
    HRESULT SetVertexDeclaration(IDirect3DVertexDeclaration9* declaration) override;
    HRESULT CreateVertexShader(const DWORD* function, IDirect3DVertexShader9** shader) override;
    HRESULT CreatePixelShader(const DWORD* function, IDirect3DPixelShader9** shader) override;
    HRESULT SetVertexShader(IDirect3DVertexShader9* shader) override;
    HRESULT SetPixelShader(IDirect3DPixelShader9* shader) override;
    HRESULT SetVertexShaderConstantF(UINT startRegister, const float* data, UINT vector4fCount) override;
    HRESULT SetPixelShaderConstantF(UINT startRegister, const float* data, UINT vector4fCount) override;
    HRESULT CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool, IDirect3DVertexBuffer9** buffer,
                               void* sharedHandle) override;
    HRESULT CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                              IDirect3DIndexBuffer9** buffer, void* sharedHandle) override;
    HRESULT SetStreamSource(UINT stream, IDirect3DVertexBuffer9* buffer, UINT offsetInBytes, UINT stride) override;
    HRESULT SetIndices(IDirect3DIndexBuffer9* buffer) override;
    HRESULT CreateQuery(D3DQUERYTYPE type, IDirect3DQuery9** query) override;
    HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE type, INT baseVertexIndex, UINT minVertexIndex, UINT numVertices,
                                 UINT startIndex, UINT primitiveCount) override;
    std::vector<uint32_t> ReadBackBuffer(UINT* width, UINT* height) override;
    std::unique_ptr<BackBufferReader> CreateBackBufferReader(int depth) override;
    // Runs nothing and records nothing: the calls a test sees are the demo's own.
    void WarmUp(const std::function<void()>&) override {}

    // The registers as last written, four floats each.
    std::vector<float> vertexConstants = std::vector<float>(kVertexShaderRegisters * 4);
    std::vector<float> pixelConstants = std::vector<float>(kPixelShaderRegisters * 4);

private:
    void record(const std::string& call);
    void Hold(IDirect3DSurface9** slot, IDirect3DSurface9* surface);

    RecordedCalls* log_;
    bool inScene_ = false;
    D3DVIEWPORT9 viewport_{0, 0, 640, 480, 0.0f, 1.0f};
    std::map<uint32_t, DWORD> renderStates_;
    std::map<uint32_t, D3DMATRIX> transforms_;
    std::map<uint64_t, DWORD> samplerStates_;  // (sampler << 32) | type
    std::map<uint64_t, DWORD> stageStates_;    // (stage << 32) | type
    IDirect3DSurface9* backBuffer_ = nullptr;
    IDirect3DSurface9* depthBuffer_ = nullptr;
    IDirect3DSurface9* renderTarget_ = nullptr;
    IDirect3DSurface9* depthStencil_ = nullptr;
    DWORD fvf_ = 0;
};

// Readable names for the values tests compare against.
std::string RenderStateName(D3DRENDERSTATETYPE state);
std::string TransformName(D3DTRANSFORMSTATETYPE state);
std::string FormatMatrix(const D3DMATRIX& matrix);
std::string SamplerStateName(D3DSAMPLERSTATETYPE type);
std::string StageStateName(D3DTEXTURESTAGESTATETYPE type);
std::string PrimitiveName(D3DPRIMITIVETYPE type);
