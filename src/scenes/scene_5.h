#pragma once

#include "runtime/demo_scene.h"

class Scene_5 : public TimedScene {
public:
    explicit Scene_5(DemoResources* resources);
};
