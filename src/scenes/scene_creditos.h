#pragma once

#include "runtime/demo_scene.h"

class Scene_Creditos : public TimedScene {
public:
    explicit Scene_Creditos(DemoResources* resources);
};
