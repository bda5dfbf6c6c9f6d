// Direct3D 9 on OpenGL 3.3 core. Drawing goes into framebuffers whose row 0
// is the top row of the Direct3D picture (the back buffer and every render
// target alike); Present flips the back buffer upright into the window.
#include "backend/gl_device.h"

#include <SDL.h>
#include <epoxy/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>

#include "backend/d3d9_sizes.h"
#include "backend/d3dx9_math.h"
#include "backend/gl_back_buffer_reader.h"
#include "backend/gl_pipeline.h"
#include "backend/gl_program_cache.h"
#include "backend/gl_resources.h"
#include "backend/gl_state_shadow.h"

namespace {

constexpr DWORD kStages = 8;

float FloatOf(DWORD bits) {
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

GLenum PrimitiveMode(D3DPRIMITIVETYPE type) {
    switch (type) {
        case D3DPT_POINTLIST: return GL_POINTS;
        case D3DPT_LINELIST: return GL_LINES;
        case D3DPT_LINESTRIP: return GL_LINE_STRIP;
        case D3DPT_TRIANGLELIST: return GL_TRIANGLES;
        case D3DPT_TRIANGLESTRIP: return GL_TRIANGLE_STRIP;
        default: return GL_TRIANGLE_FAN;
    }
}

// Bytes a vertex of this layout spans at least.
UINT LayoutSize(const std::vector<VertexAttribute>& layout) {
    UINT size = 0;
    for (const VertexAttribute& attribute : layout)
        size = std::max(size, attribute.offset + static_cast<UINT>(attribute.components) * (attribute.bgra ? 1 : 4));
    return size;
}

bool HasInput(const std::vector<VertexAttribute>& layout, const char* semantic) {
    for (const VertexAttribute& attribute : layout)
        if (attribute.semantic == semantic) return true;
    return false;
}

class GlDevice : public IDirect3DDevice9 {
public:
    // A new context: its shadow knows nothing yet.
    GlDevice(SDL_Window* window, SDL_GLContext context) : window_(window), context_(context) {
        SetCurrentGlState(&state_);
    }

    // False when the back buffer cannot be made as asked.
    bool CreateBackBuffer(const D3DPRESENT_PARAMETERS& parameters) {
        SDL_GL_GetDrawableSize(window_, &width_, &height_);
        if (parameters.BackBufferWidth) width_ = static_cast<int>(parameters.BackBufferWidth);
        if (parameters.BackBufferHeight) height_ = static_cast<int>(parameters.BackBufferHeight);
        samples_ = static_cast<int>(parameters.MultiSampleType);
        GLint maxSamples = 0;
        glGetIntegerv(GL_MAX_SAMPLES, &maxSamples);
        if (samples_ > maxSamples) return false;

        const UINT width = static_cast<UINT>(width_), height = static_cast<UINT>(height_);
        backBuffer_ = CreateRenderbufferSurface(width, height, D3DFMT_X8R8G8B8, D3DUSAGE_RENDERTARGET, samples_);
        if (parameters.EnableAutoDepthStencil)
            depthBuffer_ = CreateRenderbufferSurface(width, height, D3DFMT_D24X8, D3DUSAGE_DEPTHSTENCIL, samples_);
        if (!backBuffer_) return false;
        glGenFramebuffers(1, &drawFramebuffer_);
        renderTarget_ = backBuffer_;
        renderTarget_->AddRef();
        depthStencil_ = depthBuffer_;
        if (depthStencil_) depthStencil_->AddRef();
        if (!BindTarget()) return false;

        if (samples_) {  // resolved copy for read-back and present
            glGenFramebuffers(1, &resolveFramebuffer_);
            glBindFramebuffer(GL_DRAW_FRAMEBUFFER, resolveFramebuffer_);
            glGenRenderbuffers(1, &resolveColour_);
            glBindRenderbuffer(GL_RENDERBUFFER, resolveColour_);
            glRenderbufferStorage(GL_RENDERBUFFER, GL_RGB8, width_, height_);
            glFramebufferRenderbuffer(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, resolveColour_);
        }
        glGenFramebuffers(1, &backFramebuffer_);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, backFramebuffer_);
        backBuffer_->Attach(GL_COLOR_ATTACHMENT0);

        glGenVertexArrays(1, &vertexArray_);  // core profile needs one bound
        glBindVertexArray(vertexArray_);
        glGenBuffers(1, &vertexBuffer_);
        glGenBuffers(2, constantBuffers_);
        glGetIntegerv(GL_MAX_VERTEX_ATTRIBS, &maxAttributes_);
        glGenSamplers(kStages, samplers_);
        glEnable(GL_PROGRAM_POINT_SIZE);
        // Sprite v = 0 at the top of the point, which is GL's lower edge here.
        glPointParameteri(GL_POINT_SPRITE_COORD_ORIGIN, GL_LOWER_LEFT);

        renderStates_ = DefaultRenderStates(parameters.EnableAutoDepthStencil);
        for (DWORD stage = 0; stage < kStages; ++stage) {
            samplerStates_[stage] = DefaultSamplerStates();
            stageStates_[stage] = DefaultStageStates(stage);
        }
        viewport_ = D3DVIEWPORT9{0, 0, width, height, 0.0f, 1.0f};
        boundFramebuffer_ = 0;  // the set-up above bound other framebuffers
        return BindTarget();
    }

    ~GlDevice() override {
        SDL_GL_MakeCurrent(window_, context_);
        for (IDirect3DBaseTexture9*& texture : textures_)
            if (texture) texture->Release();
        for (IDirect3DSurface9* surface : {renderTarget_, depthStencil_, backBuffer_, depthBuffer_})
            if (surface) surface->Release();
        if (declaration_) declaration_->Release();
        if (stream_) stream_->Release();
        if (indices_) indices_->Release();
        if (vertexShader_) vertexShader_->Release();
        if (pixelShader_) pixelShader_->Release();
        programs_.reset();
        glDeleteBuffers(2, constantBuffers_);
        glDeleteSamplers(kStages, samplers_);
        glDeleteBuffers(1, &vertexBuffer_);
        glDeleteVertexArrays(1, &vertexArray_);
        const GLuint framebuffers[] = {drawFramebuffer_, backFramebuffer_, resolveFramebuffer_};
        glDeleteFramebuffers(3, framebuffers);
        glDeleteRenderbuffers(1, &resolveColour_);
        if (CurrentGlState() == &state_) SetCurrentGlState(nullptr);
        SDL_GL_MakeCurrent(window_, nullptr);
        SDL_GL_DeleteContext(context_);
    }

    ULONG Release() override {
        delete this;
        return 0;
    }

    HRESULT Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR colour, float z, DWORD stencil) override {
        if (warmingUp_) return D3D_OK;  // a clear builds nothing in the driver
        if (!BindTarget()) return D3DERR_INVALIDCALL;
        GLbitfield mask = 0;
        if (flags & D3DCLEAR_TARGET) mask |= GL_COLOR_BUFFER_BIT;
        if ((flags & D3DCLEAR_ZBUFFER) && depthStencil_) mask |= GL_DEPTH_BUFFER_BIT;
        if ((flags & D3DCLEAR_STENCIL) && depthStencil_) mask |= GL_STENCIL_BUFFER_BIT;
        if (!mask) return D3D_OK;
        // Clears ignore the write masks in Direct3D.
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        glDepthMask(GL_TRUE);
        glStencilMask(0xFF);
        glClearColor(((colour >> 16) & 0xFF) / 255.0f, ((colour >> 8) & 0xFF) / 255.0f, (colour & 0xFF) / 255.0f,
                     (colour >> 24) / 255.0f);
        glClearDepth(z);
        glClearStencil(static_cast<GLint>(stencil));
        glEnable(GL_SCISSOR_TEST);
        const LONG left = static_cast<LONG>(viewport_.X), top = static_cast<LONG>(viewport_.Y);
        const LONG right = left + static_cast<LONG>(viewport_.Width), bottom = top + static_cast<LONG>(viewport_.Height);
        if (!rects || count == 0) {
            ClearRect(left, top, right, bottom, mask);
        } else {
            for (DWORD i = 0; i < count; ++i)
                ClearRect(std::max(left, rects[i].x1), std::max(top, rects[i].y1), std::min(right, rects[i].x2),
                          std::min(bottom, rects[i].y2), mask);
        }
        glDisable(GL_SCISSOR_TEST);
        return D3D_OK;
    }

    HRESULT BeginScene() override {
        if (inScene_) return D3DERR_INVALIDCALL;
        inScene_ = true;
        return D3D_OK;
    }

    HRESULT EndScene() override {
        if (!inScene_) return D3DERR_INVALIDCALL;
        inScene_ = false;
        return D3D_OK;
    }

    HRESULT Present(const RECT*, const RECT*, HWND, const void*) override {
        if (warmingUp_) return D3D_OK;
        const GLuint source = Resolve();
        int windowWidth = 0, windowHeight = 0;
        SDL_GL_GetDrawableSize(window_, &windowWidth, &windowHeight);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, source);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
        glBlitFramebuffer(0, 0, width_, height_, 0, windowHeight, windowWidth, 0, GL_COLOR_BUFFER_BIT, GL_LINEAR);
        SDL_GL_SwapWindow(window_);
        boundFramebuffer_ = 0;
        return D3D_OK;
    }

    HRESULT SetViewport(const D3DVIEWPORT9* viewport) override {
        viewport_ = *viewport;
        ApplyViewport();
        return D3D_OK;
    }

    HRESULT GetViewport(D3DVIEWPORT9* viewport) override {
        *viewport = viewport_;
        return D3D_OK;
    }

    HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override {
        renderStates_[state] = value;  // applied when drawing
        return D3D_OK;
    }

    HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) override {
        *value = Lookup(renderStates_, state);
        return D3D_OK;
    }

    HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) override {
        transforms_[state] = *matrix;
        return D3D_OK;
    }

    HRESULT GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) override {
        auto found = transforms_.find(state);
        if (found == transforms_.end()) D3DXMatrixIdentity(matrix);
        else *matrix = found->second;
        return D3D_OK;
    }

    HRESULT SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) override {
        if (stage >= kStages) return D3DERR_INVALIDCALL;
        if (texture) texture->AddRef();
        if (textures_[stage]) textures_[stage]->Release();
        textures_[stage] = texture;
        return D3D_OK;
    }

    HRESULT SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) override {
        if (sampler >= kStages) return D3DERR_INVALIDCALL;
        samplerStates_[sampler][type] = value;
        return D3D_OK;
    }

    HRESULT GetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD* value) override {
        if (sampler >= kStages) return D3DERR_INVALIDCALL;
        *value = Lookup(samplerStates_[sampler], type);
        return D3D_OK;
    }

    HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) override {
        if (stage >= kStages) return D3DERR_INVALIDCALL;
        stageStates_[stage][type] = value;
        return D3D_OK;
    }

    HRESULT GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) override {
        if (stage >= kStages) return D3DERR_INVALIDCALL;
        *value = Lookup(stageStates_[stage], type);
        return D3D_OK;
    }

    HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                          IDirect3DTexture9** texture, void*) override {
        *texture = GlTexture::Create(width, height, levels, usage, format, pool);
        return *texture ? D3D_OK : D3DERR_INVALIDCALL;
    }

    HRESULT CreateCubeTexture(UINT edge, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                              IDirect3DCubeTexture9** texture, void*) override {
        *texture = GlCubeTexture::Create(edge, levels, usage, format, pool);
        return *texture ? D3D_OK : D3DERR_INVALIDCALL;
    }

    HRESULT CreateDepthStencilSurface(UINT width, UINT height, D3DFORMAT format, D3DMULTISAMPLE_TYPE multisample,
                                      DWORD, BOOL, IDirect3DSurface9** surface, void*) override {
        *surface = nullptr;
        if (format != D3DFMT_D16 && format != D3DFMT_D24X8) return D3DERR_INVALIDCALL;
        *surface = CreateRenderbufferSurface(width, height, format, D3DUSAGE_DEPTHSTENCIL, multisample);
        return *surface ? D3D_OK : D3DERR_INVALIDCALL;
    }

    HRESULT SetRenderTarget(DWORD index, IDirect3DSurface9* surface) override {
        auto* target = dynamic_cast<GlSurface*>(surface);
        if (index != 0 || !target || !(target->description().Usage & D3DUSAGE_RENDERTARGET))
            return D3DERR_INVALIDCALL;
        Hold(&renderTarget_, target);
        viewport_ = D3DVIEWPORT9{0, 0, target->description().Width, target->description().Height, 0.0f, 1.0f};
        boundFramebuffer_ = 0;
        return D3D_OK;
    }

    HRESULT GetRenderTarget(DWORD index, IDirect3DSurface9** surface) override {
        *surface = nullptr;
        if (index != 0) return D3DERR_INVALIDCALL;
        renderTarget_->AddRef();
        *surface = renderTarget_;
        return D3D_OK;
    }

    HRESULT SetDepthStencilSurface(IDirect3DSurface9* surface) override {
        auto* depth = dynamic_cast<GlSurface*>(surface);
        if (surface && (!depth || !(depth->description().Usage & D3DUSAGE_DEPTHSTENCIL))) return D3DERR_INVALIDCALL;
        Hold(&depthStencil_, depth);
        boundFramebuffer_ = 0;
        return D3D_OK;
    }

    HRESULT GetDepthStencilSurface(IDirect3DSurface9** surface) override {
        *surface = depthStencil_;
        if (!depthStencil_) return D3DERR_NOTAVAILABLE;
        depthStencil_->AddRef();
        return D3D_OK;
    }

    HRESULT SetFVF(DWORD fvf) override {
        fvf_ = fvf;
        Hold(&declaration_, static_cast<GlVertexDeclaration*>(nullptr));
        return D3D_OK;
    }

    HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitives, const void* vertices, UINT stride) override {
        const UINT count = VertexCount(type, primitives);
        const std::vector<VertexAttribute> layout = CurrentLayout();
        if (!count || !vertices || layout.empty() || stride < LayoutSize(layout)) return D3DERR_INVALIDCALL;
        const LinkedProgram* program = PrepareDraw(type, layout);
        if (!program) return D3DERR_INVALIDCALL;

        state_.BindArrayBuffer(vertexBuffer_);
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(count) * stride, vertices, GL_STREAM_DRAW);
        SetVertexLayout(vertexBuffer_, stride, 0, layout, *program);
        const bool hidden = BeginHiddenDraw();
        glDrawArrays(PrimitiveMode(type), 0, static_cast<GLsizei>(count));
        EndHiddenDraw(hidden);
        return D3D_OK;
    }

    HRESULT CreateVertexBuffer(UINT length, DWORD, DWORD, D3DPOOL, IDirect3DVertexBuffer9** buffer,
                               void*) override {
        *buffer = GlVertexBuffer::Create(length);
        return *buffer ? D3D_OK : D3DERR_INVALIDCALL;
    }

    HRESULT CreateIndexBuffer(UINT length, DWORD, D3DFORMAT format, D3DPOOL, IDirect3DIndexBuffer9** buffer,
                              void*) override {
        *buffer = GlIndexBuffer::Create(length, format);
        return *buffer ? D3D_OK : D3DERR_INVALIDCALL;
    }

    HRESULT CreateQuery(D3DQUERYTYPE type, IDirect3DQuery9** query) override {
        *query = type == D3DQUERYTYPE_OCCLUSION ? new GlQuery(&warmingUp_) : nullptr;
        return *query ? D3D_OK : D3DERR_NOTAVAILABLE;
    }

    HRESULT SetStreamSource(UINT stream, IDirect3DVertexBuffer9* buffer, UINT offset, UINT stride) override {
        if (stream != 0 || HoldOwn(&stream_, buffer) != D3D_OK) return D3DERR_INVALIDCALL;
        streamOffset_ = offset;
        streamStride_ = stride;
        return D3D_OK;
    }

    HRESULT SetIndices(IDirect3DIndexBuffer9* buffer) override {
        return HoldOwn(&indices_, buffer);
    }

    HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE type, INT baseVertex, UINT minVertex, UINT vertices,
                                 UINT startIndex, UINT primitives) override {
        const std::vector<VertexAttribute> layout = CurrentLayout();
        const uint64_t indexCount = static_cast<uint64_t>(primitives) * 3;
        if (type != D3DPT_TRIANGLELIST || !primitives || !vertices || layout.empty() || !stream_ || !indices_ ||
            stream_->locked() || indices_->locked() || streamStride_ < LayoutSize(layout) ||
            !IndicesInside(*indices_, startIndex, indexCount, minVertex, vertices) ||
            !VerticesInside(static_cast<int64_t>(baseVertex) + minVertex, vertices, LayoutSize(layout)))
            return D3DERR_INVALIDCALL;
        const LinkedProgram* program = PrepareDraw(type, layout);
        if (!program) return D3DERR_INVALIDCALL;

        SetVertexLayout(stream_->name(), streamStride_, streamOffset_, layout, *program);
        state_.BindElementBuffer(indices_->name());
        const uintptr_t firstByte = static_cast<uintptr_t>(startIndex) * indices_->indexSize();
        const bool hidden = BeginHiddenDraw();
        // One triangle takes a hidden draw through everything the driver builds.
        glDrawRangeElementsBaseVertex(GL_TRIANGLES, minVertex, minVertex + (vertices - 1),
                                      hidden ? 3 : static_cast<GLsizei>(indexCount), indices_->indexType(),
                                      reinterpret_cast<const void*>(firstByte), baseVertex);
        EndHiddenDraw(hidden);
        return D3D_OK;
    }

    HRESULT CreateVertexDeclaration(const D3DVERTEXELEMENT9* elements,
                                    IDirect3DVertexDeclaration9** declaration) override {
        *declaration = GlVertexDeclaration::Create(elements);
        return *declaration ? D3D_OK : D3DERR_INVALIDCALL;
    }

    HRESULT SetVertexDeclaration(IDirect3DVertexDeclaration9* declaration) override {
        if (HoldOwn(&declaration_, declaration) != D3D_OK) return D3DERR_INVALIDCALL;
        if (declaration_) fvf_ = 0;
        return D3D_OK;
    }

    HRESULT CreateVertexShader(const DWORD* function, IDirect3DVertexShader9** shader) override {
        const CompiledShader* compiled = CompiledShaderOf(function, ShaderStage::Vertex);
        *shader = compiled ? new GlVertexShader(*compiled) : nullptr;
        return *shader ? D3D_OK : D3DERR_INVALIDCALL;
    }

    HRESULT CreatePixelShader(const DWORD* function, IDirect3DPixelShader9** shader) override {
        const CompiledShader* compiled = CompiledShaderOf(function, ShaderStage::Pixel);
        *shader = compiled ? new GlPixelShader(*compiled) : nullptr;
        return *shader ? D3D_OK : D3DERR_INVALIDCALL;
    }

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

    std::vector<uint32_t> ReadBackBuffer(UINT* width, UINT* height) override {
        const GLuint source = Resolve();
        std::vector<uint8_t> rgba(static_cast<size_t>(width_) * height_ * 4);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, source);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        std::vector<uint32_t> pixels(static_cast<size_t>(width_) * height_);
        for (size_t i = 0; i < pixels.size(); ++i) {
            const uint8_t* p = &rgba[i * 4];
            pixels[i] = D3DCOLOR_ARGB(p[3], p[0], p[1], p[2]);
        }
        *width = static_cast<UINT>(width_);
        *height = static_cast<UINT>(height_);
        return pixels;
    }

    std::unique_ptr<BackBufferReader> CreateBackBufferReader(int depth) override {
        return CreateGlBackBufferReader(width_, height_, depth, [this] { return Resolve(); });
    }

    void WarmUp(const std::function<void()>& draw) override {
        const SetState saved = SaveSetState();
        warmingUp_ = true;
        draw();
        warmingUp_ = false;
        RestoreSetState(saved);
    }

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

    SetState SaveSetState() const {
        SetState saved{renderStates_, {}, {}, transforms_, vertexConstants_, pixelConstants_, viewport_, fvf_,
                       streamOffset_, streamStride_, inScene_, {}, renderTarget_, depthStencil_, declaration_,
                       stream_, indices_, vertexShader_, pixelShader_};
        for (DWORD stage = 0; stage < kStages; ++stage) {
            saved.samplerStates[stage] = samplerStates_[stage];
            saved.stageStates[stage] = stageStates_[stage];
            saved.textures[stage] = textures_[stage];
            if (textures_[stage]) textures_[stage]->AddRef();
        }
        IDirect3DResource9* const objects[] = {renderTarget_, depthStencil_, declaration_, stream_,
                                               indices_,      vertexShader_, pixelShader_};
        for (IDirect3DResource9* held : objects)
            if (held) held->AddRef();
        return saved;
    }

    // Takes over the references saved holds.
    void RestoreSetState(const SetState& saved) {
        renderStates_ = saved.renderStates;
        transforms_ = saved.transforms;
        vertexConstants_ = saved.vertexConstants;
        pixelConstants_ = saved.pixelConstants;
        viewport_ = saved.viewport;
        fvf_ = saved.fvf;
        streamOffset_ = saved.streamOffset, streamStride_ = saved.streamStride;
        inScene_ = saved.inScene;
        for (DWORD stage = 0; stage < kStages; ++stage) {
            samplerStates_[stage] = saved.samplerStates[stage];
            stageStates_[stage] = saved.stageStates[stage];
            Adopt(&textures_[stage], saved.textures[stage]);
        }
        Adopt(&renderTarget_, saved.renderTarget);
        Adopt(&depthStencil_, saved.depthStencil);
        Adopt(&declaration_, saved.declaration);
        Adopt(&stream_, saved.stream);
        Adopt(&indices_, saved.indices);
        Adopt(&vertexShader_, saved.vertexShader);
        Adopt(&pixelShader_, saved.pixelShader);
        boundFramebuffer_ = 0;
    }

    template <typename Object>
    static void Adopt(Object** slot, Object* object) {
        if (*slot) (*slot)->Release();
        *slot = object;
    }

    // While warming up, a draw reaches the driver, which builds what it
    // needs, but an empty scissor keeps it from writing.
    bool BeginHiddenDraw() {
        if (!warmingUp_) return false;
        glEnable(GL_SCISSOR_TEST);
        glScissor(0, 0, 0, 0);
        return true;
    }

    static void EndHiddenDraw(bool hidden) {
        if (hidden) glDisable(GL_SCISSOR_TEST);
    }

    static DWORD Lookup(const StateTable& table, uint32_t state) {
        auto found = table.find(state);
        return found == table.end() ? 0 : found->second;
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

    static HRESULT WriteRegisters(std::vector<float>* registers, UINT start, const float* data, UINT count) {
        const UINT available = static_cast<UINT>(registers->size() / 4);
        if (!data || start > available || count > available - start) return D3DERR_INVALIDCALL;
        std::copy(data, data + static_cast<size_t>(count) * 4, registers->begin() + static_cast<size_t>(start) * 4);
        return D3D_OK;
    }

    // Lays the registers a stage's constants were given out as its uniform
    // block: register k of element e at offset + e * arrayStride + k * registerStride.
    void UploadConstants(const GlShaderStage* stage, const std::vector<float>& registers, GLuint binding,
                         GLuint buffer) {
        if (!stage || stage->compiled().blockName.empty()) return;
        const CompiledShader& compiled = stage->compiled();
        std::vector<uint8_t>& block = block_;
        block.assign(compiled.blockSize, 0);
        for (const ShaderConstant& constant : compiled.constants) {
            if (constant.cls == ConstantClass::Object) continue;
            const uint32_t perElement = RegistersPerElement(constant);
            const size_t components = std::min(ComponentsPerRegister(constant), 4u);
            for (uint32_t r = 0; r < constant.registerCount; ++r) {
                const size_t registerIndex = static_cast<size_t>(constant.firstRegister) + r;
                const size_t offset = constant.offset + static_cast<size_t>(r / perElement) * constant.arrayStride +
                                      static_cast<size_t>(r % perElement) * constant.registerStride;
                if (registerIndex >= registers.size() / 4 || offset + components * 4 > block.size()) break;
                for (size_t i = 0; i < components; ++i)
                    StoreComponent(constant.type, registers[registerIndex * 4 + i], &block[offset + i * 4]);
            }
        }
        state_.FillUniformBuffer(buffer, constantBuffers_[buffer], block);
        state_.BindUniformBufferBase(binding, constantBuffers_[buffer]);
    }

    // A float register component as the block member's type holds it.
    static void StoreComponent(ConstantType type, float value, uint8_t* to) {
        if (type == ConstantType::Float) {
            std::memcpy(to, &value, 4);
        } else if (type == ConstantType::Bool) {
            const uint32_t truth = value != 0.0f;
            std::memcpy(to, &truth, 4);
        } else {
            const int32_t whole = static_cast<int32_t>(std::lround(std::clamp(value, -2.0e9f, 2.0e9f)));
            std::memcpy(to, &whole, 4);
        }
    }

    std::vector<VertexAttribute> CurrentLayout() const {
        return declaration_ ? declaration_->layout() : LayoutOfFvf(fvf_);
    }

    // Binds the target, states, program, constants and textures of a draw;
    // null when there is no target or no program.
    const LinkedProgram* PrepareDraw(D3DPRIMITIVETYPE type, const std::vector<VertexAttribute>& layout) {
        if (!BindTarget()) return nullptr;
        ApplyRenderStates(renderStates_, depthStencil_ != nullptr);

        ProgramKey key;
        if (vertexShader_) key.vertexSerial = vertexShader_->serial();
        if (pixelShader_) key.pixelSerial = pixelShader_->serial();
        if (!vertexShader_ || !pixelShader_) key.fixed = FixedFunctionState(type, layout);
        if (Lookup(renderStates_, D3DRS_ALPHATESTENABLE)) key.alphaFunc = Lookup(renderStates_, D3DRS_ALPHAFUNC);
        const LinkedProgram& program = programs_->Get(key, vertexShader_, pixelShader_);
        if (!program.program) return nullptr;
        state_.UseProgram(program.program);
        SetFixedFunctionUniforms(program);
        UploadConstants(vertexShader_, vertexConstants_, kVertexBlockBinding, 0);
        UploadConstants(pixelShader_, pixelConstants_, kPixelBlockBinding, 1);
        BindTextures();
        return &program;
    }

    // The indices lie inside the buffer and each picks a vertex of the range
    // the caller gave: GL does not check what it fetches.
    static bool IndicesInside(const GlIndexBuffer& indices, UINT start, uint64_t count, UINT minVertex,
                              UINT vertices) {
        if (start + count > indices.length() / indices.indexSize()) return false;
        for (uint64_t i = start; i < start + count; ++i) {
            const uint32_t index = indices.Index(i);
            if (index < minVertex || index - minVertex >= vertices) return false;
        }
        return true;
    }

    // Vertices first .. first + count - 1 of the stream, each element of
    // the layout whole, lie inside its buffer.
    bool VerticesInside(int64_t first, UINT count, UINT layoutSize) const {
        const uint64_t length = stream_->length();
        if (first < 0 || streamOffset_ + static_cast<uint64_t>(layoutSize) > length) return false;
        const uint64_t last = static_cast<uint64_t>(first) + count - 1;
        return last <= (length - streamOffset_ - layoutSize) / streamStride_;
    }

    // Binds the framebuffer of the current target and depth surface.
    bool BindTarget() {
        if (boundFramebuffer_) return true;
        glBindFramebuffer(GL_FRAMEBUFFER, drawFramebuffer_);
        renderTarget_->Attach(GL_COLOR_ATTACHMENT0);
        if (depthStencil_) {
            const GLenum attachment = depthStencil_->description().Format == D3DFMT_D16 ? GL_DEPTH_ATTACHMENT
                                                                                       : GL_DEPTH_STENCIL_ATTACHMENT;
            glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, 0);
            depthStencil_->Attach(attachment);
        } else {
            glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, 0);
        }
        if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) return false;
        boundFramebuffer_ = drawFramebuffer_;
        ApplyViewport();
        return true;
    }

    void ApplyViewport() {
        glViewport(static_cast<GLint>(viewport_.X), static_cast<GLint>(viewport_.Y),
                   static_cast<GLsizei>(viewport_.Width), static_cast<GLsizei>(viewport_.Height));
        glDepthRange(viewport_.MinZ, viewport_.MaxZ);
    }

    void ClearRect(LONG left, LONG top, LONG right, LONG bottom, GLbitfield mask) {
        if (right <= left || bottom <= top) return;
        glScissor(left, top, right - left, bottom - top);
        glClear(mask);
    }

    // Stage 0's texture when the fixed-function stage can sample it.
    GlTexture* FixedFunctionTexture() const { return dynamic_cast<GlTexture*>(textures_[0]); }

    FixedFunctionKey FixedFunctionState(D3DPRIMITIVETYPE type, const std::vector<VertexAttribute>& layout) {
        FixedFunctionKey key;
        key.diffuse = HasInput(layout, "COLOR0");
        key.texcoord = HasInput(layout, "TEXCOORD0");
        key.texture = FixedFunctionTexture() != nullptr;
        key.points = type == D3DPT_POINTLIST;
        key.pointSprite = key.points && Lookup(renderStates_, D3DRS_POINTSPRITEENABLE);
        key.pointScale = key.points && Lookup(renderStates_, D3DRS_POINTSCALEENABLE);
        key.lighting = Lookup(renderStates_, D3DRS_LIGHTING) != 0;
        const StateTable& stage = stageStates_[0];
        key.colourOp = Lookup(stage, D3DTSS_COLOROP);
        key.colourArg1 = Lookup(stage, D3DTSS_COLORARG1);
        key.colourArg2 = Lookup(stage, D3DTSS_COLORARG2);
        key.alphaOp = Lookup(stage, D3DTSS_ALPHAOP);
        key.alphaArg1 = Lookup(stage, D3DTSS_ALPHAARG1);
        key.alphaArg2 = Lookup(stage, D3DTSS_ALPHAARG2);
        return key;
    }

    void SetFixedFunctionUniforms(const LinkedProgram& program) {
        D3DMATRIX world, view, projection, worldView, all;
        GetTransform(D3DTS_WORLD, &world);
        GetTransform(D3DTS_VIEW, &view);
        GetTransform(D3DTS_PROJECTION, &projection);
        D3DXMatrixMultiply(&worldView, &world, &view);
        D3DXMatrixMultiply(&all, &worldView, &projection);
        // Row-major memory read as GL columns is the transpose, so M * v in GLSL is p * M.
        glUniformMatrix4fv(program.worldViewProjection, 1, GL_FALSE, &all.m[0][0]);
        glUniformMatrix4fv(program.worldView, 1, GL_FALSE, &worldView.m[0][0]);
        glUniform2f(program.halfPixel, 1.0f / std::max<DWORD>(1, viewport_.Width),
                    1.0f / std::max<DWORD>(1, viewport_.Height));
        glUniform1f(program.alphaRef, static_cast<float>(Lookup(renderStates_, D3DRS_ALPHAREF) & 0xFF));
        glUniform1f(program.pointSize, FloatOf(Lookup(renderStates_, D3DRS_POINTSIZE)));
        glUniform1f(program.pointMin, FloatOf(Lookup(renderStates_, D3DRS_POINTSIZE_MIN)));
        glUniform1f(program.pointMax, FloatOf(Lookup(renderStates_, D3DRS_POINTSIZE_MAX)));
        glUniform3f(program.pointScale, FloatOf(Lookup(renderStates_, D3DRS_POINTSCALE_A)),
                    FloatOf(Lookup(renderStates_, D3DRS_POINTSCALE_B)),
                    FloatOf(Lookup(renderStates_, D3DRS_POINTSCALE_C)));
        glUniform1f(program.viewportHeight, static_cast<float>(viewport_.Height));
    }

    void BindTextures() {
        for (DWORD stage = 0; stage < kStages; ++stage) {
            GLuint texture2D = 0, cube = 0;
            if (auto* texture = dynamic_cast<GlTexture*>(textures_[stage])) texture2D = texture->name();
            if (auto* texture = dynamic_cast<GlCubeTexture*>(textures_[stage])) cube = texture->name();
            state_.BindTexture(stage, GL_TEXTURE_2D, texture2D);
            state_.BindTexture(stage, GL_TEXTURE_CUBE_MAP, cube);
            state_.SetSamplerParameters(stage, samplers_[stage], SamplerParametersOf(samplerStates_[stage]));
            state_.BindSampler(stage, samplers_[stage]);
        }
    }

    // Feeds each input the program reads from the layout element of its
    // semantic, in vertices that start `offset` bytes into the buffer.
    void SetVertexLayout(GLuint buffer, UINT stride, UINT offset, const std::vector<VertexAttribute>& layout,
                         const LinkedProgram& program) {
        state_.BindArrayBuffer(buffer);
        uint32_t enabled = 0;
        for (const VertexAttribute& attribute : layout) {
            auto input = program.attributes.find(attribute.semantic);
            if (input != program.attributes.end() && input->second >= 0 &&
                input->second < static_cast<GLint>(GlStateShadow::kAttributes))
                enabled |= 1u << input->second;
        }
        state_.EnableAttributes(enabled, static_cast<GLuint>(maxAttributes_));
        for (const VertexAttribute& attribute : layout) {
            auto input = program.attributes.find(attribute.semantic);
            if (input == program.attributes.end() || input->second < 0) continue;
            // D3DCOLOR bytes are B, G, R, A: GL's BGRA attribute order.
            state_.SetAttributeSource(static_cast<GLuint>(input->second),
                                      {buffer, attribute.bgra ? GL_BGRA : attribute.components, attribute.type,
                                       static_cast<GLboolean>(attribute.bgra ? GL_TRUE : GL_FALSE), static_cast<GLsizei>(stride),
                                       static_cast<uintptr_t>(offset) + attribute.offset});
        }
    }

    // The framebuffer that holds the finished single-sampled back buffer.
    GLuint Resolve() {
        if (!samples_) return backFramebuffer_;
        glBindFramebuffer(GL_READ_FRAMEBUFFER, backFramebuffer_);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, resolveFramebuffer_);
        glBlitFramebuffer(0, 0, width_, height_, 0, 0, width_, height_, GL_COLOR_BUFFER_BIT, GL_NEAREST);
        boundFramebuffer_ = 0;
        return resolveFramebuffer_;
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
