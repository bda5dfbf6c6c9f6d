#include "compound/compound.h"

void Compound::Animate(int mask, float time) {
    // Only the first kind in this order is animated by one call.
    if (mask & 1) {
        for (const ModelInstance& instance : modelInstances) instance.node->Animate(time);
    } else if (mask & 4) {
        for (const CameraInstance& instance : cameraInstances) {
            if (!(instance.node->flags & NODE_ANIMATED)) continue;
            instance.node->Animate(time);
            instance.camera->position = instance.node->position;
            instance.camera->rotation = instance.node->rotation;
        }
    } else if (mask & 2) {
        for (const LightInstance& instance : lightInstances) {
            if (!(instance.node->flags & NODE_ANIMATED)) continue;
            instance.node->Animate(time);
            instance.light->position = instance.node->position;
        }
    } else if (mask & 8) {
        for (const ArmatureInstance& instance : armatureInstances) instance.armature->SetTime(time);
    }
}
