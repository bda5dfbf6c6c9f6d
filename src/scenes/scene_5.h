#pragma once

#include "runtime/demo_scene.h"

class Camera;

// The rooster on a red and a white backdrop, laid out in 2 x 2 tiles that
// appear with the scene's progress.
class Scene_5 : public TimedScene {
public:
    explicit Scene_5(DemoResources* resources);
    void Render(DemoResources* resources, float time) override;
    void DrawTargets(DemoResources* resources, float time);

    Camera* camera = nullptr;
};

// Targets 1 and 2: the rooster (frames 230 to 350 at 50 per second) on the
// back quad tinted red and white; roll turns the camera by sin of the time.
void DrawRoosterTiles(DemoResources* r, Camera* camera, float time, bool roll);
