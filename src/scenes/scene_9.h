#pragma once

#include "runtime/demo_scene.h"

class Camera;
class Model;

// The rooster before a blurred, scrolling column of one of six models, with
// an animated camera.
class Scene_9 : public TimedScene {
public:
    explicit Scene_9(DemoResources* resources);
    void SetParameter(std::string line) override;
    void Render(DemoResources* resources, float time) override;
    void DrawWorld(DemoResources* resources, float time);

    Camera* camera = nullptr;
    Model* models[6] = {};

    float speed = 50.0f;
    float divisor = 6.0f;
    float speed2 = 250.0f;
    float divisor2 = 40.0f;
};
