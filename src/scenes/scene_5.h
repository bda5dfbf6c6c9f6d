#pragma once

#include <functional>

#include "runtime/demo_scene.h"

class Camera;

// The rooster on a red and a white backdrop, laid out in 2 x 2 tiles that
// appear with the scene's progress.
class Scene_5 : public TimedScene {
public:
    explicit Scene_5(DemoResources* resources);
    void Render(DemoResources* resources, float time) override;
    void DrawTargets(DemoResources* resources, float time);
    // Top left always; top right, bottom left, bottom right once k passes a quarter, a half, three quarters.
    void DrawQuarters(DemoResources* resources, float k);

    Camera* camera = nullptr;
};

// Targets 1 and 2: the rooster (frames 230 to 350 at 50 per second) on the
// back quad tinted red and white; roll turns the camera by sin of the time.
void DrawRoosterTiles(DemoResources* r, Camera* camera, float time, bool roll);
// The frame of both tile scenes: the stage lights, the targets, then the
// cells laid out from them in 2D with sampler 0 clamped.
void RenderTiles(DemoResources* r, const std::function<void()>& drawTargets, const std::function<void()>& drawCells);
