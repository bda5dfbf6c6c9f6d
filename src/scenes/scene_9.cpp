#include "scenes/scene_9.h"

#include "runtime/script_line.h"

Scene_9::Scene_9(DemoResources*) {}

void Scene_9::SetParameter(std::string line) {
    const std::string name = ParameterName(line);
    if (SetTime(name, line)) return;
    const float value = static_cast<float>(ScriptInt(ScriptField(line, 1)));  // integers, stored as floats
    if (name == "divisor")
        divisor = value;
    else if (name == "speed")
        speed = value;
    else if (name == "divisor2")
        divisor2 = value;
    else if (name == "speed2")
        speed2 = value;
}
