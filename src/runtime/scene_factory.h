// Scene lines of the demo script: keyword → scene class.
#pragma once

#include <string>

class DemoScene_Scene;
struct DemoResources;

// line starts with '.'; null when no keyword matches.
DemoScene_Scene* CreateSceneForLine(const std::string& line, DemoResources* resources);
