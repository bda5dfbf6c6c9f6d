// Surface settings of a model subset: colours, textures, culling, blending
// and the shader slot they are drawn with.
#pragma once

#include <string>

#include "gfx2d/named_texture.h"

struct Shader;

constexpr uint32_t MATERIAL_SHADER = 0x01;
constexpr uint32_t MATERIAL_BLEND = 0x04;

struct Material {
    static constexpr int kTextureSlots = 16;
    static constexpr int kBoundSlots = 15;  // Begin and End look at the first 15

    std::string name;
    float diffuse[4] = {};
    float specular[4] = {};
    float ambient[4] = {};
    uint32_t flags = 0;
    uint32_t blendMode = 1;
    uint32_t cullMode = 2;
    NamedTexture* textures[kTextureSlots] = {};  // not owned
    Shader** shaderSlot = nullptr;

    // An occupied slot keeps its texture; null empties the slot.
    void SetTexture(int slot, NamedTexture* texture);
    // Null detaches the slot and clears MATERIAL_SHADER.
    void AttachShader(Shader** slot);
    void Begin() const;
    void End() const;
};
