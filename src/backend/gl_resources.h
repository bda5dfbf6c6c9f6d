// Textures and surfaces of the OpenGL device. Images are stored with row 0
// as the top row of the Direct3D picture, so v = 0 samples the top.
#pragma once

#include <epoxy/gl.h>

#include <vector>

#include "backend/d3d9.h"

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
