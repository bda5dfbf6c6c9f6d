// Direct3D 9 on OpenGL 3.3 core. Drawing goes into framebuffers whose row 0
// is the top row of the Direct3D picture (the back buffer and every render
// target alike); Present flips the back buffer upright into the window.
//
// The device class, private to the backend: its users include gl_device.h.
// Its members are defined by job in gl_device_frame.cpp, gl_device_state.cpp,
// gl_device_resources.cpp and gl_device_draws.cpp.
#pragma once

#include <SDL.h>
#include <epoxy/gl.h>

#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "backend/d3d9.h"
#include "backend/gl_pipeline.h"
#include "backend/gl_program_cache.h"
#include "backend/gl_resources.h"
#include "backend/gl_shaders.h"
#include "backend/gl_state_shadow.h"

// Named, not anonymous: several files define the members of one class. Not
// global either: the tests have a fixture called GlDevice.
namespace gl_device {

constexpr DWORD kStages = 8;

class GlDevice : public IDirect3DDevice9 {
public:
    // A new context: its shadow knows nothing yet.
    GlDevice(SDL_Window* window, SDL_GLContext context) : window_(window), context_(context) {
        SetCurrentGlState(&state_);
    }

    // The frame: back buffer, clears, present and read-back (gl_device_frame.cpp).
    bool CreateBackBuffer(const D3DPRESENT_PARAMETERS& parameters);
    ~GlDevice() override;
    ULONG Release() override {
        delete this;
        return 0;
    }
    HRESULT Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR colour, float z, DWORD stencil) override;
    HRESULT BeginScene() override;
    HRESULT EndScene() override;
    HRESULT Present(const RECT*, const RECT*, HWND, const void*) override;
    std::vector<uint32_t> ReadBackBuffer(UINT* width, UINT* height) override;
    std::unique_ptr<BackBufferReader> CreateBackBufferReader(int depth) override;

    // The Set and Get calls, whose state a draw applies, and the warm-up (gl_device_state.cpp).
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
    HRESULT SetRenderTarget(DWORD index, IDirect3DSurface9* surface) override;
    HRESULT GetRenderTarget(DWORD index, IDirect3DSurface9** surface) override;
    HRESULT SetDepthStencilSurface(IDirect3DSurface9* surface) override;
    HRESULT GetDepthStencilSurface(IDirect3DSurface9** surface) override;
    HRESULT SetFVF(DWORD fvf) override;
    HRESULT SetStreamSource(UINT stream, IDirect3DVertexBuffer9* buffer, UINT offset, UINT stride) override;
    HRESULT SetIndices(IDirect3DIndexBuffer9* buffer) override {
        return HoldOwn(&indices_, buffer);
    }
    HRESULT SetVertexDeclaration(IDirect3DVertexDeclaration9* declaration) override;
    HRESULT SetVertexShader(IDirect3DVertexShader9* shader) override {
        return HoldOwn(&vertexShader_, shader);
    }
    HRESULT SetPixelShader(IDirect3DPixelShader9* shader) override {
        return HoldOwn(&pixelShader_, shader);
    }
    HRESULT SetVertexShaderConstantF(UINT start, const float* data, UINT count) override {
        return WriteRegisters(&vertexConstants_, start, data, count);
    }
    HRESULT SetPixelShaderConstantF(UINT start, const float* data, UINT count) override {
        return WriteRegisters(&pixelConstants_, start, data, count);
    }
    void WarmUp(const std::function<void()>& draw) override;

    // Textures, surfaces, buffers, queries, declarations and shaders (gl_device_resources.cpp).
    HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                          IDirect3DTexture9** texture, void*) override;
    HRESULT CreateCubeTexture(UINT edge, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                              IDirect3DCubeTexture9** texture, void*) override;
    HRESULT CreateDepthStencilSurface(UINT width, UINT height, D3DFORMAT format, D3DMULTISAMPLE_TYPE multisample,
                                      DWORD, BOOL, IDirect3DSurface9** surface, void*) override;
    HRESULT CreateVertexBuffer(UINT length, DWORD, DWORD, D3DPOOL, IDirect3DVertexBuffer9** buffer,
                               void*) override;
    HRESULT CreateIndexBuffer(UINT length, DWORD, D3DFORMAT format, D3DPOOL, IDirect3DIndexBuffer9** buffer,
                              void*) override;
    HRESULT CreateQuery(D3DQUERYTYPE type, IDirect3DQuery9** query) override;
    HRESULT CreateVertexDeclaration(const D3DVERTEXELEMENT9* elements,
                                    IDirect3DVertexDeclaration9** declaration) override;
    HRESULT CreateVertexShader(const DWORD* function, IDirect3DVertexShader9** shader) override;
    HRESULT CreatePixelShader(const DWORD* function, IDirect3DPixelShader9** shader) override;

    // Draws (gl_device_draws.cpp).
    HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitives, const void* vertices, UINT stride) override;
    HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE type, INT baseVertex, UINT minVertex, UINT vertices,
                                 UINT startIndex, UINT primitives) override;

private:
    // What the Direct3D calls have set; objects held by one reference each.
    struct SetState {
        StateTable renderStates, samplerStates[kStages], stageStates[kStages];
        std::map<uint32_t, D3DMATRIX> transforms;
        std::vector<float> vertexConstants, pixelConstants;
        D3DVIEWPORT9 viewport;
        DWORD fvf;
        UINT streamOffset, streamStride;
        bool inScene;
        IDirect3DBaseTexture9* textures[kStages];
        GlSurface *renderTarget, *depthStencil;
        GlVertexDeclaration* declaration;
        GlVertexBuffer* stream;
        GlIndexBuffer* indices;
        GlVertexShader* vertexShader;
        GlPixelShader* pixelShader;
    };

    // gl_device_frame.cpp
    bool BindTarget();
    void ApplyViewport();
    void ClearRect(LONG left, LONG top, LONG right, LONG bottom, GLbitfield mask);
    GLuint Resolve();

    // gl_device_state.cpp
    SetState SaveSetState() const;
    void RestoreSetState(const SetState& saved);
    static HRESULT WriteRegisters(std::vector<float>* registers, UINT start, const float* data, UINT count);

    // gl_device_draws.cpp
    std::vector<VertexAttribute> CurrentLayout() const {
        return declaration_ ? declaration_->layout() : LayoutOfFvf(fvf_);
    }
    // Stage 0's texture when the fixed-function stage can sample it.
    GlTexture* FixedFunctionTexture() const { return dynamic_cast<GlTexture*>(textures_[0]); }
    bool BeginHiddenDraw();
    static void EndHiddenDraw(bool hidden) {
        if (hidden) glDisable(GL_SCISSOR_TEST);
    }
    void UploadConstants(const GlShaderStage* stage, const std::vector<float>& registers, GLuint binding,
                         GLuint buffer);
    static void StoreComponent(ConstantType type, float value, uint8_t* to);
    const LinkedProgram* PrepareDraw(D3DPRIMITIVETYPE type, const std::vector<VertexAttribute>& layout);
    static bool IndicesInside(const GlIndexBuffer& indices, UINT start, uint64_t count, UINT minVertex,
                              UINT vertices);
    bool VerticesInside(int64_t first, UINT count, UINT layoutSize) const;
    FixedFunctionKey FixedFunctionState(D3DPRIMITIVETYPE type, const std::vector<VertexAttribute>& layout);
    void SetFixedFunctionUniforms(const LinkedProgram& program);
    void BindTextures();
    void SetVertexLayout(GLuint buffer, UINT stride, UINT offset, const std::vector<VertexAttribute>& layout,
                         const LinkedProgram& program);

    // Holding objects and reading state tables.
    template <typename Object>
    static void Adopt(Object** slot, Object* object) {
        if (*slot) (*slot)->Release();
        *slot = object;
    }

    template <typename Object>
    static void Hold(Object** slot, Object* object) {
        if (object) object->AddRef();
        if (*slot) (*slot)->Release();
        *slot = object;
    }

    // Holds given when it is null or an object of this device; others are refused.
    template <typename Object, typename Interface>
    static HRESULT HoldOwn(Object** slot, Interface* given) {
        auto* own = dynamic_cast<Object*>(given);
        if (given && !own) return D3DERR_INVALIDCALL;
        Hold(slot, own);
        return D3D_OK;
    }

    SDL_Window* window_;
    SDL_GLContext context_;
    int width_ = 0, height_ = 0, samples_ = 0;
    GlSurface* backBuffer_ = nullptr;
    GlSurface* depthBuffer_ = nullptr;
    GlSurface* renderTarget_ = nullptr;
    GlSurface* depthStencil_ = nullptr;
    GLuint drawFramebuffer_ = 0, backFramebuffer_ = 0, boundFramebuffer_ = 0;
    GLuint resolveFramebuffer_ = 0, resolveColour_ = 0;
    GLuint vertexArray_ = 0, vertexBuffer_ = 0;
    GLuint samplers_[kStages] = {};
    GlStateShadow state_;  // declared before every owner of GL objects, so it outlives their deletion
    std::unique_ptr<ProgramCache> programs_ = std::make_unique<ProgramCache>();
    GlVertexDeclaration* declaration_ = nullptr;  // null: the FVF describes the vertices
    GlVertexBuffer* stream_ = nullptr;
    UINT streamOffset_ = 0, streamStride_ = 0;
    GlIndexBuffer* indices_ = nullptr;
    GlVertexShader* vertexShader_ = nullptr;
    GlPixelShader* pixelShader_ = nullptr;
    std::vector<float> vertexConstants_ = std::vector<float>(kVertexShaderRegisters * 4);
    std::vector<float> pixelConstants_ = std::vector<float>(kPixelShaderRegisters * 4);
    GLuint constantBuffers_[2] = {};
    GLint maxAttributes_ = 16;
    std::vector<uint8_t> block_;  // reused for every uniform block upload
    bool inScene_ = false;
    bool warmingUp_ = false;
    D3DVIEWPORT9 viewport_{};
    DWORD fvf_ = 0;
    StateTable renderStates_;
    StateTable samplerStates_[kStages];
    StateTable stageStates_[kStages];
    std::map<uint32_t, D3DMATRIX> transforms_;
    IDirect3DBaseTexture9* textures_[kStages] = {};
};

}  // namespace gl_device
