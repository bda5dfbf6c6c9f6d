#include "runtime/scene_factory.h"

#include "runtime/fade_scenes.h"
#include "runtime/script_line.h"
#include "scenes/scene_0.h"
#include "scenes/scene_1.h"
#include "scenes/scene_2.h"
#include "scenes/scene_3.h"
#include "scenes/scene_4.h"
#include "scenes/scene_5.h"
#include "scenes/scene_5a.h"
#include "scenes/scene_6.h"
#include "scenes/scene_7.h"
#include "scenes/scene_8.h"
#include "scenes/scene_9.h"
#include "scenes/scene_compound.h"
#include "scenes/scene_creditos.h"
#include "scenes/scene_layer.h"

namespace {

template <typename Scene>
DemoScene_Scene* Make(DemoResources* resources) {
    return new Scene(resources);
}

// Tried in this order, first prefix match wins: ".ID5A" is a Scene_5.
const SceneKeyword kKeywords[] = {
    {"ID0", "Scene_0", {}, false, Make<Scene_0>},
    {"ID1", "Scene_1", {"time", "value"}, false, Make<Scene_1>},
    {"ID2", "Scene_2", {"time"}, false, Make<Scene_2>},
    {"ID3", "Scene_3", {"time", "value"}, false, Make<Scene_3>},
    {"ID4", "Scene_4", {"time", "divisor", "speed"}, false, Make<Scene_4>},
    {"ID5", "Scene_5", {"time"}, false, Make<Scene_5>},
    {"IDA5", "Scene_5A", {"time", "reverse", "mode"}, false, Make<Scene_5A>},
    {"ID6", "Scene_6", {"time"}, false, Make<Scene_6>},
    {"ID7", "Scene_7", {"time", "divisor", "speed", "start"}, false, Make<Scene_7>},
    {"ID8", "Scene_8", {"time", "still", "position"}, false, Make<Scene_8>},
    {"IDC", "Scene_Creditos", {"time"}, false, Make<Scene_Creditos>},
    {"ID9", "Scene_9", {"time", "divisor", "speed", "divisor2", "speed2"}, false, Make<Scene_9>},
    {"FTB", "Scene_FTB", {"time"}, true, Make<Scene_FTB>},
    {"IFTB", "Scene_IFTB", {"time"}, true, Make<Scene_IFTB>},
    // Composed by the maker from the project's own files.
    {"Compound", "Scene_Compound",
     {"time", "file", "camera", "speed", "startkey", "loop", "shader", "bloom", "clear", "fog", "halo"}, false,
     Make<Scene_Compound>},
    {"Layer", "Scene_Layer", {"time", "picture", "text", "rect", "fade", "size", "colour"}, false, Make<Scene_Layer>},
};

}  // namespace

const SceneKeyword* FindSceneKeyword(const std::string& line) {
    for (const SceneKeyword& entry : kKeywords)
        if (MatchesKeyword(line, entry.keyword)) return &entry;
    return nullptr;
}

const SceneKeyword* FindSceneClass(const std::string& className) {
    for (const SceneKeyword& entry : kKeywords)
        if (className == entry.className) return &entry;
    return nullptr;
}

DemoScene_Scene* CreateSceneForLine(const std::string& line, DemoResources* resources) {
    const SceneKeyword* entry = FindSceneKeyword(line);
    return entry ? entry->create(resources) : nullptr;
}
