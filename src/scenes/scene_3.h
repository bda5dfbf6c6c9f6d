#pragma once

#include "runtime/demo_scene.h"

class Scene_3 : public ValueScene {
public:
    explicit Scene_3(DemoResources* resources);
};
