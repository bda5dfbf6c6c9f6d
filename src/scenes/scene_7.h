#pragma once

#include "runtime/demo_scene.h"

class Scene_7 : public TimedScene {
public:
    explicit Scene_7(DemoResources* resources);
    void SetParameter(std::string line) override;

    int speed = 100;
    int divisor = 2;
    int startStep = 0;
};
