// The GL device's frame: the back buffer and its framebuffers, clears, scenes,
// present and read-back.
#include "backend/gl_device_impl.h"

#include <SDL.h>
#include <epoxy/gl.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "backend/gl_back_buffer_reader.h"
#include "backend/present_area.h"

namespace gl_device {

// False when the back buffer cannot be made as asked.
bool GlDevice::CreateBackBuffer(const D3DPRESENT_PARAMETERS& parameters) {
    width_ = static_cast<int>(parameters.BackBufferWidth);
    height_ = static_cast<int>(parameters.BackBufferHeight);
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

GlDevice::~GlDevice() {
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

HRESULT GlDevice::Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR colour, float z, DWORD stencil) {
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

HRESULT GlDevice::BeginScene() {
    if (inScene_) return D3DERR_INVALIDCALL;
    inScene_ = true;
    return D3D_OK;
}

HRESULT GlDevice::EndScene() {
    if (!inScene_) return D3DERR_INVALIDCALL;
    inScene_ = false;
    return D3D_OK;
}

HRESULT GlDevice::Present(const RECT*, const RECT*, HWND, const void*) {
    if (warmingUp_) return D3D_OK;
    const GLuint source = Resolve();
    int windowWidth = 0, windowHeight = 0;
    SDL_GL_GetDrawableSize(window_, &windowWidth, &windowHeight);
    const bool fullScreen = (SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN) != 0;
    const PresentArea area = PresentAreaFor(width_, height_, windowWidth, windowHeight, fullScreen);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, source);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    if (area.bars) {
        glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    glBlitFramebuffer(0, 0, width_, height_, area.x, area.y + area.height, area.x + area.width, area.y,
                      GL_COLOR_BUFFER_BIT, GL_LINEAR);
    SDL_GL_SwapWindow(window_);
    boundFramebuffer_ = 0;
    return D3D_OK;
}

std::vector<uint32_t> GlDevice::ReadBackBuffer(UINT* width, UINT* height) {
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

std::unique_ptr<BackBufferReader> GlDevice::CreateBackBufferReader(int depth) {
    return CreateGlBackBufferReader(width_, height_, depth, [this] { return Resolve(); });
}

// Binds the framebuffer of the current target and depth surface.
bool GlDevice::BindTarget() {
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

void GlDevice::ApplyViewport() {
    glViewport(static_cast<GLint>(viewport_.X), static_cast<GLint>(viewport_.Y),
               static_cast<GLsizei>(viewport_.Width), static_cast<GLsizei>(viewport_.Height));
    glDepthRange(viewport_.MinZ, viewport_.MaxZ);
}

void GlDevice::ClearRect(LONG left, LONG top, LONG right, LONG bottom, GLbitfield mask) {
    if (right <= left || bottom <= top) return;
    glScissor(left, top, right - left, bottom - top);
    glClear(mask);
}

// The framebuffer that holds the finished single-sampled back buffer.
GLuint GlDevice::Resolve() {
    if (!samples_) return backFramebuffer_;
    glBindFramebuffer(GL_READ_FRAMEBUFFER, backFramebuffer_);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, resolveFramebuffer_);
    glBlitFramebuffer(0, 0, width_, height_, 0, 0, width_, height_, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    boundFramebuffer_ = 0;
    return resolveFramebuffer_;
}

}  // namespace gl_device
