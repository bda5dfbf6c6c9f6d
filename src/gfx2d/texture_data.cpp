#include "gfx2d/texture_data.h"

#include <cstring>
#include <string>

#include "platform/graphics_context.h"

namespace {

constexpr const char* kLoadCaption = "zkLoadTexture Error";
constexpr const char* kCreateCaption = "zkCreateTexture Error";

TextureData* Refuse(TextureData* record, const char* text, const char* caption) {
    MessageBoxA(nullptr, text, caption, MB_ICONEXCLAMATION);
    zkReleaseTexture(record);
    delete record;
    return nullptr;
}

TextureData* Discard(TextureData* record) {
    zkReleaseTexture(record);
    delete record;
    return nullptr;
}

// The first format bit in the order 0x10, 0x20, 0x40, 0x80.
bool ColourFormat(uint32_t flags, D3DFORMAT* format) {
    if (flags & kTextureA8R8G8B8) *format = D3DFMT_A8R8G8B8;
    else if (flags & kTextureR8G8B8) *format = D3DFMT_R8G8B8;
    else if (flags & kTextureA16B16G16R16F) *format = D3DFMT_A16B16G16R16F;
    else if (flags & kTextureA32B32G32R32F) *format = D3DFMT_A32B32G32R32F;
    else return false;
    return true;
}

template <typename T>
void ReleaseAndClear(T*& resource) {
    if (resource) resource->Release();
    resource = nullptr;
}

}  // namespace

TextureData* zkLoadTexture(const char* path) {
    auto* record = new TextureData();
    record->flags = kTexture2D;
    const char* slash = std::strrchr(path, '\\');
    const char* fileName = slash ? slash + 1 : path;
    IDirect3DDevice9* device = g_graphics->device;
    // A file name of 128 bytes or more does not fit the name buffer: a failed load.
    const bool fits = std::strlen(fileName) < 128;

    if (std::strncmp(fileName, "tex2dnpt_", 9) == 0) {
        if (!fits || D3DXCreateTextureFromFileExA(device, path, D3DX_DEFAULT_NONPOW2, D3DX_DEFAULT_NONPOW2,
                                                  D3DX_DEFAULT, 0, D3DFMT_FROM_FILE, D3DPOOL_DEFAULT, D3DX_DEFAULT,
                                                  D3DX_DEFAULT, 0xFF000000, nullptr, nullptr,
                                                  &record->texture) != D3D_OK)
            return Refuse(record, "Unable to load the texture(non power of two)", kLoadCaption);
    } else if (!fits || D3DXCreateTextureFromFileA(device, path, &record->texture) != D3D_OK) {
        return Refuse(record, "Unable to load the texture(power of two)", kLoadCaption);
    }
    return record;
}

TextureData* zkCreateTexture(uint32_t flags, uint32_t width, uint32_t height) {
    if (!(flags & kTextureRenderTarget)) return nullptr;
    auto* record = new TextureData();
    record->flags = flags;
    D3DFORMAT format;
    if (!ColourFormat(flags, &format)) return Refuse(record, "Incorrect depth components !", kCreateCaption);
    IDirect3DDevice9* device = g_graphics->device;
    D3DSURFACE_DESC description{};

    if (flags & kTexture2D) {
        if (D3DXCreateTexture(device, width, height, 1, D3DUSAGE_RENDERTARGET, format, D3DPOOL_DEFAULT,
                              &record->texture) != D3D_OK)
            return Refuse(record, "Unable to create texture (2D Render Target)", kCreateCaption);
        if (record->texture->GetSurfaceLevel(0, &record->surface) != D3D_OK) return Discard(record);
        record->surface->GetDesc(&description);
        if (D3DXCreateRenderToSurface(device, description.Width, description.Height, description.Format, TRUE,
                                      D3DFMT_D16, &record->renderToSurface) != D3D_OK)
            return Refuse(record, "Unable to create render surface for texture (2D)", kCreateCaption);
    } else if (flags & kTextureCube) {
        if (D3DXCreateCubeTexture(device, width, 1, D3DUSAGE_RENDERTARGET, format, D3DPOOL_DEFAULT,
                                  &record->cube) != D3D_OK)
            return Refuse(record, "Unable to create texture (CubeMap Render Target)", kCreateCaption);
        for (int face = 0; face < 6; ++face)
            record->cube->GetCubeMapSurface(static_cast<D3DCUBEMAP_FACES>(face), 0, &record->faces[face]);
        if (!record->faces[0]) return Discard(record);
        record->faces[0]->GetDesc(&description);
        if (D3DXCreateRenderToSurface(device, description.Width, description.Height, description.Format, TRUE,
                                      D3DFMT_D24X8, &record->renderToSurface) != D3D_OK)
            return Refuse(record, "Unable to create render surface for texture (cubemap)", kCreateCaption);
    }
    return record;
}

void zkReleaseTexture(TextureData* texture) {
    if (!texture) return;
    const uint32_t flags = texture->flags;
    if (flags & kTexture2D) {
        if (flags & kTextureRenderTarget) ReleaseAndClear(texture->surface);
        ReleaseAndClear(texture->texture);
    }
    if (flags & kTextureCube) {
        if (flags & kTextureRenderTarget)
            for (IDirect3DSurface9*& face : texture->faces) ReleaseAndClear(face);
        ReleaseAndClear(texture->cube);
    }
    if ((flags & kTextureRenderTarget) && texture->renderToSurface) {
        texture->renderToSurface->Release();
        texture->renderToSurface = nullptr;
    }
    texture->flags = 0;
}

void zkBindTexture(TextureData* texture, DWORD stage) {
    IDirect3DDevice9* device = g_graphics->device;
    if (!texture) device->SetTexture(stage, nullptr);
    else if (texture->flags & kTexture2D) device->SetTexture(stage, texture->texture);
    else if (texture->flags & kTextureCube) device->SetTexture(stage, texture->cube);
}

void zkSetSamplerFilters(DWORD stage, int minification, int magnification) {
    IDirect3DDevice9* device = g_graphics->device;
    if (minification == 0) device->SetSamplerState(stage, D3DSAMP_MINFILTER, D3DTEXF_POINT);
    if (minification == 1) device->SetSamplerState(stage, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    if (magnification == 0) device->SetSamplerState(stage, D3DSAMP_MAGFILTER, D3DTEXF_POINT);
    if (magnification == 1) device->SetSamplerState(stage, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    device->SetSamplerState(stage, D3DSAMP_MIPFILTER, D3DTEXF_LINEAR);
}

void zkBeginRenderTarget(TextureData* texture, int face) {
    if (!texture || !texture->renderToSurface) return;
    if (g_graphics->inScene) {
        g_graphics->device->EndScene();
        g_graphics->inScene = 0;
    }
    if (texture->flags & kTexture2D) {
        texture->renderToSurface->BeginScene(texture->surface, nullptr);
    } else {
        if (face < 0 || face > 5) return;
        texture->renderToSurface->BeginScene(texture->faces[face], nullptr);
    }
    zkClear();
}
