#include "backend/d3dx9_texture.h"

#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "backend/box_mip_chain.h"
#include "backend/file_open.h"
#include "backend/load_phases.h"

namespace {

// Larger pictures are refused rather than allocated.
constexpr UINT kMaxEdge = 8192;

struct Image {
    UINT width = 0, height = 0;
    bool alpha = false;
    std::vector<uint32_t> pixels;  // 0xAARRGGBB, top row first
};

bool ReadPng(const char* path, Image* image) {
    FILE* file = OpenDataFile(path, "rb");
    if (!file) return false;
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    bool read = false;
    if (png_image_begin_read_from_stdio(&png, file) && png.width && png.height && png.width <= kMaxEdge &&
        png.height <= kMaxEdge) {
        image->width = png.width;
        image->height = png.height;
        image->alpha = (png.format & PNG_FORMAT_FLAG_ALPHA) != 0;
        png.format = PNG_FORMAT_BGRA;  // the bytes of D3DFMT_A8R8G8B8 in memory
        image->pixels.resize(static_cast<size_t>(png.width) * png.height);
        read = png_image_finish_read(&png, nullptr, image->pixels.data(), 0, nullptr) != 0;
    }
    png_image_free(&png);
    std::fclose(file);
    return read;
}

UINT NextPowerOfTwo(UINT value) {
    UINT power = 1;
    while (power < value) power <<= 1;
    return power;
}

// Bilinear resampling to the texture's size.
std::vector<uint32_t> Resample(const Image& image, UINT width, UINT height) {
    if (width == image.width && height == image.height) return image.pixels;
    std::vector<uint32_t> out(static_cast<size_t>(width) * height);
    for (UINT y = 0; y < height; ++y) {
        const float sy = std::clamp((y + 0.5f) * image.height / height - 0.5f, 0.0f, image.height - 1.0f);
        const UINT y0 = static_cast<UINT>(sy), y1 = std::min(y0 + 1, image.height - 1);
        const float fy = sy - y0;
        for (UINT x = 0; x < width; ++x) {
            const float sx = std::clamp((x + 0.5f) * image.width / width - 0.5f, 0.0f, image.width - 1.0f);
            const UINT x0 = static_cast<UINT>(sx), x1 = std::min(x0 + 1, image.width - 1);
            const float fx = sx - x0;
            const uint32_t corners[4] = {image.pixels[y0 * image.width + x0], image.pixels[y0 * image.width + x1],
                                         image.pixels[y1 * image.width + x0], image.pixels[y1 * image.width + x1]};
            uint32_t pixel = 0;
            for (int shift = 0; shift < 32; shift += 8) {
                auto channel = [&](int i) { return static_cast<float>((corners[i] >> shift) & 0xFF); };
                const float top = channel(0) + (channel(1) - channel(0)) * fx;
                const float bottom = channel(2) + (channel(3) - channel(2)) * fx;
                pixel |= static_cast<uint32_t>(top + (bottom - top) * fy + 0.5f) << shift;
            }
            out[static_cast<size_t>(y) * width + x] = pixel;
        }
    }
    return out;
}

bool WriteLevel(IDirect3DTexture9* texture, UINT level, const std::vector<uint32_t>& pixels, UINT width,
                UINT height) {
    D3DLOCKED_RECT locked{};
    if (texture->LockRect(level, &locked, nullptr, 0) != D3D_OK) return false;
    for (UINT y = 0; y < height; ++y)
        std::memcpy(static_cast<uint8_t*>(locked.pBits) + static_cast<size_t>(y) * locked.Pitch,
                    &pixels[static_cast<size_t>(y) * width], width * sizeof(uint32_t));
    return texture->UnlockRect(level) == D3D_OK;
}

UINT FullChain(UINT width, UINT height) {
    UINT levels = 1;
    for (UINT edge = std::max(width, height); edge > 1; edge >>= 1) ++levels;
    return levels;
}

}  // namespace

HRESULT D3DXCreateTextureFromFileA(IDirect3DDevice9* device, const char* path, IDirect3DTexture9** texture) {
    return D3DXCreateTextureFromFileExA(device, path, D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, 0, D3DFMT_FROM_FILE,
                                        D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr, nullptr, texture);
}

HRESULT D3DXCreateTextureFromFileExA(IDirect3DDevice9* device, const char* path, UINT width, UINT height,
                                     UINT mipLevels, DWORD usage, D3DFORMAT format, D3DPOOL pool, DWORD, DWORD,
                                     D3DCOLOR colourKey, void*, void*, IDirect3DTexture9** texture) {
    *texture = nullptr;
    LoadPhaseTimer timer(LoadPhase::Decode);
    Image image;
    if (!device || !path || !ReadPng(path, &image)) return D3DERR_INVALIDCALL;

    if (colourKey)
        for (uint32_t& pixel : image.pixels)
            if (pixel == colourKey) pixel = 0;
    if (width == D3DX_DEFAULT_NONPOW2 || width == 0) width = image.width;
    if (height == D3DX_DEFAULT_NONPOW2 || height == 0) height = image.height;
    if (width == D3DX_DEFAULT) width = NextPowerOfTwo(image.width);
    if (height == D3DX_DEFAULT) height = NextPowerOfTwo(image.height);
    if (mipLevels == D3DX_DEFAULT || mipLevels == 0) mipLevels = FullChain(width, height);
    if (format == D3DFMT_FROM_FILE || format == D3DFMT_UNKNOWN)
        format = image.alpha || colourKey ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;
    if (format != D3DFMT_A8R8G8B8 && format != D3DFMT_X8R8G8B8) return D3DERR_INVALIDCALL;

    IDirect3DTexture9* made = nullptr;
    if (device->CreateTexture(width, height, mipLevels, usage, format, pool, &made, nullptr) != D3D_OK)
        return D3DERR_INVALIDCALL;
    const std::vector<uint32_t> pixels = Resample(image, width, height);
    std::vector<MipLevel> chain;
    {
        LoadPhaseTimer mips(LoadPhase::MipChains);
        chain = BuildBoxMipChain(pixels, width, height, made->GetLevelCount());
    }
    bool written = WriteLevel(made, 0, pixels, width, height);
    for (size_t level = 0; level < chain.size() && written; ++level)
        written = WriteLevel(made, static_cast<UINT>(level + 1), chain[level].pixels, chain[level].width,
                             chain[level].height);
    if (!written) {
        made->Release();
        return D3DERR_INVALIDCALL;
    }
    *texture = made;
    return D3D_OK;
}

HRESULT D3DXCreateTexture(IDirect3DDevice9* device, UINT width, UINT height, UINT mipLevels, DWORD usage,
                          D3DFORMAT format, D3DPOOL pool, IDirect3DTexture9** texture) {
    *texture = nullptr;
    if (!device) return D3DERR_INVALIDCALL;
    if (mipLevels == D3DX_DEFAULT || mipLevels == 0) mipLevels = FullChain(width, height);
    return device->CreateTexture(width, height, mipLevels, usage, format, pool, texture, nullptr);
}

HRESULT D3DXCreateCubeTexture(IDirect3DDevice9* device, UINT edge, UINT mipLevels, DWORD usage, D3DFORMAT format,
                              D3DPOOL pool, IDirect3DCubeTexture9** texture) {
    *texture = nullptr;
    if (!device) return D3DERR_INVALIDCALL;
    if (mipLevels == D3DX_DEFAULT || mipLevels == 0) mipLevels = FullChain(edge, edge);
    return device->CreateCubeTexture(edge, mipLevels, usage, format, pool, texture, nullptr);
}
