#pragma once

#include "runtime/demo_scene.h"

class Scene_8 : public TimedScene {
public:
    explicit Scene_8(DemoResources* resources);
    void SetParameter(std::string line) override;

    float position = 0.0f;
    bool still = false;
};
