#pragma once

#include "runtime/demo_scene.h"

class Scene_4 : public TimedScene {
public:
    explicit Scene_4(DemoResources* resources);
    void SetParameter(std::string line) override;

    float speed = 50.0f;
    float divisor = 12.0f;
};
