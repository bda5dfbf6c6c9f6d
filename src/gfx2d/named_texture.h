// A texture from the textures directory, held by name with its filters.
#pragma once

#include <string>

#include "gfx2d/texture_data.h"

class NamedTexture {
public:
    NamedTexture() = default;
    // Never fails: a texture that does not load binds as no texture.
    explicit NamedTexture(const std::string& name);
    ~NamedTexture();
    NamedTexture(const NamedTexture&) = delete;
    NamedTexture& operator=(const NamedTexture&) = delete;

    // Loads "textures\" + name; true when it loaded.
    bool Load(const std::string& name);
    // Loads the same file again for tools that play data while it is edited;
    // the old texture stays when the new one does not load.
    bool Reload();
    void Bind(DWORD stage);

    TextureData* texture = nullptr;
    std::string name;
    int magnification = 1;  // 0 point, 1 linear
    int minification = 1;
};
