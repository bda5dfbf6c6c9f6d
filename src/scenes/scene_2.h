#pragma once

#include "runtime/demo_scene.h"

class Scene_2 : public TimedScene {
public:
    explicit Scene_2(DemoResources* resources);
};
