#pragma once

#include "runtime/demo_scene.h"

class Camera;
class Model;

// The dancing rooster beside one of twelve stage models in turn, under a doubled bloom.
class Scene_4 : public TimedScene {
public:
    explicit Scene_4(DemoResources* resources);
    void SetParameter(std::string line) override;
    void Render(DemoResources* resources, float time) override;
    void DrawWorld(DemoResources* resources, float time);

    Camera* camera = nullptr;
    Model* models[12] = {};
    float speed = 50.0f;
    float divisor = 12.0f;
};

// Frames 60 to 230 at 25 per second, as the stage scenes pose the rooster.
void PoseRoosterOnStage(DemoResources* r, float time);
// speed x k reduced by divisor: the quotient from the truncated values, the
// remainder in floating point.
float StepWithin(float speed, float k, float divisor);
