#pragma once

#include "runtime/demo_scene.h"

class Camera;

// The skinned rooster lit by the rim stage's pulsing lights, with halos and bloom.
class Scene_2 : public TimedScene {
public:
    explicit Scene_2(DemoResources* resources);
    void Render(DemoResources* resources, float time) override;
    void DrawWorld(DemoResources* resources, int ms, bool final);

    Camera* camera = nullptr;
};
