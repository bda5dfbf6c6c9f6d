#include "scenes/scene_creditos.h"

Scene_Creditos::Scene_Creditos(DemoResources*) {}
