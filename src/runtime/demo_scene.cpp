#include "runtime/demo_scene.h"

#include "runtime/script_line.h"

void DemoScene_Scene::Render(DemoResources*, float) {}

void DemoScene_Scene::SetParameter(std::string) {}

bool DemoScene_Scene::SetTime(const std::string& name, const std::string& line) {
    if (name != "time") return false;
    start = static_cast<float>(ScriptInt(ScriptField(line, 1)));
    end = static_cast<float>(ScriptInt(ScriptField(line, 2)));
    return true;
}

void TimedScene::SetParameter(std::string line) { SetTime(ParameterName(line), line); }

void ValueScene::SetParameter(std::string line) {
    const std::string name = ParameterName(line);
    if (SetTime(name, line)) return;
    if (name == "value") value = ScriptFloat(ScriptField(line, 1));
}
