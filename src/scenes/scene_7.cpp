#include "scenes/scene_7.h"

#include "runtime/script_line.h"

Scene_7::Scene_7(DemoResources*) {}

void Scene_7::SetParameter(std::string line) {
    const std::string name = ParameterName(line);
    if (SetTime(name, line)) return;
    const int value = ScriptInt(ScriptField(line, 1));
    if (name == "divisor")
        divisor = value;
    else if (name == "speed")
        speed = value;
    else if (name == "start")
        startStep = value;
}
