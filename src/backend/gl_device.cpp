// Direct3D 9 on OpenGL 3.3 core. Drawing goes into an offscreen back buffer
// whose row 0 is the top row of the Direct3D image; Present flips it upright
// into the window.
#include "backend/gl_device.h"

#include <SDL.h>
#include <epoxy/gl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>

namespace {

D3DMATRIX IdentityMatrix() {
    D3DMATRIX m{};
    for (int i = 0; i < 4; ++i) m.m[i][i] = 1.0f;
    return m;
}

DWORD FloatBits(float value) {
    DWORD bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

GLenum BlendFactor(DWORD blend) {
    switch (blend) {
        case D3DBLEND_ZERO: return GL_ZERO;
        case D3DBLEND_ONE: return GL_ONE;
        case D3DBLEND_SRCCOLOR: return GL_SRC_COLOR;
        case D3DBLEND_INVSRCCOLOR: return GL_ONE_MINUS_SRC_COLOR;
        case D3DBLEND_SRCALPHA: return GL_SRC_ALPHA;
        case D3DBLEND_INVSRCALPHA: return GL_ONE_MINUS_SRC_ALPHA;
        case D3DBLEND_DESTALPHA: return GL_DST_ALPHA;
        case D3DBLEND_INVDESTALPHA: return GL_ONE_MINUS_DST_ALPHA;
        case D3DBLEND_DESTCOLOR: return GL_DST_COLOR;
        case D3DBLEND_INVDESTCOLOR: return GL_ONE_MINUS_DST_COLOR;
        default: return GL_ONE;
    }
}

class GlDevice : public IDirect3DDevice9 {
public:
    GlDevice(SDL_Window* window, SDL_GLContext context) : window_(window), context_(context) {}

    // False when the back buffer cannot be made as asked.
    bool CreateBackBuffer(const D3DPRESENT_PARAMETERS& parameters) {
        SDL_GL_GetDrawableSize(window_, &width_, &height_);
        if (parameters.BackBufferWidth) width_ = static_cast<int>(parameters.BackBufferWidth);
        if (parameters.BackBufferHeight) height_ = static_cast<int>(parameters.BackBufferHeight);
        samples_ = static_cast<int>(parameters.MultiSampleType);
        GLint maxSamples = 0;
        glGetIntegerv(GL_MAX_SAMPLES, &maxSamples);
        if (samples_ > maxSamples) return false;

        glGenFramebuffers(1, &framebuffer_);
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
        glGenRenderbuffers(1, &colour_);
        glBindRenderbuffer(GL_RENDERBUFFER, colour_);
        glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples_, GL_RGBA8, width_, height_);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour_);
        if (parameters.EnableAutoDepthStencil) {
            glGenRenderbuffers(1, &depth_);
            glBindRenderbuffer(GL_RENDERBUFFER, depth_);
            glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples_, GL_DEPTH24_STENCIL8, width_, height_);
            glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, depth_);
        }
        if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) return false;

        if (samples_) {  // resolved copy for read-back and present
            glGenFramebuffers(1, &resolveFramebuffer_);
            glBindFramebuffer(GL_FRAMEBUFFER, resolveFramebuffer_);
            glGenRenderbuffers(1, &resolveColour_);
            glBindRenderbuffer(GL_RENDERBUFFER, resolveColour_);
            glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width_, height_);
            glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, resolveColour_);
            glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
        }
        glGenVertexArrays(1, &vertexArray_);  // core profile needs one bound
        glBindVertexArray(vertexArray_);

        SetDefaultStates(parameters.EnableAutoDepthStencil);
        viewport_ = D3DVIEWPORT9{0, 0, static_cast<DWORD>(width_), static_cast<DWORD>(height_), 0.0f, 1.0f};
        SetViewport(&viewport_);
        return true;
    }

    ~GlDevice() override {
        SDL_GL_MakeCurrent(window_, context_);
        glDeleteVertexArrays(1, &vertexArray_);
        glDeleteFramebuffers(1, &framebuffer_);
        glDeleteFramebuffers(1, &resolveFramebuffer_);
        const GLuint renderbuffers[] = {colour_, depth_, resolveColour_};
        glDeleteRenderbuffers(3, renderbuffers);
        SDL_GL_MakeCurrent(window_, nullptr);
        SDL_GL_DeleteContext(context_);
    }

    ULONG Release() override {
        delete this;
        return 0;
    }

    HRESULT Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR colour, float z, DWORD stencil) override {
        GLbitfield mask = 0;
        if (flags & D3DCLEAR_TARGET) mask |= GL_COLOR_BUFFER_BIT;
        if ((flags & D3DCLEAR_ZBUFFER) && depth_) mask |= GL_DEPTH_BUFFER_BIT;
        if ((flags & D3DCLEAR_STENCIL) && depth_) mask |= GL_STENCIL_BUFFER_BIT;
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
        ApplyWriteMasks();
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
        const GLuint source = Resolve();
        int windowWidth = 0, windowHeight = 0;
        SDL_GL_GetDrawableSize(window_, &windowWidth, &windowHeight);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, source);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
        // Row 0 is the top: flip it into GL's bottom-up window.
        glBlitFramebuffer(0, 0, width_, height_, 0, windowHeight, windowWidth, 0, GL_COLOR_BUFFER_BIT, GL_LINEAR);
        SDL_GL_SwapWindow(window_);
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
        return D3D_OK;
    }

    HRESULT SetViewport(const D3DVIEWPORT9* viewport) override {
        viewport_ = *viewport;
        glViewport(static_cast<GLint>(viewport->X), static_cast<GLint>(viewport->Y),
                   static_cast<GLsizei>(viewport->Width), static_cast<GLsizei>(viewport->Height));
        glDepthRange(viewport->MinZ, viewport->MaxZ);
        return D3D_OK;
    }

    HRESULT GetViewport(D3DVIEWPORT9* viewport) override {
        *viewport = viewport_;
        return D3D_OK;
    }

    HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override {
        renderStates_[state] = value;
        switch (state) {
            case D3DRS_ZENABLE:
                if (value != D3DZB_FALSE && depth_)
                    glEnable(GL_DEPTH_TEST);
                else
                    glDisable(GL_DEPTH_TEST);
                break;
            case D3DRS_ALPHABLENDENABLE:
                if (value)
                    glEnable(GL_BLEND);
                else
                    glDisable(GL_BLEND);
                break;
            case D3DRS_SRCBLEND:
            case D3DRS_DESTBLEND:
                glBlendFunc(BlendFactor(renderStates_[D3DRS_SRCBLEND]), BlendFactor(renderStates_[D3DRS_DESTBLEND]));
                break;
            case D3DRS_ZWRITEENABLE:
            case D3DRS_COLORWRITEENABLE:
                ApplyWriteMasks();
                break;
            default:
                break;  // used when drawing
        }
        return D3D_OK;
    }

    HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) override {
        auto found = renderStates_.find(state);
        *value = found == renderStates_.end() ? 0 : found->second;
        return D3D_OK;
    }

    HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) override {
        transforms_[state] = *matrix;
        return D3D_OK;
    }

    HRESULT GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) override {
        auto found = transforms_.find(state);
        *matrix = found == transforms_.end() ? IdentityMatrix() : found->second;
        return D3D_OK;
    }

    HRESULT SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) override {
        if (stage >= 8) return D3DERR_INVALIDCALL;
        textures_[stage] = texture;
        return D3D_OK;
    }

    std::vector<uint32_t> ReadBackBuffer(UINT* width, UINT* height) override {
        const GLuint source = Resolve();
        std::vector<uint8_t> rgba(static_cast<size_t>(width_) * height_ * 4);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, source);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
        std::vector<uint32_t> pixels(static_cast<size_t>(width_) * height_);
        for (size_t i = 0; i < pixels.size(); ++i) {
            const uint8_t* p = &rgba[i * 4];
            pixels[i] = D3DCOLOR_ARGB(p[3], p[0], p[1], p[2]);
        }
        *width = static_cast<UINT>(width_);
        *height = static_cast<UINT>(height_);
        return pixels;
    }

private:
    void ClearRect(LONG left, LONG top, LONG right, LONG bottom, GLbitfield mask) {
        if (right <= left || bottom <= top) return;
        glScissor(left, top, right - left, bottom - top);
        glClear(mask);
    }

    void ApplyWriteMasks() {
        const DWORD colour = renderStates_[D3DRS_COLORWRITEENABLE];
        glColorMask(colour & 1, (colour >> 1) & 1, (colour >> 2) & 1, (colour >> 3) & 1);
        glDepthMask(renderStates_[D3DRS_ZWRITEENABLE] ? GL_TRUE : GL_FALSE);
    }

    // Direct3D's documented defaults.
    void SetDefaultStates(bool depthBuffer) {
        renderStates_ = {
            {D3DRS_ZENABLE, depthBuffer ? D3DZB_TRUE : D3DZB_FALSE},
            {D3DRS_FILLMODE, 3},
            {D3DRS_SHADEMODE, 2},
            {D3DRS_ZWRITEENABLE, TRUE},
            {D3DRS_ALPHATESTENABLE, FALSE},
            {D3DRS_SRCBLEND, D3DBLEND_ONE},
            {D3DRS_DESTBLEND, D3DBLEND_ZERO},
            {D3DRS_CULLMODE, D3DCULL_CCW},
            {D3DRS_ZFUNC, D3DCMP_LESSEQUAL},
            {D3DRS_ALPHAREF, 0},
            {D3DRS_ALPHAFUNC, D3DCMP_ALWAYS},
            {D3DRS_ALPHABLENDENABLE, FALSE},
            {D3DRS_LIGHTING, TRUE},
            {D3DRS_DIFFUSEMATERIALSOURCE, D3DMCS_COLOR1},
            {D3DRS_POINTSIZE, FloatBits(1.0f)},
            {D3DRS_POINTSIZE_MIN, FloatBits(1.0f)},
            {D3DRS_POINTSPRITEENABLE, FALSE},
            {D3DRS_POINTSCALEENABLE, FALSE},
            {D3DRS_POINTSCALE_A, FloatBits(1.0f)},
            {D3DRS_POINTSCALE_B, FloatBits(0.0f)},
            {D3DRS_POINTSCALE_C, FloatBits(0.0f)},
            {D3DRS_COLORWRITEENABLE, 0xF},
            {D3DRS_COLORWRITEENABLE1, 0xF},
            {D3DRS_COLORWRITEENABLE2, 0xF},
            {D3DRS_COLORWRITEENABLE3, 0xF},
        };
        for (const auto& [state, value] : std::map<uint32_t, DWORD>(renderStates_))
            SetRenderState(static_cast<D3DRENDERSTATETYPE>(state), value);
    }

    // The framebuffer that holds the finished single-sampled picture.
    GLuint Resolve() {
        if (!samples_) return framebuffer_;
        glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer_);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, resolveFramebuffer_);
        glBlitFramebuffer(0, 0, width_, height_, 0, 0, width_, height_, GL_COLOR_BUFFER_BIT, GL_NEAREST);
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
        return resolveFramebuffer_;
    }

    SDL_Window* window_;
    SDL_GLContext context_;
    int width_ = 0, height_ = 0, samples_ = 0;
    GLuint framebuffer_ = 0, colour_ = 0, depth_ = 0;
    GLuint resolveFramebuffer_ = 0, resolveColour_ = 0;
    GLuint vertexArray_ = 0;
    bool inScene_ = false;
    D3DVIEWPORT9 viewport_{};
    std::map<uint32_t, DWORD> renderStates_;
    std::map<uint32_t, D3DMATRIX> transforms_;
    IDirect3DBaseTexture9* textures_[8] = {};
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
