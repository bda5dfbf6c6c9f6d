#include "runtime/fade_scenes.h"

Scene_FTB::Scene_FTB(DemoResources*) {}

Scene_IFTB::Scene_IFTB(DemoResources*) {}
