// D3DX texture and render-to-surface helpers, written over the device
// interface so every backend gets them.
#pragma once

#include "backend/d3d9.h"

constexpr UINT D3DX_DEFAULT = 0xFFFFFFFFu;
constexpr UINT D3DX_DEFAULT_NONPOW2 = 0xFFFFFFFEu;

// PNG files. Width and height D3DX_DEFAULT round the image up to powers of
// two; D3DX_DEFAULT_NONPOW2 keeps its size. Pixels equal to a non-zero colour
// key (ARGB) become transparent black. The levels below the first are
// box-filtered on the CPU and written one by one, as D3DX's default mip
// filter makes them.
HRESULT D3DXCreateTextureFromFileA(IDirect3DDevice9* device, const char* path, IDirect3DTexture9** texture);
HRESULT D3DXCreateTextureFromFileExA(IDirect3DDevice9* device, const char* path, UINT width, UINT height,
                                     UINT mipLevels, DWORD usage, D3DFORMAT format, D3DPOOL pool, DWORD filter,
                                     DWORD mipFilter, D3DCOLOR colourKey, void* sourceInfo, void* palette,
                                     IDirect3DTexture9** texture);
HRESULT D3DXCreateTexture(IDirect3DDevice9* device, UINT width, UINT height, UINT mipLevels, DWORD usage,
                          D3DFORMAT format, D3DPOOL pool, IDirect3DTexture9** texture);
HRESULT D3DXCreateCubeTexture(IDirect3DDevice9* device, UINT edge, UINT mipLevels, DWORD usage, D3DFORMAT format,
                              D3DPOOL pool, IDirect3DCubeTexture9** texture);

// Redirects drawing into a surface with its own depth buffer from BeginScene
// to EndScene, then restores the previous target, depth buffer and viewport.
class ID3DXRenderToSurface {
public:
    virtual ULONG Release() = 0;
    // A null viewport covers the whole surface.
    virtual HRESULT BeginScene(IDirect3DSurface9* surface, const D3DVIEWPORT9* viewport) = 0;
    virtual HRESULT EndScene(DWORD mipFilter) = 0;

protected:
    virtual ~ID3DXRenderToSurface() = default;
};

HRESULT D3DXCreateRenderToSurface(IDirect3DDevice9* device, UINT width, UINT height, D3DFORMAT format,
                                  BOOL depthStencil, D3DFORMAT depthFormat, ID3DXRenderToSurface** renderToSurface);
