#include "scenes/scene_5.h"

Scene_5::Scene_5(DemoResources*) {}
