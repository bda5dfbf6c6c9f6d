#pragma once

#include "runtime/demo_scene.h"

class Camera;
class Model;

// The rooster and its mirror image through a translucent pattern floor that
// steps with the scene, with flickering halos on the aux lights.
class Scene_7 : public TimedScene {
public:
    explicit Scene_7(DemoResources* resources);
    void SetParameter(std::string line) override;
    void Render(DemoResources* resources, float time) override;
    void DrawWorld(DemoResources* resources, float time);

    Camera* camera = nullptr;
    Model* models[22] = {};

    int speed = 100;
    int divisor = 2;
    int startStep = 0;
};
