#include "scenes/scene_0.h"

Scene_0::Scene_0(DemoResources*) {}
