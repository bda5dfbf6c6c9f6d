#include "model/datablock_types.h"
#include "model/material.h"

Model::~Model() {
    if (mesh) mesh->Release();
}

void Model::Draw() const {
    for (size_t i = 0; i < subsets.size(); ++i) {
        const Material* material = subsets[i].material;
        if (material) material->Begin();
        if (mesh) mesh->DrawSubset(static_cast<DWORD>(i));
        if (material) material->End();
    }
}
