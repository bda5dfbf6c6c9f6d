// Textures, surfaces and buffers of the OpenGL device. Images are stored
// with row 0 as the top row of the Direct3D picture, so v = 0 samples the top.
#pragma once

#include <epoxy/gl.h>

#include <vector>

#include "backend/d3d9.h"
#include "backend/gl_shaders.h"

// Where a colour or depth surface lives: a texture level or cube face, or a
// renderbuffer (the back buffer's colour and depth, depth-stencil surfaces).
class GlSurface : public IDirect3DSurface9 {
public:
    GlSurface(IDirect3DResource9* owner, const D3DSURFACE_DESC& description, GLenum target, GLuint texture,
              GLuint renderbuffer);
    ~GlSurface() override;
    ULONG AddRef() override;
    ULONG Release() override;
    HRESULT GetDesc(D3DSURFACE_DESC* description) override;

    // Attaches the surface to the bound draw framebuffer.
    void Attach(GLenum attachment) const;
    const D3DSURFACE_DESC& description() const { return description_; }

private:
    IDirect3DResource9* owner_;  // the texture a level belongs to; counts for it
    D3DSURFACE_DESC description_;
    GLenum target_;
    GLuint texture_;
    GLuint renderbuffer_;
    ULONG references_ = 1;
};

class GlTexture : public IDirect3DTexture9 {
public:
    // Null when the format or size cannot be made.
    static GlTexture* Create(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool);
    ULONG AddRef() override { return ++references_; }
    ULONG Release() override;
    DWORD GetLevelCount() override { return levels_; }
    HRESULT GetSurfaceLevel(UINT level, IDirect3DSurface9** surface) override;
    HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* description) override;
    HRESULT LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override;
    HRESULT UnlockRect(UINT level) override;
    GLuint name() const { return texture_; }

private:
    GlTexture(GLuint texture, const D3DSURFACE_DESC& description, DWORD levels);
    GLuint texture_;
    D3DSURFACE_DESC description_;
    DWORD levels_;
    GlSurface* level0_ = nullptr;
    std::vector<uint32_t> locked_;
    UINT lockedLevel_ = 0;
    ULONG references_ = 1;
};

class GlCubeTexture : public IDirect3DCubeTexture9 {
public:
    static GlCubeTexture* Create(UINT edge, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool);
    ULONG AddRef() override { return ++references_; }
    ULONG Release() override;
    DWORD GetLevelCount() override { return levels_; }
    HRESULT GetCubeMapSurface(D3DCUBEMAP_FACES face, UINT level, IDirect3DSurface9** surface) override;
    GLuint name() const { return texture_; }

private:
    GlCubeTexture(GLuint texture, const D3DSURFACE_DESC& description, DWORD levels);
    GLuint texture_;
    D3DSURFACE_DESC description_;
    DWORD levels_;
    GlSurface* faces_[6] = {};
    ULONG references_ = 1;
};

// A renderbuffer surface; null when the format is not a colour or depth format GL knows.
GlSurface* CreateRenderbufferSurface(UINT width, UINT height, D3DFORMAT format, DWORD usage, int samples);

// A GL buffer object and a CPU copy of it: locks hand out the copy, which
// stays readable so draws can check the indices they are given.
template <typename Interface>
class GlBuffer : public GlCounted<Interface> {
public:
    ~GlBuffer() override;
    HRESULT Lock(UINT offset, UINT size, void** data, DWORD flags) override;
    // Uploads the locked bytes.
    HRESULT Unlock() override;
    GLuint name() const { return buffer_; }
    UINT length() const { return static_cast<UINT>(bytes_.size()); }
    bool locked() const { return lockedSize_ != 0; }
    const std::vector<uint8_t>& bytes() const { return bytes_; }

protected:
    explicit GlBuffer(UINT length);

private:
    GLuint buffer_ = 0;
    std::vector<uint8_t> bytes_;
    UINT lockedOffset_ = 0, lockedSize_ = 0;
};

class GlVertexBuffer : public GlBuffer<IDirect3DVertexBuffer9> {
public:
    // Null when length is 0.
    static GlVertexBuffer* Create(UINT length);

private:
    explicit GlVertexBuffer(UINT length) : GlBuffer(length) {}
};

class GlIndexBuffer : public GlBuffer<IDirect3DIndexBuffer9> {
public:
    // Null when length is 0 or the format is not an index format.
    static GlIndexBuffer* Create(UINT length, D3DFORMAT format);
    UINT indexSize() const { return indexSize_; }
    GLenum indexType() const { return indexSize_ == 2 ? GL_UNSIGNED_SHORT : GL_UNSIGNED_INT; }
    // Index number `index`; it must lie inside the buffer.
    uint32_t Index(size_t index) const;

private:
    GlIndexBuffer(UINT length, UINT indexSize) : GlBuffer(length), indexSize_(indexSize) {}
    UINT indexSize_;
};

// GL_SAMPLES_PASSED between the two Issue calls. One ended while the device
// warms up counts a sample, so the draws it guards are built too.
class GlQuery : public GlCounted<IDirect3DQuery9> {
public:
    explicit GlQuery(const bool* warmingUp);
    ~GlQuery() override;
    HRESULT Issue(DWORD flags) override;
    HRESULT GetData(void* data, DWORD size, DWORD flags) override;

private:
    const bool* warmingUp_;
    GLuint query_ = 0;
    bool begun_ = false, ended_ = false, endedWarmingUp_ = false;
};
