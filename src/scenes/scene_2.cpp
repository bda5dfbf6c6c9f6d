#include "scenes/scene_2.h"

Scene_2::Scene_2(DemoResources*) {}
