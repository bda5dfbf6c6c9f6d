// Fade to black and fade from black over the scene's time span.
#pragma once

#include "runtime/demo_scene.h"

class Scene_FTB : public TimedScene {
public:
    explicit Scene_FTB(DemoResources* resources);
    void Render(DemoResources* resources, float time) override;
};

class Scene_IFTB : public TimedScene {
public:
    explicit Scene_IFTB(DemoResources* resources);
    void Render(DemoResources* resources, float time) override;
};
