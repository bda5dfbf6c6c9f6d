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
#include "scenes/scene_creditos.h"

namespace {

template <typename Scene>
DemoScene_Scene* Make(DemoResources* resources) {
    return new Scene(resources);
}

struct SceneKeyword {
    const char* keyword;
    DemoScene_Scene* (*create)(DemoResources*);
};

// Tried in this order, first prefix match wins: ".ID5A" is a Scene_5.
constexpr SceneKeyword kKeywords[] = {
    {"ID0", Make<Scene_0>},   {"ID1", Make<Scene_1>},  {"ID2", Make<Scene_2>},        {"ID3", Make<Scene_3>},
    {"ID4", Make<Scene_4>},   {"ID5", Make<Scene_5>},  {"IDA5", Make<Scene_5A>},      {"ID6", Make<Scene_6>},
    {"ID7", Make<Scene_7>},   {"ID8", Make<Scene_8>},  {"IDC", Make<Scene_Creditos>}, {"ID9", Make<Scene_9>},
    {"FTB", Make<Scene_FTB>}, {"IFTB", Make<Scene_IFTB>},
};

}  // namespace

DemoScene_Scene* CreateSceneForLine(const std::string& line, DemoResources* resources) {
    for (const SceneKeyword& entry : kKeywords)
        if (MatchesKeyword(line, entry.keyword)) return entry.create(resources);
    return nullptr;
}
