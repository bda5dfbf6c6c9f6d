#include "compound/compound.h"
#include "gfx2d/matrix_helpers.h"

void Compound::Draw(int mode) {
    if (mode == 1) {
        for (const ModelInstance& instance : modelInstances) {
            zkPushMatrix();
            instance.node->Apply();
            instance.model->Draw();
            zkPopMatrix();
        }
    } else if (mode == 2) {
        // List order is the index order the shaders see.
        for (const LightInstance& instance : lightInstances) {
            instance.light->position = instance.node->position;
            instance.light->Collect();
        }
    }
}
