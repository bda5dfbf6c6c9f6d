#pragma once

#include "runtime/demo_scene.h"

class Scene_6 : public TimedScene {
public:
    explicit Scene_6(DemoResources* resources);
};
