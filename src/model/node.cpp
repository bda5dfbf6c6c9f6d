#include "model/node.h"

#include "gfx2d/matrix_helpers.h"

void Node::Apply() {
    if (!(flags & NODE_FIXED_MATRIX)) {
        Matrix rotationMatrix, scaling;
        local.Translation(position.x, position.y, position.z);
        local = rotationMatrix.Rotation(rotation) * local;
        local = scaling.Scaling(scale.x, scale.y, scale.z) * local;
    }
    zkMultMatrix(local);
}

void Node::Animate(float time) {
    if (!(flags & NODE_ANIMATED) || !track) return;
    track->Evaluate(time);
    position = track->position;
    rotation = track->rotation;
}
