#pragma once

#include "runtime/demo_scene.h"

// Tiles of a 4 x 4 grid, row by row, each appearing after its own delay.
class Scene_5A : public TimedScene {
public:
    explicit Scene_5A(DemoResources* resources);
    void SetParameter(std::string line) override;

    float delays[16];
    bool reverse = false;
};
