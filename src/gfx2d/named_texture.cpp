#include "gfx2d/named_texture.h"

#include "platform/graphics_context.h"

NamedTexture::NamedTexture(const std::string& textureName) { Load(textureName); }

NamedTexture::~NamedTexture() {
    if (!texture) return;
    zkReleaseTexture(texture);
    delete texture;
    texture = nullptr;
}

bool NamedTexture::Load(const std::string& textureName) {
    texture = zkLoadTexture(("textures\\" + textureName).c_str());
    name = textureName;
    return texture != nullptr;
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
