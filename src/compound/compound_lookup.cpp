#include "backend/win32.h"
#include "compound/compound.h"
#include "platform/unseen_frames.h"

namespace {

[[noreturn]] void NotFound(const std::string& name) {
    ShowDatablockNotFound(name);
    ExitProcess(0);
}

// In a frame drawn ahead of time a missing name must not end the demo before
// its scene shows: the lookup answers with a blank datablock, which draws
// nothing, and the frame that is shown looks the name up again.
template <typename T>
T* Missing(const std::string& name) {
    if (!UnseenFrames::Drawing()) NotFound(name);
    static T blank;
    return &blank;
}

// The first datablock of the list, in file order, whose name matches.
template <typename T, typename Name>
T* Find(const std::unique_ptr<DatablockLists>& lists, std::vector<std::unique_ptr<T>> DatablockLists::*list,
        const std::string& name, Name nameOf) {
    if (lists)
        for (const std::unique_ptr<T>& datablock : (*lists).*list)
            if (nameOf(*datablock) == name) return datablock.get();
    return Missing<T>(name);
}

}  // namespace

void ShowDatablockNotFound(const std::string& name) {
    const std::string text = "Datablock \"" + name + "\" not found!";
    MessageBoxA(nullptr, text.c_str(), u8"Über Error !", MB_OK);
}

Material* Compound::GetMaterial(const std::string& name) {
    return Find(datablocks, &DatablockLists::materials, name, [](const Material& m) { return m.name; });
}

Model* Compound::GetModel(const std::string& name) {
    return Find(datablocks, &DatablockLists::models, name, [](const Model& m) { return m.GetName(); });
}

Node* Compound::GetNode(const std::string& name) {
    return Find(datablocks, &DatablockLists::nodes, name, [](const Node& n) { return n.name; });
}

Armature* Compound::GetArmature(const std::string& name) {
    return Find(datablocks, &DatablockLists::armatures, name, [](const Armature& a) { return a.name; });
}

Camera* Compound::GetCamera(const std::string& name) {
    // The instances run from the last placement in the file to the first.
    for (const CameraInstance& instance : cameraInstances)
        if (instance.node->name == name) {
            instance.camera->position = instance.node->position;
            instance.camera->rotation = instance.node->rotation;
            return instance.camera;
        }
    return Missing<Camera>(name);
}
