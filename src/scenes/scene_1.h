#pragma once

#include "runtime/demo_scene.h"

class Scene_1 : public ValueScene {
public:
    explicit Scene_1(DemoResources* resources);
};
