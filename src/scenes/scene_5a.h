#pragma once

#include "runtime/demo_scene.h"

// The rooster tiles of Scene_5 in a 4 x 4 checkerboard, each cell appearing
// after its own delay, with the camera rolling.
class Camera;

class Scene_5A : public TimedScene {
public:
    explicit Scene_5A(DemoResources* resources);
    void SetParameter(std::string line) override;
    void Render(DemoResources* resources, float time) override;
    void DrawTargets(DemoResources* resources, float time);
    // The checkerboard cells whose delay k x 1.2 has reached.
    void DrawCells(DemoResources* resources, float k);

    Camera* camera = nullptr;

    float delays[16];
    bool reverse = false;
};
