#pragma once

#include "runtime/demo_scene.h"

// Draws nothing and takes no parameters, so it is never active.
class Scene_0 : public DemoScene_Scene {
public:
    explicit Scene_0(DemoResources* resources);
};
