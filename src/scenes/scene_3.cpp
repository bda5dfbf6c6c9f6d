#include "scenes/scene_3.h"

Scene_3::Scene_3(DemoResources*) {}
