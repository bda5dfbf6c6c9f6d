#include "scenes/scene_4.h"

#include "runtime/script_line.h"

Scene_4::Scene_4(DemoResources*) {}

void Scene_4::SetParameter(std::string line) {
    const std::string name = ParameterName(line);
    if (SetTime(name, line)) return;
    const float value = static_cast<float>(ScriptInt(ScriptField(line, 1)));  // integers, stored as floats
    if (name == "divisor")
        divisor = value;
    else if (name == "speed")
        speed = value;
}
