// Scene lines of the demo script: keyword → scene class.
#pragma once

#include <string>
#include <vector>

class DemoScene_Scene;
struct DemoResources;

struct SceneKeyword {
    const char* keyword;
    const char* className;
    std::vector<std::string> parameters;  // the names the class's SetParameter acts on
    bool fade;
    DemoScene_Scene* (*create)(DemoResources*);
};

// The entry whose keyword the line (starting with '.') matches, keywords
// tried in script-reader order; null when none does.
const SceneKeyword* FindSceneKeyword(const std::string& line);
// The entry that creates the class ("Scene_5A"); null for none.
const SceneKeyword* FindSceneClass(const std::string& className);
// null when no keyword matches.
DemoScene_Scene* CreateSceneForLine(const std::string& line, DemoResources* resources);
