#include "compound/compound_load_records.h"

void ReadTexture(LoadCursor& in, DatablockLists& lists) {
    const std::string name = in.String();
    lists.textures.push_back(std::make_unique<NamedTexture>(name));
}

void ReadMaterial(LoadCursor& in, DatablockLists& lists) {
    auto material = std::make_unique<Material>();
    material->name = in.String();
    in.ReadFloats(material->diffuse, 4);
    material->flags = in.U32();
    material->blendMode = in.U32();
    material->cullMode = in.U32();
    const uint32_t count = in.U32();
    in.ExpectRecords(count, 4, "texture indices");
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t index = in.U32();
        in.ExpectIndex(index, lists.textures.size(), "texture");
        // Indices past the slots are still checked: the file is damaged all the same.
        if (i < Material::kTextureSlots) material->textures[i] = lists.textures[index].get();
    }
    lists.materials.push_back(std::move(material));
}

void ReadCamera(LoadCursor& in, DatablockLists& lists) {
    auto camera = std::make_unique<Camera>();
    camera->name = in.String();
    camera->value = in.F32();
    lists.cameras.push_back(std::move(camera));
}

void ReadLight(LoadCursor& in, DatablockLists& lists) {
    auto light = std::make_unique<Light>();
    light->name = in.String();
    light->kind = in.U32();
    light->colourW = in.F32();
    in.ReadFloats(light->colour, 4);
    light->positionW = in.F32();
    lists.lights.push_back(std::move(light));
}
