#include "scenes/scene_6.h"

Scene_6::Scene_6(DemoResources*) {}
