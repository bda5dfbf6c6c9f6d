// Every image the engine uses: a texture loaded from a PNG file or a render
// target (2D or cube) that scenes draw into and later sample.
#pragma once

#include <cstdint>

#include "backend/d3d9.h"
#include "backend/d3dx9_texture.h"

enum : uint32_t {
    kTexture2D = 0x01,
    kTextureCube = 0x04,
    kTextureRenderTarget = 0x08,
    kTextureA8R8G8B8 = 0x10,
    kTextureR8G8B8 = 0x20,
    kTextureA16B16G16R16F = 0x40,
    kTextureA32B32G32R32F = 0x80,
};

struct TextureData {
    uint32_t flags = 0;
    IDirect3DCubeTexture9* cube = nullptr;
    IDirect3DTexture9* texture = nullptr;
    IDirect3DSurface9* surface = nullptr;       // level 0 of a 2D render target
    IDirect3DSurface9* faces[6] = {};           // cube render target faces, +X -X +Y -Y +Z -Z
    ID3DXRenderToSurface* renderToSurface = nullptr;
};

// Null, after a message box, when the file cannot be loaded. A file name
// starting "tex2dnpt_" keeps its size and turns opaque black transparent.
TextureData* zkLoadTexture(const char* path);
// Flags must include kTextureRenderTarget; width is the edge of a cube.
TextureData* zkCreateTexture(uint32_t flags, uint32_t width, uint32_t height);
// Releases what the record holds and zeroes its flags; the caller frees it.
void zkReleaseTexture(TextureData* texture);
void zkBindTexture(TextureData* texture, DWORD stage);
// Selectors: 0 point, 1 linear, anything else leaves the filter alone.
void zkSetSamplerFilters(DWORD stage, int minification, int magnification);
// Starts drawing into a render target (face 0..5 of a cube); the caller ends
// the pass with renderToSurface->EndScene(0).
void zkBeginRenderTarget(TextureData* texture, int face);
