#pragma once

#include "runtime/demo_scene.h"

class Camera;

// The scoreboard scrolling its greetings, and the rooster, mirrored in the
// floor, seen from a camera running its path backwards.
class Scene_8 : public TimedScene {
public:
    explicit Scene_8(DemoResources* resources);
    void SetParameter(std::string line) override;
    void Render(DemoResources* resources, float time) override;
    void DrawWorld(DemoResources* resources, float time);

    Camera* camera = nullptr;

    float position = 0.0f;
    bool still = false;
};
