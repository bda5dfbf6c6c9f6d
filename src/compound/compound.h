// One compound file in memory: the datablocks it owns and the instance lists
// that say which node places which datablock.
#pragma once

#include <list>
#include <memory>
#include <string>
#include <vector>

#include "gfx2d/named_texture.h"
#include "model/armature.h"
#include "model/datablock_types.h"
#include "model/light.h"
#include "model/material.h"
#include "model/node.h"

// Owned objects, each list in file order.
struct DatablockLists {
    std::vector<std::unique_ptr<NamedTexture>> textures;
    std::vector<std::unique_ptr<Material>> materials;
    std::vector<std::unique_ptr<Model>> models;
    std::vector<std::unique_ptr<Node>> nodes;
    std::vector<std::unique_ptr<Camera>> cameras;
    std::vector<std::unique_ptr<Light>> lights;
    std::vector<std::unique_ptr<Armature>> armatures;
};

struct ModelInstance {
    Node* node;
    Model* model;
};
struct CameraInstance {
    Node* node;
    Camera* camera;
};
struct LightInstance {
    Node* node;
    Light* light;
};
struct ArmatureInstance {
    Node* node;
    Armature* armature;
};

class Compound {
public:
    // Reads "models\" + name, else name itself. False, with a message, when
    // neither opens or the file is damaged; a damaged file leaves the compound empty.
    bool Load(std::string name);

    // Mode 1 draws the model instances, mode 2 adds the lights to the light list.
    void Draw(int mode);
    // Acts on the first set bit of mask in the order 1, 4, 2, 8.
    void Animate(int mask, float time);

    // A missing name ends the process with ShowDatablockNotFound's box;
    // in an unseen frame (platform/unseen_frames.h) it gives a blank datablock.
    Material* GetMaterial(const std::string& name);
    Model* GetModel(const std::string& name);
    Node* GetNode(const std::string& name);
    Camera* GetCamera(const std::string& name);  // placed at its node's current place
    Armature* GetArmature(const std::string& name);

    std::unique_ptr<DatablockLists> datablocks;  // null until loaded
    // Reverse file order: new instances go to the front.
    std::list<ModelInstance> modelInstances;
    std::list<CameraInstance> cameraInstances;
    std::list<Node*> emptyNodes;
    std::list<LightInstance> lightInstances;
    std::list<ArmatureInstance> armatureInstances;
};

// The box of a name a compound lacks: "Datablock "NAME" not found!".
void ShowDatablockNotFound(const std::string& name);

