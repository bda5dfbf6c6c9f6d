// Fade to black and fade from black.
#pragma once

#include "runtime/demo_scene.h"

class Scene_FTB : public TimedScene {
public:
    explicit Scene_FTB(DemoResources* resources);
};

class Scene_IFTB : public TimedScene {
public:
    explicit Scene_IFTB(DemoResources* resources);
};
