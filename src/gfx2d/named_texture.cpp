#include "gfx2d/named_texture.h"

#include "platform/graphics_context.h"

namespace {

TextureData* LoadFromTextures(const std::string& name) { return zkLoadTexture(("textures\\" + name).c_str()); }

void Free(TextureData*& texture) {
    if (!texture) return;
    zkReleaseTexture(texture);
    delete texture;
    texture = nullptr;
}

}  // namespace

NamedTexture::NamedTexture(const std::string& textureName) { Load(textureName); }

NamedTexture::~NamedTexture() { Free(texture); }

bool NamedTexture::Load(const std::string& textureName) {
    texture = LoadFromTextures(textureName);
    name = textureName;
    return texture != nullptr;
}

bool NamedTexture::Reload() {
    TextureData* fresh = LoadFromTextures(name);
    if (!fresh) return false;
    Free(texture);
    texture = fresh;
    return true;
}

void NamedTexture::Bind(DWORD stage) {
    zkSetSamplerFilters(stage, minification, magnification);
    if (!texture) {
        g_graphics->device->SetTexture(stage, nullptr);
        return;
    }
    zkBindTexture(texture, stage);
    g_graphics->device->SetTextureStageState(stage, D3DTSS_COLOROP, D3DTOP_MODULATE);
}
