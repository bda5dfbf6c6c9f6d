#pragma once

#include "runtime/demo_scene.h"

class Camera;

// Scene_1's bar world moved to the celos compound, with another tint.
class Scene_3 : public ValueScene {
public:
    explicit Scene_3(DemoResources* resources);
    void Render(DemoResources* resources, float time) override;
    void DrawWorld(DemoResources* resources, int ms, bool final);

    Camera* barCamera = nullptr;
    Camera* celosCamera = nullptr;
};
