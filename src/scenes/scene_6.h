#pragma once

#include "runtime/demo_scene.h"

class Camera;

// The chrome sphere turning with the music under a diagonal four-pass bloom.
class Scene_6 : public TimedScene {
public:
    explicit Scene_6(DemoResources* resources);
    void Render(DemoResources* resources, float time) override;
    void DrawWorld(DemoResources* resources);

    Camera* camera = nullptr;
};
