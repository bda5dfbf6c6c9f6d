#pragma once

#include "runtime/demo_scene.h"

class Scene_9 : public TimedScene {
public:
    explicit Scene_9(DemoResources* resources);
    void SetParameter(std::string line) override;

    float speed = 50.0f;
    float divisor = 6.0f;
    float speed2 = 250.0f;
    float divisor2 = 40.0f;
};
