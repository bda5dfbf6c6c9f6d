#include "scenes/scene_1.h"

Scene_1::Scene_1(DemoResources*) {}
