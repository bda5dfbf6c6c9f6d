#include "compound/compound_load_records.h"

namespace {

constexpr uint64_t kNodeKeySize = 4 + 3 * 12 + 3 * 16;
constexpr uint32_t kMinimumTrackKeys = 2;  // a track is at least one segment

NodeTrack* ReadTrack(LoadCursor& in) {
    const uint32_t count = in.U32();
    if (count < kMinimumTrackKeys)
        in.Fail("has a track of " + std::to_string(count) + " keys, fewer than " + std::to_string(kMinimumTrackKeys));
    in.ExpectRecords(count, kNodeKeySize, "track keys");
    auto track = std::make_unique<NodeTrack>();
    track->keys.resize(count);
    for (NodeKey& key : track->keys) {
        key.time = in.F32();
        key.positionIn = in.ReadVec3();
        key.position = in.ReadVec3();
        key.positionOut = in.ReadVec3();
        key.rotationIn = in.ReadQuaternion();
        key.rotation = in.ReadQuaternion();
        key.rotationOut = in.ReadQuaternion();
    }
    return track.release();
}

// The first placement flag set decides the kind; the index is checked against that kind's list.
void Place(LoadCursor& in, Compound& compound, Node& node, uint32_t datablock) {
    DatablockLists& lists = *compound.datablocks;
    if (node.flags & NODE_MODEL) {
        in.ExpectIndex(datablock, lists.models.size(), "model");
        compound.modelInstances.push_front({&node, lists.models[datablock].get()});
    } else if (node.flags & NODE_CAMERA) {
        in.ExpectIndex(datablock, lists.cameras.size(), "camera");
        Camera* camera = lists.cameras[datablock].get();
        camera->position = node.position;
        camera->rotation = node.rotation;
        compound.cameraInstances.push_front({&node, camera});
    } else if (node.flags & NODE_EMPTY) {
        compound.emptyNodes.push_front(&node);
    } else if (node.flags & NODE_LIGHT) {
        in.ExpectIndex(datablock, lists.lights.size(), "light");
        Light* light = lists.lights[datablock].get();
        light->position = node.position;
        compound.lightInstances.push_front({&node, light});
    } else if (node.flags & NODE_ARMATURE) {
        in.ExpectIndex(datablock, lists.armatures.size(), "armature");
        compound.armatureInstances.push_front({&node, lists.armatures[datablock].get()});
    }
}

}  // namespace

void ReadNode(LoadCursor& in, Compound& compound, Node& node) {
    const DatablockLists& lists = *compound.datablocks;
    node.name = in.String();
    node.position = in.ReadVec3();
    node.rotation = in.ReadQuaternion();
    node.scale = in.ReadVec3();
    node.flags = in.U32();
    if (node.flags & NODE_HAS_PARENT) {
        const uint32_t parent = in.U32();
        in.ExpectIndex(parent, lists.nodes.size(), "parent node");
        node.parent = lists.nodes[parent].get();
    }
    if (node.flags & NODE_ANIMATED) node.track = ReadTrack(in);

    Matrix step;
    node.local.Translation(node.position.x, node.position.y, node.position.z);
    node.local = step.Rotation(node.rotation) * node.local;
    node.local = step.Scaling(node.scale.x, node.scale.y, node.scale.z) * node.local;

    const uint32_t datablock = in.U32();
    in.U32();  // spare
    Place(in, compound, node, datablock);
}
